#!/usr/bin/env bash
# The real program as a native Wayland client of a headless compositor (weston): the logo and
# then the title window appear on the compositor's screen, seen from outside in its own
# screenshots, and an outside close ends the game with status 0. The compositor places the
# windows itself; Wayland lets no client place its own.
# usage: real_window_wayland.sh <velmora> <data folder>
set -euo pipefail
velmora=$(realpath "$1")

work=$(mktemp -d)
cleanup() {
    [ -n "${game:-}" ] && kill -9 "$game" 2>/dev/null || true
    [ -n "${compositor:-}" ] && kill "$compositor" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
[ -n "${VELMORA_KEEP:-}" ] && trap - EXIT
cp -r "$2" "$work/data"
mkdir -p "$work/config" "$work/shots" && mkdir -m 700 "$work/runtime"
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime SDL_AUDIODRIVER=dummy
export WAYLAND_DISPLAY=velmora-test
unset DISPLAY

# --debug opens the screenshooter to clients; pixman needs no GPU.
weston --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" --idle-time=0 \
    --width=1024 --height=768 --debug > "$work/weston.log" 2>&1 &
compositor=$!
for _ in $(seq 1 100); do
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break
    sleep 0.1
done

# shoot <name>: a screenshot of the compositor's whole screen, below its panel (whose clock ticks).
shoot() {
    local raw
    (cd "$work/shots" && rm -f wayland-screenshot-*.png && weston-screenshooter > /dev/null 2>&1) || return 1
    raw=$(ls "$work/shots"/wayland-screenshot-*.png 2>/dev/null | head -n 1)
    [ -n "$raw" ] || return 1
    convert "$raw" -crop 1024x720+0+48 +repage "$work/shots/$1.png"
}

# changed_box <name>: the size (WxH) of what differs from the empty desktop.
changed_box() {
    compare -metric AE -fuzz 2% -compose src -highlight-color white -lowlight-color black \
        "$work/shots/desktop.png" "$work/shots/$1.png" "$work/shots/diff.png" > /dev/null 2>&1 || true
    convert "$work/shots/diff.png" -trim -format '%w %h' info: 2>/dev/null
}

# wait_for_window <what> <min w> <max w> <min h> <max h>: waits up to 20 s for a window of that
# outer size to appear on the screen.
wait_for_window() {
    local what=$1 size width height
    for _ in $(seq 1 40); do
        if shoot now; then
            size=$(changed_box now || true)
            read -r width height <<<"${size:-0 0}"
            if [ "$width" -ge "$2" ] && [ "$width" -le "$3" ] && [ "$height" -ge "$4" ] && [ "$height" -le "$5" ]; then
                echo "$what seen on the compositor's screen (${width}x${height})"
                cp "$work/shots/now.png" "$work/shots/$what.png"
                return 0
            fi
        fi
        sleep 0.5
    done
    echo "no $what appeared on the compositor's screen (last change ${width:-?}x${height:-?})" >&2
    tail -n 20 "$work/weston.log" >&2
    return 1
}

sleep 1
shoot desktop
cd "$work/data"
QT_QPA_PLATFORM=wayland "$velmora" 2> "$work/stderr.txt" &
game=$!

# The logo is a frameless 251 × 92 window; the title a 398 × 296 client in the compositor's frame.
wait_for_window logo 245 260 85 100
wait_for_window title 398 430 296 340

# No Wayland client can close another's window; the session's own close, SIGTERM, is the outside
# close that reaches the game here (the compositor's close button arrives as the same close event).
kill -TERM "$game"
for _ in $(seq 1 150); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
done
status=0
wait "$game" || status=$?
game=
if [ "$status" -ne 0 ]; then
    echo "the game ended with status $status" >&2
    cat "$work/stderr.txt" >&2
    exit 1
fi
echo "closed cleanly with status 0"
