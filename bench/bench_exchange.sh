#!/usr/bin/env bash
# The KML/KMZ exchange on a 24-hour 1 Hz track, against gpsbabel in the same run:
#   export: `orvelle-cli export day.nmea -o day.kmz` (speed-coloured, the stored
#           default) against `gpsbabel -i nmea -f day.nmea -o kml`;
#           goal: at least 6 times faster.
#   import: `orvelle-cli import day.kml` of our own coloured KML of that day
#           against `gpsbabel -i kml -f day.kml -o gpx -F /dev/null`;
#           goal: at least 5 times faster.
# Prints the best wall and CPU time of each command, their ratios and the peak
# resident memory. CPU time (user + system) is shown because on a busy machine
# the wall time mostly measures the other processes.
#
# Usage: bench/bench_exchange.sh [ORVELLE_CLI] [RUNS]
#   ORVELLE_CLI  default: $ORV_BUILD_DIR/src/cli/orvelle-cli (build/ by default)
#   RUNS         runs of each command, default 3 (the fastest counts)
# The log is $ORV_DAY_LOG, default /tmp/day.nmea, generated when missing.
set -euo pipefail
export LC_ALL=C
source "$(dirname "$0")/timing.sh"
setup_day_run "$@"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Stored settings of a fresh user (coloured, clamped, nautical) and a private
# database folder, so the run neither reads nor changes the user's own.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME" "$work/db"

"$cli" export "$log" -o "$work/day.kml" >/dev/null
read -r ex_wall ex_cpu ex_kib < <(measure "$cli" export "$log" -o "$work/day.kmz")
read -r gx_wall gx_cpu gx_kib < <(measure gpsbabel -i nmea -f "$log" -o kml -F "$work/babel.kml")
read -r im_wall im_cpu im_kib < <(measure "$cli" import "$work/day.kml" --db "$work/db")
read -r gi_wall gi_cpu gi_kib < <(measure gpsbabel -i kml -f "$work/day.kml" -o gpx -F /dev/null)

report() {  # title ours_wall ours_cpu ours_kib babel_wall babel_cpu babel_kib goal
  awk -v t="$1" -v ow="$2" -v oc="$3" -v ok="$4" -v gw="$5" -v gc="$6" -v gk="$7" -v goal="$8" 'BEGIN {
    printf "%s\n", t
    printf "  orvelle-cli  %8.3f s wall %6.2f s cpu %8.1f MB peak\n", ow, oc, ok / 1024
    printf "  gpsbabel     %8.3f s wall %6.2f s cpu %8.1f MB peak\n", gw, gc, gk / 1024
    ratio = gw / ow
    printf "  ratio        %.1fx wall", ratio
    if (oc > 0) printf ", %.1fx cpu", gc / oc
    printf " (goal >= %dx): %s\n", goal, (ratio >= goal ? "met" : "NOT met")
  }'
}
printf "log %s (%.1f MB), our KML of it %.1f MB, best of %d runs each\n" "$log" \
  "$(awk -v b="$(stat -c %s "$log")" 'BEGIN { print b / 1e6 }')" \
  "$(awk -v b="$(stat -c %s "$work/day.kml")" 'BEGIN { print b / 1e6 }')" "$runs"
report "export to KMZ (gpsbabel: NMEA to KML)" "$ex_wall" "$ex_cpu" "$ex_kib" \
  "$gx_wall" "$gx_cpu" "$gx_kib" 6
report "import of our KML (gpsbabel: KML to GPX)" "$im_wall" "$im_cpu" "$im_kib" \
  "$gi_wall" "$gi_cpu" "$gi_kib" 5
