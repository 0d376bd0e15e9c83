#!/usr/bin/env bash
# The real program in a real X server: it shows the logo, then the title screen, and closing
# the title screen with the close box (WM_DELETE_WINDOW) ends it cleanly with status 0.
# usage: real_window_close.sh <velmora> <wmclose> <data folder>
set -euo pipefail
velmora=$1 wmclose=$2 data=$3

if [ "${4:-}" != inner ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp -r "$data" "$work/data"
    mkdir -p "$work/config" && mkdir -m 700 "$work/runtime"
    HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime SDL_AUDIODRIVER=dummy \
        xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$velmora" "$wmclose" "$work/data" inner
    exit
fi

cd "$data"
"$velmora" 2> "$HOME/stderr.txt" &
pid=$!

find_window() { # name pattern; prints the id once the window is mapped
    local id
    for _ in $(seq 1 300); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    echo "no window named $1 appeared" >&2
    return 1
}

find_window '^Tarnel$' > /dev/null
title=$(find_window '^Velmora$')
"$wmclose" "$title"

for _ in $(seq 1 150); do
    if ! kill -0 "$pid" 2>/dev/null; then
        break
    fi
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "the game was still running 15 s after its title screen was closed" >&2
    kill -9 "$pid"
    exit 1
fi
status=0
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
    echo "the game ended with status $status" >&2
    cat "$HOME/stderr.txt" >&2
    exit 1
fi
echo "closed cleanly with status 0"
