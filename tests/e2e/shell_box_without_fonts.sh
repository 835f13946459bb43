#!/usr/bin/env bash
# A display whose X server has no core fonts (only the built-in "fixed" and "cursor"): SDL
# cannot make its X11 message box there. The box's text must still reach the user, on standard
# error, after one line that says why the box could not be shown, and the program must answer
# as a headless run does instead of waiting: saver /c ends with exit 0 at once.
. "$(dirname "$0")/shell_lib.sh"
start_xvfb -fp built-ins

start=$SECONDS
run_bg config "$SAVER" /c
expect_exit config 20 0 "saver /c on a display without fonts ends by itself"
if [ $((SECONDS - start)) -gt 10 ]; then
    fail "saver /c took $((SECONDS - start)) s without a box to wait for"
fi
err=$(cat "$E2E_TMP/config.err")
if grep -q '^MessageBoxA: the box could not be shown (SDL: .*xfonts-base)$' <<<"$err"; then
    pass "standard error says why the box could not be shown"
else
    fail "no reason for the missing box on standard error: $err"
fi
if grep -q '^Configuration: Vellumtide$' <<<"$err" &&
   grep -q '^There is nothing to configure\.$' <<<"$err"; then
    pass "the Configuration box's text is on standard error"
else
    fail "the box's text is not on standard error: $err"
fi
# The reason comes first, then the text: one box, one reason.
first=$(head -n 1 <<<"$err")
case "$first" in
    "MessageBoxA: the box could not be shown"*) pass "the reason precedes the text" ;;
    *) fail "first line of standard error: $first" ;;
esac
expect_no_box Configuration "saver /c without fonts"
finish
