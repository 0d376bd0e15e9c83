# Shared by the real-window tests (sourced). They run the real program in its own X server with a
# scratch home, so no test touches the real user's settings.

# in_scratch_xvfb <data folder> <command…>: copies the data folder into a scratch home and runs
# the command there, inside a new X server, with the copy's path as its last argument.
in_scratch_xvfb() {
    local data=$1
    shift
    local work
    work=$(mktemp -d)
    cp -r "$data" "$work/data"
    mkdir -p "$work/config" && mkdir -m 700 "$work/runtime"
    local status=0
    HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime SDL_AUDIODRIVER=dummy \
        xvfb-run -a -s "-screen 0 1024x768x24" "$@" "$work/data" || status=$?
    rm -rf "$work"
    return "$status"
}

# find_window <name pattern>: prints the id of the first mapped window so named, waiting up to 30 s.
find_window() {
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

# wait_for_exit <pid> <what was done>: waits up to 15 s for the game to end and puts its exit
# status in game_status; kills it and fails when it does not end. (Not in a subshell: only this
# shell can collect its child's status.)
wait_for_exit() {
    local pid=$1
    for _ in $(seq 1 150); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "the game was still running 15 s after $2" >&2
        kill -9 "$pid"
        return 1
    fi
    game_status=0
    wait "$pid" || game_status=$?
}
