#!/usr/bin/env bash
# Sanitizer builds only: the leak check that ExitProcess makes before the process ends. A demo
# that loses a block (MOLTRANE_LEAK_PROBE=1 makes the stand-in lose 4242 bytes just before the
# check) gets LeakSanitizer's report on standard error and a failing exit status, although the
# run itself ends well (a typed character, exit code 0); the same run without the probe ends
# with 0 and no report.
. "$(dirname "$0")/shell_lib.sh"
start_x

# run_demo NAME WHAT: the demo until its window shows, then a typed character ends it.
run_demo() {
    local wid
    run_bg "$1" "$DEMO"
    if wid=$(wait_engine "$2"); then
        type_character "$wid"
    fi
}

MOLTRANE_LEAK_PROBE=1 run_demo probe "a run that loses a block"
rc=$(wait_exit probe 60)
err=$(cat "$PROC_TMP/probe.err" 2>/dev/null)
if [ "$rc" != timeout ] && [ "$rc" != 0 ]; then
    pass "a run that loses a block fails (exit $rc)"
else
    fail "a run that loses a block: exit status $rc, expected a failure"
fi
if grep -q "ERROR: LeakSanitizer: detected memory leaks" <<<"$err" &&
    grep -q "Direct leak of 4242 byte(s) in 1 object(s)" <<<"$err"; then
    pass "the report names the lost block"
else
    fail "no leak report of the 4242-byte block; stderr: $(head -c 600 <<<"$err")"
fi
if [ "$(grep -c "Direct leak of\|Indirect leak of" <<<"$err")" = 1 ]; then
    pass "the lost block is the only leak reported"
else
    fail "other leaks reported besides the block: $(grep "leak of" <<<"$err")"
fi

run_demo clean "a run that loses nothing"
expect_exit clean 60 0 "a run that loses nothing ends as it asked"
if grep -q "LeakSanitizer" "$PROC_TMP/clean.err" 2>/dev/null; then
    fail "a run that loses nothing has a leak report: $(head -c 600 "$PROC_TMP/clean.err")"
else
    pass "a run that loses nothing has no leak report"
fi
finish
