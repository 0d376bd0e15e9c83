#!/usr/bin/env bash
# The real program in a real X server: a window of the game taken away from outside counts as an
# outside close, like the close box: the program ends with status 0 rather than run on without a
# window. Both the title screen destroyed by another client and the game's connection to the X
# server killed (what `xdotool windowkill` does) are tried.
# usage: real_window_destroyed.sh <velmora> <wmclose> <data folder>
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/xvfb_game.sh"
velmora=$1 wmclose=$2

enter_scratch_xvfb "$3" "$0" "$@"
failures=0
for how in destroy windowkill; do
    start_game
    find_window '^Tarnel$' > /dev/null
    title=$(find_window '^Velmora$')
    if [ "$how" = destroy ]; then
        "$wmclose" --destroy "$title"
    else
        xdotool windowkill "$title"
    fi
    wait_for_exit "$pid" "its title screen was taken away ($how)" || { failures=$((failures + 1)); continue; }
    if [ "$game_status" -ne 0 ]; then
        echo "FAIL $how: the game ended with status $game_status" >&2
        cat "$HOME/stderr.txt" >&2
        failures=$((failures + 1))
    else
        echo "ok   $how: ended with status 0"
    fi
done
[ "$failures" -eq 0 ]
