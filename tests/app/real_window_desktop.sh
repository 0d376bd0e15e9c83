#!/usr/bin/env bash
# The real program in a real X server, bare or under a window manager (VELMORA_TEST_WM), as the
# player's hand meets it: the logo is frameless and centred; the title screen and the game window
# are centred by their outer frames and can be neither resized nor maximised; on the game window
# a double-click reads one line, the right and middle buttons and the wheel nothing; closing the
# game window with its close box ends the program with status 0.
# usage: real_window_desktop.sh <velmora> <wmclose> <data folder>
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/xvfb_game.sh"
velmora=$1 wmclose=$2

enter_scratch_xvfb "$3" "$0" "$@"
start_window_manager
start_game

demo=$(find_window '^Tarnel$')
read -r x y w h < <(outer_geometry "$demo")
[ "$w $h" = "251 92" ] || fail "the logo's outer size is ${w}x$h, not its own 251x92: it has a frame"
expect_centred "logo" "$x" "$y" "$w" "$h" || fail "logo off centre"

# A window that keeps its size: it asks for one fixed size; a window manager offers neither to
# resize nor to maximise it and keeps its size whatever it is asked, by the player's drag (a
# configure request) or by a maximise request. (A bare server enforces no size at all.)
expect_fixed() {
    local id=$1 what=$2 before after hints
    hints=$(xprop -id "$id" WM_NORMAL_HINTS)
    read -r w h < <(xwininfo -id "$id" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
    grep -q "minimum size: $w by $h" <<< "$hints" && grep -q "maximum size: $w by $h" <<< "$hints" ||
        fail "$what does not ask for one fixed size: $hints"
    [ -n "${VELMORA_TEST_WM:-}" ] || return 0
    if xprop -id "$id" _NET_WM_ALLOWED_ACTIONS | grep -Eq 'RESIZE|MAXIMIZE'; then
        fail "$what: the window manager offers to resize or maximise it"
    fi
    before=$(outer_geometry "$id")
    wmctrl -i -r "$id" -b add,maximized_vert,maximized_horz
    xdotool windowsize "$id" 700 600
    sleep 0.3
    after=$(outer_geometry "$id")
    [ "$before" = "$after" ] || fail "$what changed from $before to $after when asked to grow"
}

# expect_framed_window <window id> <what>: centred by its outer frame, and of one fixed size.
expect_framed_window() {
    sleep 0.5
    read -r x y w h < <(outer_geometry "$1")
    expect_centred "$2" "$x" "$y" "$w" "$h" || fail "$2 off centre"
    expect_fixed "$1" "the $2"
}

title=$(find_window '^Velmora$')
expect_framed_window "$title" "title screen"
press_title_button "$title" silent beginning
game=$(find_window '^Velmora 【')
expect_framed_window "$game" "game window"

# The first scene's picture stays for four lines, the fifth brings the next. Read on to the third
# line; a double-click must then show the fourth (same picture), and one more click the fifth.
client_origin "$game"
text_x=$((X + 180)) text_y=$((Y + 300))
shot() { sleep 0.6; import -window "$game" "$HOME/$1.png"; }
# differs <shot> <shot> <client region WxH+X+Y>: whether the two shots differ there
differs() {
    local count
    count=$(compare -metric AE -extract "$3" "$HOME/$1.png" "$HOME/$2.png" null: 2>&1 || true)
    [ "${count%% *}" != 0 ]
}
scene=300x200+25+9 text=345x70+9+265
xdotool mousemove "$text_x" "$text_y"
sleep 0.6
xdotool click 1
sleep 0.6
xdotool click 1
shot third
xdotool click --repeat 2 --delay 50 1
shot fourth
differs third fourth "$text" || fail "a double-click did not read on"
! differs third fourth "$scene" || fail "a double-click read two lines: the next scene is up"
for button in 3 2 4 5; do
    xdotool click "$button"
    sleep 0.2
done
shot still
! differs fourth still 361x342+0+0 || fail "the right or middle button or the wheel changed the window"
xdotool click 1
shot fifth
differs still fifth "$scene" || fail "the click after the double-click did not bring the next scene"
echo "a double-click read one line; right, middle and wheel did nothing"

"$wmclose" "$game"
wait_for_exit "$pid" "its game window was closed"
[ "$game_status" -eq 0 ] || { echo "the game ended with status $game_status" >&2; cat "$HOME/stderr.txt" >&2; exit 1; }
echo "game window closed cleanly with status 0"
