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
repo="$(cd "$(dirname "$0")/.." && pwd)"
cli="${1:-$repo/${ORV_BUILD_DIR:-build}/src/cli/orvelle-cli}"
runs="${2:-3}"
log="${ORV_DAY_LOG:-/tmp/day.nmea}"

[ -x "$cli" ] || { echo "no orvelle-cli at $cli (build it first)" >&2; exit 2; }
command -v gpsbabel >/dev/null || { echo "gpsbabel is not installed" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is not installed" >&2; exit 2; }
if [ ! -s "$log" ]; then
  echo "generating $log ..."
  /usr/bin/python3 "$repo/../shared/tools/gen_nmea.py" 86400 --seed 7 -o "$log"
fi

# Runs a command `runs` times; prints "best_wall_s best_cpu_s peak_kib". CPU time
# (user + system) is printed too because on a busy machine the wall time mostly
# measures the other processes.
measure() {
  local best_wall="" best_cpu="" peak=0 start end wall cpu rss stats_file
  stats_file="$(mktemp)"
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s.%N)
    /usr/bin/time -f "%U %S %M" -o "$stats_file" "$@" >/dev/null
    end=$(date +%s.%N)
    wall=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f", e - s }')
    read -r user system rss < <(tail -n 1 "$stats_file")
    cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')
    if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then
      best_wall=$wall
    fi
    if [ -z "$best_cpu" ] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then
      best_cpu=$cpu
    fi
    [ "$rss" -gt "$peak" ] && peak=$rss
  done
  rm -f "$stats_file"
  echo "$best_wall $best_cpu $peak"
}

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
