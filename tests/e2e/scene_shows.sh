#!/usr/bin/env bash
# End to end: a program shows the moving scene in a real X server and ends on
# a 31-pixel mouse move with exit code 0.
#
#   scene_shows.sh PROGRAM [ARGS...]     e.g. scene_shows.sh build/bin/saver /s
#
# Run through scene_demo.sh and scene_saver.sh, which take the programs from
# the environment (DEMO, SAVER) like the other end-to-end tests.
# Two seconds after its window shows, a screenshot of the screen must be neither
# uniform nor all black nor all white, and must differ from one taken a second
# later. Then the pointer moves to a point and on by 31 pixels: the run ends.
set -uo pipefail

program=$1
shift
work=$(mktemp -d /tmp/moltrane-e2e-scene-XXXXXX)
xvfb_pid=
app_pid=

fail() {
  echo "FAIL ($program $*): $1" >&2
  echo "  screenshots and logs kept in $work" >&2
  cleanup
  exit 1
}
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

# A free display number, spread by our process id so parallel tests differ.
display=$(( 200 + $$ % 700 ))
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
  display=$(( display + 1 ))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb :$display did not start"

# The single-instance lock lives in the runtime directory: a private one, so
# tests running side by side never refuse each other.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset MOLTRANE_HEADLESS SDL_VIDEODRIVER FX_GLIDE_SWAPINTERVAL

timeout 60 "$program" "$@" >"$work/program.log" 2>&1 &
app_pid=$!

# The clock starts when the program's window is on the screen (the programs
# run at idle priority, so on a busy machine their start can lag), then the
# screenshots come two and three seconds in.
for _ in $(seq 300); do
  xdotool search --onlyvisible --name '^Vellumtide 0\.8$' >/dev/null 2>&1 && break
  kill -0 "$app_pid" 2>/dev/null || fail "the program ended before its window showed"
  sleep 0.1
done
xdotool search --onlyvisible --name '^Vellumtide 0\.8$' >/dev/null 2>&1 ||
  fail "no window 'Vellumtide 0.8' within 30 s"
start=$(date +%s.%N)
sleep_until() {
  local left
  left=$(awk -v s="$start" -v t="$1" -v now="$(date +%s.%N)" 'BEGIN { printf "%.3f", s + t - now }')
  if awk -v l="$left" 'BEGIN { exit !(l > 0) }'; then sleep "$left"; fi
}
# is A OP B for decimal numbers
holds() { awk -v a="$1" -v b="$3" "BEGIN { exit !(a $2 b) }"; }
sleep_until 2
kill -0 "$app_pid" 2>/dev/null || fail "the program ended before the first screenshot"
import -window root "$work/at-2s.png" || fail "no screenshot at 2 s"
sleep_until 3
import -window root "$work/at-3s.png" || fail "no screenshot at 3 s"

stats=$(convert "$work/at-2s.png" -colorspace gray -format '%[fx:standard_deviation] %[fx:mean]\n' info:)
read -r deviation mean <<<"$stats"
echo "screenshot at 2 s: standard deviation $deviation, mean $mean"
holds "$deviation" ">" 0.01 || fail "the screen is uniform (deviation $deviation)"
holds "$mean" ">" 0.02 || fail "the screen is all black (mean $mean)"
holds "$mean" "<" 0.98 || fail "the screen is all white (mean $mean)"
# Differing pixels between two screenshots (compare may print 1.2e+05).
changed() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{ printf "%d", $1 }'; }
pixels=$(changed "$work/at-2s.png" "$work/at-3s.png")
echo "pixels changed between 2 s and 3 s: $pixels"
# At idle priority a busy machine can hold the program back for a moment;
# a few more seconds are allowed before the picture counts as frozen.
later=3
while [ "${pixels:-0}" = 0 ] && [ "$later" -lt 6 ]; do
  later=$((later + 1))
  sleep_until "$later"
  import -window root "$work/at-${later}s.png" || fail "no screenshot at $later s"
  pixels=$(changed "$work/at-2s.png" "$work/at-${later}s.png")
  echo "pixels changed between 2 s and $later s: $pixels"
done
[ "${pixels:-0}" != 0 ] || fail "the picture did not change after 2 s"

# The first move the window sees records the origin: that is where the
# pointer is when the window appears, or the first move after it. One pixel
# across x first, so both candidates share the origin's x; then 31 pixels
# along x ends the run.
kill -0 "$app_pid" 2>/dev/null || fail "the program ended before the mouse moved"
read -r x y < <(xdotool getmouselocation | sed -n 's/^x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/p')
dx=31
[ "$x" -gt 500 ] && dx=-31
xdotool mousemove "$x" $((y + 1))
sleep 0.5
xdotool mousemove $((x + dx)) $((y + 1))
for _ in $(seq 100); do
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
  fail "still running 10 s after a 31-pixel mouse move"
fi
wait "$app_pid"
status=$?
app_pid=
[ "$status" = 0 ] || fail "exit code $status after the mouse move (expected 0)"
echo "PASS: $program${*:+ $*} showed the scene and ended with exit code 0"
rm -rf "$work"
