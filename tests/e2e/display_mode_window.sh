#!/usr/bin/env bash
# End to end: vellumtide in windows made by a host, as XScreenSaver's preview
# pane is made: the whole scene fills a 300x200 window with its aspect kept and
# follows the window when it is resized (wider, then taller); input into the
# window does not end it (the host owns the input); a second instance runs in a
# second window at the same time; SIGTERM ends it with exit 0 within 100 ms (1 s
# allowed on a loaded machine); the window's destruction ends the other with
# exit 0; a window that does not exist is refused with exit 1.
source "$(dirname "$0")/shell_lib.sh"
source "$(dirname "$0")/display_mode_lib.sh"
cd "$E2E_TMP" || exit 1
start_x

host_window pane 300 200 40 30 || finish
pane=$HOST_ID
run_bg mode "$VELLUMTIDE" --window-id "$pane"
sleep 3
is_running mode || fail "vellumtide ended in the pane: $(cat mode.err)"
import -window root pane-1.png
sleep 1
import -window root pane-2.png
check_fit pane-1.png "300x200 pane" 300 200 40 30
convert pane-1.png -crop 300x200+40+30 +repage pane-1c.png
convert pane-2.png -crop 300x200+40+30 +repage pane-2c.png
differs pane-1c.png pane-2c.png "300x200 pane"

# The host's input is not ours: moving, clicking and typing change nothing.
xdotool mousemove 60 50 sleep 0.2 mousemove 250 180 sleep 0.2 click 1 key a key Escape
sleep 1
if is_running mode; then pass "input in the pane does not end the run"; else
    fail "input in the pane ended the run (exit $(cat mode.rc))"
fi

# Resized while it runs: wider than 4:3, then taller.
xdotool windowsize "$pane" 480 240
sleep 1.5
import -window root wide.png
check_fit wide.png "resized to 480x240" 480 240 40 30
xdotool windowsize "$pane" 200 300
sleep 1.5
import -window root tall.png
check_fit tall.png "resized to 200x300" 200 300 40 30

# A second instance in a second window: no instance turns another away.
host_window host2 160 120 600 400 || finish
second=$HOST_ID
run_bg mode2 "$VELLUMTIDE" -window-id "$((second))"
sleep 3
if is_running mode2 && is_running mode; then pass "two instances draw in two windows at once"; else
    fail "a second instance did not run beside the first: $(cat mode2.err 2>/dev/null)"
fi
import -window root both.png
check_fit both.png "second window 160x120 (decimal id)" 160 120 600 400

# SIGTERM: the engine's own close, exit 0, quickly.
start=$(now_ms)
kill -TERM "$(pid_of mode)"
rc=$(wait_exit mode 5)
elapsed=$(($(now_ms) - start))
[ "$rc" = 0 ] && pass "SIGTERM ended the run with exit 0 in $elapsed ms" ||
    fail "SIGTERM: exit status $rc; stderr: $(cat mode.err)"
[ "$elapsed" -le 1000 ] || fail "SIGTERM took $elapsed ms to end the run"
xwininfo -id "$pane" 2>/dev/null | grep -q IsViewable && pass "the host's window is left as it was" ||
    fail "the host's window was unmapped or destroyed by the guest"

# The window destroyed by its host: exit 0.
kill -TERM "$(pid_of host2)"
expect_exit mode2 5 0 "the destroyed window ended the second run"

# No window of that id: exit 1 and a message.
run_bg bad "$VELLUMTIDE" -window-id 0x7fffff01
expect_exit bad 10 1 "a window that does not exist is refused"
grep -q "cannot draw on window 0x7fffff01" bad.err && pass "with a message that names it" ||
    fail "no message for the missing window: $(cat bad.err)"

for run in mode mode2; do
    if grep -qE "X Error|Assert|Error:" "$run.err"; then fail "$run wrote an error: $(cat "$run.err")"; fi
done
finish
