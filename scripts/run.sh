#!/usr/bin/env bash
# Sets up, builds and runs the program's main job on the bundled sample drive.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
dir=${ORV_BUILD_DIR:-build}
"$dir"/src/cli/orvelle-cli check samples/sample-drive.nmea | tail -n 12
