#!/usr/bin/env bash
# Configures and builds into build/ (or $ORV_BUILD_DIR); $ORV_BUILD_TARGET
# limits the build to one target.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORV_BUILD_DIR:-build}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${ORV_CMAKE_ARGS:-} >/dev/null
cmake --build "$dir" -j"$(nproc)" ${ORV_BUILD_TARGET:+--target "$ORV_BUILD_TARGET"}
