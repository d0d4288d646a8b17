#!/usr/bin/env bash
# Sets up, builds and runs every test: the threaded track tests under
# ThreadSanitizer, then the whole suite once in the C locale and once under a
# decimal-comma locale (number text must not follow the user's locale).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
ORV_CMAKE_ARGS="-DORV_WERROR=ON ${ORV_CMAKE_ARGS:-}" scripts/build.sh
dir=${ORV_BUILD_DIR:-build}

tsan_dir=${dir}-tsan
ORV_BUILD_DIR=$tsan_dir ORV_BUILD_TARGET=test_app \
  ORV_CMAKE_ARGS="-DORV_SANITIZE=thread -DORV_BUILD_BENCH=OFF" scripts/build.sh
TSAN_OPTIONS="halt_on_error=1" "$tsan_dir"/tests/test_app --gtest_filter='*Concurrent*'

export QT_QPA_PLATFORM=offscreen
(cd "$dir" && LC_ALL=C.UTF-8 ctest --output-on-failure -j"$(nproc)")
(cd "$dir" && LC_ALL=de_DE.UTF-8 ctest --output-on-failure -j"$(nproc)")
