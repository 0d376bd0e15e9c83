#!/usr/bin/env bash
# Sets up what is missing, then builds and runs every test headless twice: once in the ordinary
# build (with the real-window tests under Xvfb) and once under AddressSanitizer and
# UndefinedBehaviorSanitizer with clang, which also runs the fuzz targets for a bounded time.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

velmora_install_packages "${VELMORA_PACKAGES[@]}" "${VELMORA_TEST_PACKAGES[@]}"

werror=OFF
if [ -n "${CI:-}" ]; then
    werror=ON
fi

velmora_build "$VELMORA_ROOT/build" -DVELMORA_WERROR=$werror
(cd "$VELMORA_ROOT/build" && ctest --output-on-failure -j "$(nproc)")

CC=clang CXX=clang++ velmora_build "$VELMORA_ROOT/build-sanitize" \
    -DCMAKE_BUILD_TYPE=Debug -DVELMORA_WERROR=$werror -DVELMORA_SANITIZE=ON -DVELMORA_FUZZ=ON
(cd "$VELMORA_ROOT/build-sanitize" && ctest --output-on-failure -j "$(nproc)")
