#!/usr/bin/env bash
# The real program in a real X server, bare or under a window manager (VELMORA_TEST_WM), played
# from the quiz to the staff roll by clicking: at the roll the game window's outer height, title
# bar included, is 250 px, its position and width unchanged; closing it with its close box during
# the roll ends the program with status 0.
# usage: real_window_roll.sh <velmora> <wmclose> <data folder>
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/xvfb_game.sh"
velmora=$1 wmclose=$2

enter_scratch_xvfb "$3" "$0" "$@"
start_window_manager
# One ending seen, so the title screen offers to start from the quiz.
printf '[Velmora]\nExp= 2\n' > "$HOME/config/Tarnel.ini"
start_game

title=$(find_window '^Velmora$')
sleep 0.5
press_title_button "$title" silent quiz

game=$(find_window '^Velmora 【')
sleep 0.3
read -r x0 y0 w0 h0 < <(outer_geometry "$game")
client_origin "$game"
# Two points on the first answer button, which lie on the scene picture when the buttons are
# hidden and left of the heroine's picture: each click reads a line or answers a question. They
# alternate so that no two clicks make a double-click.
for _ in $(seq 1 400); do
    name=$(xdotool getwindowname "$game" 2>/dev/null || true)
    [ "$name" = Velmoor ] && break
    xdotool mousemove $((X + 40)) $((Y + 120)) click 1
    sleep 0.05
    xdotool mousemove $((X + 120)) $((Y + 120)) click 1
    sleep 0.05
done
[ "$name" = Velmoor ] || fail "the staff roll did not begin"
sleep 0.5
read -r x y w h < <(outer_geometry "$game")
echo "at the roll: outer frame at $x,$y, ${w}x$h (before: $x0,$y0, ${w0}x$h0)"
[ "$h" -eq 250 ] || fail "the outer height at the roll is $h, not 250"
[ "$x $y $w" = "$x0 $y0 $w0" ] || fail "the roll moved the window or changed its width"

"$wmclose" "$game"
wait_for_exit "$pid" "its game window was closed during the roll"
[ "$game_status" -eq 0 ] || { echo "the game ended with status $game_status" >&2; cat "$HOME/stderr.txt" >&2; exit 1; }
echo "closed during the roll with status 0"
