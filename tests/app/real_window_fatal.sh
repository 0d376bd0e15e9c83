#!/usr/bin/env bash
# The real program in a real X server, with the first scene's picture missing from its folder:
# starting a game shows a message box titled "Velmora" that names the file, prints the same on
# stderr, and once the box is closed the program ends with status 1 and has written no record.
# usage: real_window_fatal.sh <velmora> <data folder>
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/xvfb_game.sh"
velmora=$1

enter_scratch_xvfb "$2" "$0" "$@"
start_window_manager
rm S01.vlq
start_game

title=$(find_window '^Velmora$')
sleep 0.5
press_title_button "$title" music beginning

# The message box takes the keyboard focus when it opens; Return presses its OK button.
for _ in $(seq 1 100); do
    grep -q 'S01.vlq' "$HOME/stderr.txt" && break
    sleep 0.1
done
sleep 1
xdotool key Return

wait_for_exit "$pid" "its fatal message was closed"
[ "$game_status" -eq 1 ] || { echo "the game ended with status $game_status, not 1" >&2; cat "$HOME/stderr.txt" >&2; exit 1; }
grep -q 'S01.vlq' "$HOME/stderr.txt" || { echo "stderr does not name the missing file" >&2; exit 1; }
[ ! -e "$HOME/config/Tarnel.ini" ] || { echo "a record was written" >&2; exit 1; }
echo "fatal error reported and exit status 1"
