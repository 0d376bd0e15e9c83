#!/usr/bin/env bash
# Sets up what is missing, builds the game and starts it in its data folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

velmora_install_packages "${VELMORA_PACKAGES[@]}"
velmora_build "$VELMORA_ROOT/build"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "velmora: no graphical display (DISPLAY is not set); start the game from a desktop session." >&2
    exit 2
fi
cd "$VELMORA_ROOT/build/data"
exec "$VELMORA_ROOT/build/velmora"
