# Shared by the real-window tests (sourced). They run the real program in its own X server with a
# scratch home, so no test touches the real user's settings.

# in_scratch_xvfb <data folder> <command…>: copies the data folder into a scratch home and runs
# the command there, inside a new X server, with the copy's path in VELMORA_SCRATCH_DATA.
in_scratch_xvfb() {
    local data=$1
    shift
    local work
    work=$(mktemp -d)
    cp -r "$data" "$work/data"
    mkdir -p "$work/config" && mkdir -m 700 "$work/runtime"
    local status=0 display="" server
    # The server picks a free display number itself and writes it to the pipe once it accepts
    # clients; picking one beforehand, as xvfb-run -a does, races with tests started beside this
    # one. -noreset: by default the server resets when its last client leaves, and a game that
    # connected while a test's window search was leaving was dropped ("could not connect to
    # display"), about one launch in ten with six tests running at once.
    mkfifo "$work/display"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
    server=$!
    read -r -t 30 display < "$work/display" || true
    if [ -z "$display" ]; then
        echo "Xvfb did not start:" >&2
        cat "$work/xvfb.log" >&2
        kill "$server" 2>/dev/null || true
        rm -rf "$work"
        return 1
    fi
    DISPLAY=:$display HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime \
        SDL_AUDIODRIVER=dummy VELMORA_SCRATCH_DATA=$work/data "$@" || status=$?
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    rm -rf "$work"
    return "$status"
}

# enter_scratch_xvfb [--bus] <data folder> <script> <its arguments…>: the first thing a test script
# does, with its own path and arguments. Outside the scratch server it runs the script again inside
# one (on a private session bus with --bus, for the accessibility tests) and exits with its
# status; inside, it returns in the data folder's copy.
enter_scratch_xvfb() {
    local bus=()
    if [ "$1" = --bus ]; then
        bus=(dbus-run-session --)
        shift
    fi
    if [ -n "${VELMORA_SCRATCH_DATA:-}" ]; then
        cd "$VELMORA_SCRATCH_DATA"
        return 0
    fi
    local data=$1 status=0
    shift
    in_scratch_xvfb "$data" "${bus[@]}" bash "$@" || status=$?
    exit "$status"
}

# start_game [variable=value…]: starts the game in the background in the current folder, with
# those variables set and its stderr in $HOME/stderr.txt; its process id goes in pid.
start_game() {
    env "$@" "$velmora" 2> "$HOME/stderr.txt" &
    pid=$!
}

# fail <message…>: says why the test failed, stops the game and ends the test.
fail() {
    echo "$*" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
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
    if [ -s "$HOME/stderr.txt" ]; then
        echo "the game's stderr:" >&2
        cat "$HOME/stderr.txt" >&2
    fi
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

# start_window_manager: when VELMORA_TEST_WM names one (openbox), starts it in the current X
# server and waits until it has taken the screen; without it the server stays bare, with no
# frames. The manager ends with the server.
start_window_manager() {
    case "${VELMORA_TEST_WM:-}" in
    "") return 0 ;;
    openbox) openbox --sm-disable > /dev/null 2>&1 & ;;
    *) echo "unknown window manager ${VELMORA_TEST_WM}" >&2; return 1 ;;
    esac
    for _ in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "${VELMORA_TEST_WM} did not start" >&2
    return 1
}

# outer_geometry <window id>: prints "x y width height" of the window's outer frame, that is of
# its ancestor that is a child of the root window (the window itself on a bare server).
outer_geometry() {
    local id=$1 parent root
    root=$(xwininfo -root | awk '/Window id:/ {print $4}')
    while :; do
        parent=$(xwininfo -tree -id "$id" | awk '/Parent window id:/ {print $4}')
        [ "$((parent))" -eq "$((root))" ] && break
        id=$parent
    done
    xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

# expect_centred <what> <x y width height>: fails unless the rectangle is centred on the
# 1024 x 768 screen within a pixel.
expect_centred() {
    local what=$1 x=$2 y=$3 w=$4 h=$5
    echo "$what: outer frame at $x,$y, ${w}x$h (centred: $(((1024 - w) / 2)),$(((768 - h) / 2)))"
    if [ $(((2 * x - (1024 - w)) ** 2)) -gt 4 ] || [ $(((2 * y - (768 - h)) ** 2)) -gt 4 ]; then
        echo "$what is not centred by its outer frame" >&2
        return 1
    fi
}

# client_origin <window id>: sets X and Y to the screen position of the window's client area
# (xdotool's own report is off by the frame under some window managers).
client_origin() {
    eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print "X=" $4} /Absolute upper-left Y/ {print "Y=" $4}')"
}

# press_title_button <title window id> <music|silent> <beginning|quiz>: reveals the title screen's
# buttons with a click on its picture, then presses one (client pixels: columns 72 and 208,
# rows 168 and 200, each 129 x 25). Sets X and Y to the title's client origin.
press_title_button() {
    local column=72 row=168
    [ "$2" = silent ] && column=208
    [ "$3" = quiz ] && row=200
    client_origin "$1"
    xdotool mousemove $((X + 20)) $((Y + 20)) click 1
    sleep 0.5
    xdotool mousemove $((X + column + 60)) $((Y + row + 12)) click 1
}
