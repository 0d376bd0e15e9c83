#!/usr/bin/env bash
# Installs the Debian packages the game needs (only those missing), then configures and builds
# one build folder. Sourced by play.sh and test.sh; quick when nothing changed.
set -euo pipefail

VELMORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What it takes to build, play with sound and Japanese text, and run every test headless.
VELMORA_PACKAGES=(
    cmake ninja-build make g++ pkg-config
    qt6-base-dev qt6-svg-dev qt6-wayland libxcb1-dev libfluidsynth-dev libsdl2-mixer-dev
    libasound2-dev libglib2.0-dev
    fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core timgm6mb-soundfont
)
VELMORA_TEST_PACKAGES=(
    clang libclang-rt-14-dev
    xvfb xauth xdotool x11-utils openbox wmctrl imagemagick weston fonts-droid-fallback libxcb-xtest0-dev
    libxcb-damage0-dev
    desktop-file-utils appstream lintian man-db dpkg-dev file
    at-spi2-core dbus dbus-x11 python3-pyatspi
)

velmora_install_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# velmora_build <build folder> [cmake options…]
velmora_build() {
    local build_dir=$1
    shift
    if [ ! -f "$build_dir/CMakeCache.txt" ]; then
        cmake -S "$VELMORA_ROOT" -B "$build_dir" -G Ninja "$@"
    else
        cmake "$build_dir" "$@" > /dev/null
    fi
    cmake --build "$build_dir" -j "$(nproc)"
}
