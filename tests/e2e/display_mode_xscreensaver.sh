#!/usr/bin/env bash
# End to end with the real XScreenSaver: a test home whose .xscreensaver lists
# only Vellumtide; the daemon started with no splash; `xscreensaver-command
# -activate` blanks the screen and starts vellumtide in XScreenSaver's window
# (XSCREENSAVER_WINDOW); screenshots show the scene full screen, moving; then
# `xscreensaver-command -deactivate` ends it within one second, with exit 0, no
# message box and no core file.
#
# XScreenSaver launches no display mode as root ("running as root: not
# launching hacks"), so as root the daemon and xscreensaver-command run as a
# throwaway user made here and removed on every way out; otherwise as the
# current user. The program and its data are copied where that user can read
# them, with a small wrapper that notes the display mode's pid, window, exit
# status and end time for the checks.
source "$(dirname "$0")/shell_lib.sh"
source "$(dirname "$0")/display_mode_lib.sh"
for tool in xscreensaver xscreensaver-command setpriv; do
    command -v "$tool" >/dev/null || { fail "$tool is not installed (scripts/install-deps)"; finish; }
done

chmod 755 "$E2E_TMP"
home="$E2E_TMP/home"
hackdir="$E2E_TMP/hack"
mkdir -p "$home" "$hackdir"
user=
if [ "$(id -u)" = 0 ]; then
    command -v useradd >/dev/null || { fail "useradd is not installed (package passwd)"; finish; }
    user="vtxss$$"
    useradd --no-create-home --home-dir "$home" --shell /bin/sh "$user" ||
        { fail "could not make the user $user"; finish; }
    chown "$user" "$home" "$hackdir"
fi

# Everything the user started ends, and the user goes, however the script ends.
xss_cleanup() {
    local pid
    if [ -n "$user" ]; then
        for pid in $(pgrep -u "$user" 2>/dev/null); do kill -9 "$pid" 2>/dev/null; done
        sleep 0.2
        userdel "$user" 2>/dev/null || userdel -f "$user" 2>/dev/null
    fi
    e2e_cleanup
}
trap xss_cleanup EXIT

as_user() {
    local env=(env -i "HOME=$home" "DISPLAY=$DISPLAY" "PATH=/usr/bin:/bin" "LANG=C.UTF-8")
    if [ -n "$user" ]; then
        setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups "${env[@]}" "$@"
    else
        "${env[@]}" "$@"
    fi
}

cp "$VELLUMTIDE" "$(dirname "$VELLUMTIDE")/Default.mtl" "$(dirname "$VELLUMTIDE")/Vellum.3df" \
    "$hackdir/"
cat >"$hackdir/hack.sh" <<'HACK'
#!/bin/sh
# As XScreenSaver starts a display mode, with notes for the test. Core files,
# if any, would land here.
dir=$(dirname "$0")
cd "$dir" || exit 1
ulimit -c unlimited 2>/dev/null
echo "$XSCREENSAVER_WINDOW" >window
./vellumtide "$@" 2>>hack.err &
child=$!
echo "$child" >hack.pid
trap 'kill -TERM $child' TERM INT HUP
wait $child
rc=$?
# A signal caught here interrupts the wait; the second one gets the status.
if [ $rc -gt 128 ]; then
    wait $child
    again=$?
    [ $again = 127 ] || rc=$again
fi
date +%s%N >hack.end
echo $rc >hack.rc
HACK
chmod 755 "$hackdir/hack.sh"
cat >"$home/.xscreensaver" <<EOF2
mode:		one
selected:	0
splash:		False
fade:		False
unfade:		False
lock:		False
timeout:	0:30:00
cycle:		0:00:00
programs:	$hackdir/hack.sh --root \n\

EOF2
[ -n "$user" ] && chown -R "$user" "$home" "$hackdir"

# XScreenSaver's clients must reach the server as the other user: -ac.
start_xvfb -ac
run_bg daemon as_user xscreensaver -no-splash -verbose
up=0
for _ in $(seq 50); do
    if as_user xscreensaver-command -time >/dev/null 2>&1; then up=1; break; fi
    sleep 0.2
done
[ $up = 1 ] || { fail "the XScreenSaver daemon did not answer: $(tail -5 daemon.err 2>/dev/null; tail -5 "$E2E_TMP/daemon.err")"; finish; }
pass "the XScreenSaver daemon runs"

as_user xscreensaver-command -activate >/dev/null 2>&1 || fail "xscreensaver-command -activate failed"
for _ in $(seq 100); do
    [ -s "$hackdir/hack.pid" ] && break
    sleep 0.1
done
if [ ! -s "$hackdir/hack.pid" ]; then
    fail "XScreenSaver started no display mode: $(grep -v '^$' "$E2E_TMP/daemon.err" | tail -8)"
    finish
fi
pass "XScreenSaver started vellumtide in window $(cat "$hackdir/window")"
sleep 3
kill -0 "$(cat "$hackdir/hack.pid")" 2>/dev/null || fail "vellumtide ended early: $(cat "$hackdir/hack.err")"
import -window root "$E2E_TMP/blanked-1.png"
sleep 1
import -window root "$E2E_TMP/blanked-2.png"
check_fit "$E2E_TMP/blanked-1.png" "XScreenSaver's window" 1024 768 0 0
differs "$E2E_TMP/blanked-1.png" "$E2E_TMP/blanked-2.png" "XScreenSaver's window"
[ -n "${SCREENSHOT_OUT:-}" ] && cp "$E2E_TMP/blanked-1.png" "$SCREENSHOT_OUT"

start=$(now_ms)
as_user xscreensaver-command -deactivate >/dev/null 2>&1 || fail "xscreensaver-command -deactivate failed"
for _ in $(seq 100); do
    [ -e "$hackdir/hack.rc" ] && break
    sleep 0.02
done
if [ -e "$hackdir/hack.rc" ]; then
    elapsed=$(($(cat "$hackdir/hack.end") / 1000000 - start))
    rc=$(cat "$hackdir/hack.rc")
    [ "$rc" = 0 ] && pass "deactivation ended vellumtide with exit 0" ||
        fail "vellumtide ended with status $rc: $(cat "$hackdir/hack.err")"
    if [ "$elapsed" -le 1000 ]; then pass "it ended $elapsed ms after the deactivation was asked for"; else
        fail "it ended $elapsed ms after the deactivation was asked for"
    fi
else
    fail "vellumtide still runs 2 s after the deactivation"
fi
if grep -qE "Error|Assert|X Error" "$hackdir/hack.err" 2>/dev/null; then
    fail "vellumtide reported: $(cat "$hackdir/hack.err")"
else
    pass "no message box and no error on its standard error"
fi
cores=$(find "$hackdir" -name 'core*' 2>/dev/null)
[ -z "$cores" ] && pass "no core file" || fail "core files: $cores"
as_user xscreensaver-command -exit >/dev/null 2>&1
finish
