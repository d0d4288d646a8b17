# shellcheck shell=bash
# Shared by the scripts that time orvelle-cli against gpsbabel on a day's log.
# Sourced, not run: `source "$(dirname "$0")/timing.sh"`.

# Reads [ORVELLE_CLI] [RUNS] and sets $repo, $cli, $runs and $log ($ORV_DAY_LOG,
# default /tmp/day.nmea). Exits when a tool is missing; generates the log (24 hours
# at 1 Hz) when it is missing or empty.
setup_day_run() {
  repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
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
}

# Runs a command $runs times; prints "best_wall_s best_cpu_s peak_kib". CPU time
# (user + system) is printed too because on a busy machine the wall time mostly
# measures the other processes.
measure() {
  local best_wall="" best_cpu="" peak=0 start end wall cpu user system rss stats_file i
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
