#!/usr/bin/env bash
# The real program in a real X server: it shows the logo, then the title screen, and closing
# the title screen with the close box (WM_DELETE_WINDOW) ends it cleanly with status 0.
# usage: real_window_close.sh <velmora> <wmclose> <data folder>
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/xvfb_game.sh"
velmora=$1 wmclose=$2

enter_scratch_xvfb "$3" "$0" "$@"
start_window_manager
start_game

find_window '^Tarnel$' > /dev/null
title=$(find_window '^Velmora$')
"$wmclose" "$title"

wait_for_exit "$pid" "its title screen was closed"
if [ "$game_status" -ne 0 ]; then
    echo "the game ended with status $game_status" >&2
    cat "$HOME/stderr.txt" >&2
    exit 1
fi
echo "closed cleanly with status 0"
