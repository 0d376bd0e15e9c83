#!/usr/bin/env bash
# Without a display to show its windows on, the game says so in one line of its own and ends with
# status 2: both when DISPLAY is not set and when it names an X server that does not answer (Qt
# itself aborts there, status 134).
# usage: no_display.sh <velmora>
set -euo pipefail
velmora=$1
# A display number nothing listens on.
number=4711
while [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number + 1)); done

failures=0
check() {
    local what=$1
    shift
    local status=0
    env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$@" "$velmora" > /dev/null 2> "$work/stderr" || status=$?
    if [ "$status" -ne 2 ] || [ "$(wc -l < "$work/stderr")" -ne 1 ] || ! grep -q '^velmora: .*display' "$work/stderr"; then
        echo "FAIL $what: status $status, stderr:" >&2
        cat "$work/stderr" >&2
        failures=$((failures + 1))
    else
        echo "ok   $what: $(cat "$work/stderr")"
    fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check "DISPLAY not set" env -u DISPLAY
check "DISPLAY names no server" env DISPLAY=":$number"
check "X asked for by name, DISPLAY not set" env -u DISPLAY QT_QPA_PLATFORM=xcb
[ "$failures" -eq 0 ]
