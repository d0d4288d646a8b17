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

# Runs a command `runs` times; prints "best_seconds peak_kib".
measure() {
  local best="" peak=0 start end seconds rss
  local rss_file
  rss_file="$(mktemp)"
  for ((i = 0; i < runs; i++)); do
    start=$(date +%s.%N)
    /usr/bin/time -f %M -o "$rss_file" "$@" >/dev/null
    end=$(date +%s.%N)
    seconds=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.4f", e - s }')
    rss=$(tail -n 1 "$rss_file")
    if [ -z "$best" ] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best=$seconds
    fi
    [ "$rss" -gt "$peak" ] && peak=$rss
  done
  rm -f "$rss_file"
  echo "$best $peak"
}

bytes=$(stat -c %s "$log")
read -r ours_s ours_kib < <(measure "$cli" stats "$log")
read -r babel_s babel_kib < <(measure gpsbabel -i nmea -f "$log" -o gpx -F /dev/null)

awk -v f="$log" -v b="$bytes" -v os="$ours_s" -v ok="$ours_kib" \
    -v gs="$babel_s" -v gk="$babel_kib" 'BEGIN {
  printf "file            %s (%.1f MB)\n", f, b / 1e6
  printf "orvelle-cli     %8.3f s  %6.1f MB/s  peak RSS %6.1f MB\n", os, b / 1e6 / os, ok / 1024
  printf "gpsbabel        %8.3f s  %6.1f MB/s  peak RSS %6.1f MB\n", gs, b / 1e6 / gs, gk / 1024
  ratio = gs / os
  printf "speed ratio     %.1fx (goal >= 10x): %s\n", ratio, ratio >= 10 ? "met" : "NOT met"
  printf "peak memory     %.1f MB (goal < 40 MB): %s\n", ok / 1024, ok / 1024 < 40 ? "met" : "NOT met"
}'
