#!/usr/bin/env bash
# The replay of a captured stretch draws the capture's frames: vellumtide-capture writes frames
# at 1.0, 1.2 and 1.5 s and the trace of 1.0 .. 1.5 s; glide-replay plays the trace, compares
# every frame that has a picture (--check) and writes the same frames, which must be the same
# files byte for byte. A trace cut short is refused with exit status 1 and a message.
#
#   tests/tools/replay-matches-capture.sh CAPTURE REPLAY
set -euo pipefail

capture=$1
replay=$2
work=$(mktemp -d /tmp/moltrane-replay-XXXXXX)
trap 'rm -rf "$work"' EXIT

"$capture" --at 1,1.2,1.5 --out "$work/capture" \
           --trace "$work/stretch.gtr" --trace-from 1 --trace-to 1.5 >"$work/capture.log"

# Frames 1, 7 and 16 of the trace are the capture's frames 30, 36 and 45.
"$replay" "$work/stretch.gtr" --check "$work/capture" --frames 1,7,16 --out "$work/replay" \
          >"$work/replay.log" || { cat "$work/replay.log"; echo "replay differs" >&2; exit 1; }
grep -q "0 of 3 frames compared differ" "$work/replay.log" ||
  { cat "$work/replay.log"; echo "expected 3 frames compared" >&2; exit 1; }
grep -q "^summary frames=16 " "$work/replay.log" ||
  { cat "$work/replay.log"; echo "expected 16 frames" >&2; exit 1; }
for name in frame-1.000s.png frame-1.200s.png frame-1.500s.png; do
  cmp "$work/capture/$name" "$work/replay/$name" ||
    { echo "$name: the replay's file differs from the capture's" >&2; exit 1; }
done

# Cut inside its last record: refused, nothing drawn, the place named.
size=$(stat -c %s "$work/stretch.gtr")
head -c $((size - 3)) "$work/stretch.gtr" >"$work/cut.gtr"
status=0
"$replay" "$work/cut.gtr" >"$work/cut.log" 2>&1 || status=$?
[ "$status" = 1 ] || { cat "$work/cut.log"; echo "cut trace: exit $status, not 1" >&2; exit 1; }
grep -q "is damaged: byte [0-9]*, record [0-9]* (.*truncated" "$work/cut.log" ||
  { cat "$work/cut.log"; echo "cut trace: no message naming the place" >&2; exit 1; }
if grep -q "^frame " "$work/cut.log"; then
  echo "cut trace: frames were played" >&2; exit 1
fi
echo "replay-matches-capture: 3 frames equal, files identical; a cut trace refused"
