#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The game as a player installs it: `cmake --install` into a prefix, which is then moved, gives a
# complete layout; started by the launcher's command from a folder that holds none of its files,
# the program finds its data and its sound module beside itself, shows the title screen and ends
# with 0 when that is closed. Without a data folder it says so in one line on stderr and ends
# with 2.
# usage: installed_game.sh <build folder> <wmclose> <xvfb_game.sh>
set -euo pipefail
build=$1 wmclose=$2 xvfb_game=$3
source "$xvfb_game"
unset VELMORA_DATA_DIR

fail() { echo "$*" >&2; exit 1; }

if [ "${4:-}" = inner ]; then
    prefix=$5
    cd "$VELMORA_SCRATCH_DATA"
    # Started as the menu starts it: the launcher's command, found through the PATH.
    command=$(sed -n 's/^Exec=//p' "$prefix/share/applications/org.tarnel.Velmora.desktop")
    PATH=$prefix/games:$PATH $command 2> "$HOME/stderr.txt" &
    pid=$!
    find_window '^Tarnel$' > /dev/null
    "$wmclose" "$(find_window '^Velmora$')"
    wait_for_exit "$pid" "its title screen was closed"
    [ "$game_status" -eq 0 ] || { cat "$HOME/stderr.txt" >&2; fail "the installed game ended with status $game_status"; }
    # The sound module is found from the moved program's own path.
    if grep -q "without sound" "$HOME/stderr.txt"; then
        cat "$HOME/stderr.txt" >&2
        fail "the installed game did not find its sound module"
    fi
    exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Naming the component keeps the player's own build/install_manifest.txt (the uninstall list).
cmake --install "$build" --prefix "$work/installed" --component Unspecified > "$work/install.log" || { cat "$work/install.log" >&2; fail "cmake --install failed"; }
# A prefix moved after the install must still work: the program finds its data from its own path.
mv "$work/installed" "$work/moved"
prefix=$work/moved

for file in games/velmora share/games/velmora/VelmoraQ.qiz share/games/velmora/S47.vlq \
    share/games/velmora/M04S.mid share/games/velmora/TARNELDEMO.WAV \
    share/applications/org.tarnel.Velmora.desktop share/metainfo/org.tarnel.Velmora.metainfo.xml \
    share/man/man6/velmora.6.gz share/doc/velmora/copyright share/icons/hicolor/scalable/apps/velmora.svg; do
    [ -s "$prefix/$file" ] || fail "the install lacks $file"
done
[ -n "$(find "$prefix" -name libvelmora-sound.so -type f)" ] || fail "the install lacks the sound module"
for size in 16 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/velmora.png
    file "$icon" | grep -q "PNG image data, $size x $size" || fail "$icon is not a $size px PNG: $(file "$icon")"
done

mkdir "$work/empty"
# expect_no_data <what> <env…>: the game must refuse with status 2 and one line on stderr.
expect_no_data() {
    local what=$1 status=0
    shift
    (cd "$work/empty" && env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/empty" QT_QPA_PLATFORM=offscreen "$@" \
        timeout 20 "$prefix/games/velmora" 2> "$work/stderr.txt") || status=$?
    [ "$status" -eq 2 ] || fail "$what: status $status, not 2"
    [ "$(wc -l < "$work/stderr.txt")" -eq 1 ] || fail "$what: not one line on stderr: $(cat "$work/stderr.txt")"
    cat "$work/stderr.txt"
}
expect_no_data "a variable naming an empty folder" VELMORA_DATA_DIR="$work/empty"
grep -q "$work/empty" "$work/stderr.txt" || fail "the message does not name the folder"
mv "$prefix/share/games/velmora" "$prefix/share/games/away"
expect_no_data "no installed data"
mv "$prefix/share/games/away" "$prefix/share/games/velmora"

in_scratch_xvfb "$work/empty" bash "$0" "$build" "$wmclose" "$xvfb_game" inner "$prefix"
echo "the installed game started from an empty folder and closed with status 0"
