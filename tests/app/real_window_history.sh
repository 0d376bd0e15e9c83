#!/usr/bin/env bash
# The history in the real program: opened with the wheel and Page Up at a line wait, closed with
# Escape, the line still waiting (watched through the accessibility bus); closing the game window
# while the history is open ends the game with status 0.
# usage: real_window_history.sh <velmora> <wmclose> <data folder> <source folder> <python>
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/xvfb_game.sh"
velmora=$1 wmclose=$2 sources=$4 python=$5

enter_scratch_xvfb --bus "$3" "$0" "$@"
# One ending seen, so that the title screen offers the start from the quiz.
printf '[Velmora]\nExp=" 2"\n' > "$XDG_CONFIG_HOME/Tarnel.ini"
start_game QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

status=0
"$python" "$here/history_client.py" "$sources/story/script/quiz_intro.txt" || status=$?
if [ "$status" -ne 0 ]; then
    kill "$pid" 2>/dev/null || true
    cat "$HOME/stderr.txt" >&2
    exit "$status"
fi

"$wmclose" "$(find_window '^Velmora 【')"
wait_for_exit "$pid" "its game window was closed with the history open"
if [ "$game_status" -ne 0 ]; then
    echo "the game ended with status $game_status" >&2
    cat "$HOME/stderr.txt" >&2
    exit 1
fi
echo "closed with the history open: status 0"
