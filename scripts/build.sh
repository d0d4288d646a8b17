#!/usr/bin/env bash
# Configures and builds into build/ (or $ORV_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${ORV_BUILD_DIR:-build}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${ORV_CMAKE_ARGS:-} >/dev/null
cmake --build "$dir" -j"$(nproc)"
