#!/usr/bin/env bash
# Sets up, builds and runs every test: once in the C locale, once under a
# decimal-comma locale (number text must not follow the user's locale).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
ORV_CMAKE_ARGS="-DORV_WERROR=ON ${ORV_CMAKE_ARGS:-}" scripts/build.sh
dir=${ORV_BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
(cd "$dir" && LC_ALL=C.UTF-8 ctest --output-on-failure -j"$(nproc)")
(cd "$dir" && LC_ALL=de_DE.UTF-8 ctest --output-on-failure -j"$(nproc)")
