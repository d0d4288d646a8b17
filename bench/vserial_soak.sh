#!/bin/sh
# Soak of the virtual serial port host. A day of playback (86,400 bursts by
# default) is written into COM5: as fast as the host takes it while nobody
# reads, then a reader opens and closes the device over and over during more
# playback, and a writer is killed in the middle of a feed. The host must
# still be running at the end, and its memory must stay bounded: the driver
# keeps at most about 1 MiB of unread writes.
#
# Usage: bench/vserial_soak.sh [BUILD_DIR] [BURSTS]
# Prints the host's resident memory (VmRSS) and peak (VmHWM) after each phase.
set -eu

BUILD=${1:-build}
BURSTS=${2:-86400}
CLI=$BUILD/src/cli/orvelle-cli
[ -x "$CLI" ] || { echo "no $CLI: build the orvelle-cli target first" >&2; exit 2; }

WORK=$(mktemp -d /tmp/orv_vserial_soak.XXXXXX)
chmod 700 "$WORK"
mkdir -m 700 "$WORK/runtime" "$WORK/config"
export XDG_RUNTIME_DIR="$WORK/runtime" XDG_CONFIG_HOME="$WORK/config"
cleanup() {
  "$CLI" vport unregister >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

# A day log when the generator is at hand, else the sample drive replayed
# until the step count is reached (its last point is sent again and again).
GEN=$(dirname "$0")/../../shared/tools/gen_nmea.py
TRACK=$WORK/day.nmea
if [ -f "$GEN" ] && [ -x /usr/bin/python3 ]; then
  /usr/bin/python3 "$GEN" "$BURSTS" --seed 7 -o "$TRACK" >/dev/null
else
  TRACK=$(dirname "$0")/../samples/sample-drive.nmea
fi

"$CLI" vport register 5 >/dev/null 2>&1
HOST=$("$CLI" vport status | sed -n 's/^host: running, pid \([0-9]*\).*/\1/p')
[ -n "$HOST" ] || { echo "the host did not start" >&2; exit 1; }
DEVICE=$XDG_RUNTIME_DIR/orvelle/COM5

memory() {
  rss=$(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$HOST/status")
  peak=$(sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$HOST/status")
  echo "$1: host VmRSS ${rss} kB, VmHWM ${peak} kB"
}

memory "registered"

start=$(date +%s.%N)
"$CLI" vport feed "$TRACK" --steps "$BURSTS"
end=$(date +%s.%N)
LC_ALL=C awk -v b="$BURSTS" -v s="$start" -v e="$end" \
  'BEGIN { printf "%d bursts without a reader in %.2f s\n", b, e - s }' </dev/null
memory "after a day of playback without a reader"

# A reader that comes and goes while playback runs.
"$CLI" vport feed "$TRACK" --steps 20000 >/dev/null &
FEED=$!
i=0
while [ $i -lt 500 ]; do
  exec 3<"$DEVICE"
  exec 3<&-
  i=$((i + 1))
done
wait $FEED
memory "after 500 reader opens and closes during playback"

# A writer killed in the middle of its feed; the next one must get in.
"$CLI" vport feed "$TRACK" --steps "$BURSTS" >/dev/null &
FEED=$!
deadline=$(($(date +%s) + 5))
until "$CLI" vport status | grep -q '^writer: open'; do
  [ "$(date +%s)" -lt "$deadline" ] || { echo "the writer never connected" >&2; exit 1; }
done
kill -9 $FEED
wait $FEED 2>/dev/null || true
"$CLI" vport feed "$TRACK" --steps 10 >/dev/null
memory "after a killed writer"

"$CLI" vport status | grep -q '^host: running' || { echo "the host is gone" >&2; exit 1; }
echo "host still running (pid $HOST)"
