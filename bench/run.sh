#!/usr/bin/env bash
# Builds the game and the bare Qt window it is measured against, starts a private Xvfb and prints
# the side-by-side figures (docs/performance.md explains them).
# usage: bench/run.sh [rounds] [start launches] [seconds waiting]   (defaults 3 10 20)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD:-$root/build}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j2 --target velmora velmora_bare_window velmora_compare_bench > /dev/null

# Without a sound card SDL's dummy driver stands in: it runs the same audio thread as a real one.
if [ ! -d /dev/snd ] && [ -z "${SDL_AUDIODRIVER:-}" ]; then
    export SDL_AUDIODRIVER=dummy
fi
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export QT_QPA_PLATFORM=xcb

# The server picks a free display number itself and writes it to the pipe once it accepts clients;
# -noreset keeps it from resetting between launches, when the last client has left.
display="" pipe=$(mktemp -u)
mkfifo "$pipe"
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3> "$pipe" 2> /dev/null &
xvfb=$!
trap 'kill "$xvfb" 2> /dev/null; wait "$xvfb" 2> /dev/null || true' EXIT
read -r -t 30 display < "$pipe" || true
rm -f "$pipe"
[ -n "$display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display"

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores," \
     "load average $(cut -d' ' -f1-3 /proc/loadavg); audio driver ${SDL_AUDIODRIVER:-SDL default}"
cd "$build/bench/compare"
# A desktop session always has a session bus. Without one, Qt's accessibility bridge starts
# dbus-launch when the first widget is shown: about 18 ms, which the game pays before its first
# window maps (its children are shown before the window) and the bare window just after.
session=()
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session > /dev/null; then
    session=(dbus-run-session --)
fi
"${session[@]}" ./velmora_compare_bench "$build/velmora" "$build/data" ./velmora_bare_window "$@"
