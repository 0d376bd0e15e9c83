#!/usr/bin/env bash
# The real program in a real X server, with the first scene's picture missing from its folder:
# starting a game shows a message box titled "Velmora" that names the file, prints the same on
# stderr, and once the box is closed the program ends with status 1 and has written no record.
# usage: real_window_fatal.sh <velmora> <data folder>
set -euo pipefail
velmora=$1 data=$2

if [ "${3:-}" != inner ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp -r "$data" "$work/data"
    rm "$work/data/S01.vlq"
    mkdir -p "$work/config" && mkdir -m 700 "$work/runtime"
    HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime SDL_AUDIODRIVER=dummy \
        xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$velmora" "$work/data" inner
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

title=$(find_window '^Velmora$')
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$title")"
# Reveal the buttons, then press "from the beginning, with music" (client 72,168 size 129x25).
xdotool mousemove $((X + 20)) $((Y + 20)) click 1
sleep 0.5
xdotool mousemove $((X + 72 + 60)) $((Y + 168 + 12)) click 1

# The message box takes the keyboard focus when it opens; Return presses its OK button.
for _ in $(seq 1 100); do
    grep -q 'S01.vlq' "$HOME/stderr.txt" && break
    sleep 0.1
done
sleep 1
xdotool key Return

for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "the game was still running after its fatal message was closed" >&2
    kill -9 "$pid"
    exit 1
fi
status=0
wait "$pid" || status=$?
[ "$status" -eq 1 ] || { echo "the game ended with status $status, not 1" >&2; cat "$HOME/stderr.txt" >&2; exit 1; }
grep -q 'S01.vlq' "$HOME/stderr.txt" || { echo "stderr does not name the missing file" >&2; cat "$HOME/stderr.txt" >&2; exit 1; }
[ ! -e "$HOME/config/Tarnel.ini" ] || { echo "a record was written" >&2; exit 1; }
echo "fatal error reported and exit status 1"
