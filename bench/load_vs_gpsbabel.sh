#!/usr/bin/env bash
# Loads a 24-hour 1 Hz track file with `orvelle-cli stats` and converts the same
# file with gpsbabel (NMEA in, GPX to /dev/null), in the same run, and prints
# the best wall time of each, their ratio and the peak resident memory.
# Goal: the load at least 10 times faster than gpsbabel, in less than 40 MB.
#
# Usage: bench/load_vs_gpsbabel.sh [ORVELLE_CLI] [RUNS]
#   ORVELLE_CLI  default: $ORV_BUILD_DIR/src/cli/orvelle-cli (build/ by default)
#   RUNS         runs of each command, default 3 (the fastest counts)
# The log is $ORV_DAY_LOG, default /tmp/day.nmea, generated when missing.
set -euo pipefail
export LC_ALL=C
source "$(dirname "$0")/timing.sh"
setup_day_run "$@"

bytes=$(stat -c %s "$log")
read -r ours_wall ours_cpu ours_kib < <(measure "$cli" stats "$log")
read -r babel_wall babel_cpu babel_kib < <(measure gpsbabel -i nmea -f "$log" -o gpx -F /dev/null)

awk -v f="$log" -v b="$bytes" -v ow="$ours_wall" -v oc="$ours_cpu" -v ok="$ours_kib" \
    -v gw="$babel_wall" -v gc="$babel_cpu" -v gk="$babel_kib" -v runs="$runs" 'BEGIN {
  printf "file         %s (%.1f MB), best of %d runs each\n", f, b / 1e6, runs
  printf "             %9s %8s %10s %12s\n", "wall s", "cpu s", "MB/s wall", "peak RSS MB"
  printf "orvelle-cli  %9.3f %8.2f %10.1f %12.1f\n", ow, oc, b / 1e6 / ow, ok / 1024
  printf "gpsbabel     %9.3f %8.2f %10.1f %12.1f\n", gw, gc, b / 1e6 / gw, gk / 1024
  ratio = gw / ow
  printf "speed ratio  %.1fx wall", ratio
  if (oc > 0) printf ", %.1fx cpu", gc / oc
  printf " (goal >= 10x): %s\n", (ratio >= 10 ? "met" : "NOT met")
  printf "peak memory  %.1f MB (goal < 40 MB): %s\n", ok / 1024, (ok / 1024 < 40 ? "met" : "NOT met")
}'
