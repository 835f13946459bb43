#!/usr/bin/env bash
# saver with no argument and saver /c:1234 show the "Configuration" box and
# exit 0 once it is dismissed, without creating the instance mutex (a demo
# runs while the box is up); saver /p 1234 exits 0 at once with no window.
. "$(dirname "$0")/shell_lib.sh"
start_x

for args in "" "/c:1234"; do
    # shellcheck disable=SC2086 # the words are the arguments
    run_bg saver "$SAVER" $args
    if wait_window Configuration 20 >/dev/null; then
        pass "saver '$args' shows the Configuration box"
        expect_no_box "Vellumtide 0.8" "saver '$args'"
        # No mutex while the box is up: another program starts normally.
        run_bg demo "$DEMO"
        if wid=$(wait_engine "demo beside saver '$args'"); then
            pass "demo runs beside saver '$args': no mutex is held"
            type_character "$wid"
        fi
        expect_exit demo 15 0 "demo beside saver '$args' ends normally"
        if is_running saver; then
            dismiss_box "$(windows_named Configuration | head -n 1)"
        else
            fail "saver '$args' ended before its box was dismissed"
        fi
    else
        fail "saver '$args': no Configuration box"
    fi
    expect_exit saver 15 0 "saver '$args' exits after the box"
done

start=$SECONDS
run_bg preview "$SAVER" /p 1234
expect_exit preview 5 0 "saver /p 1234"
if [ $((SECONDS - start)) -gt 3 ]; then
    fail "saver /p 1234 took $((SECONDS - start)) s"
fi
expect_no_box "Vellumtide 0.8" "saver /p 1234"
expect_no_box Configuration "saver /p 1234"
if [ -s "$E2E_TMP/preview.err" ] || [ -s "$E2E_TMP/preview.out" ]; then
    fail "saver /p 1234 printed: $(cat "$E2E_TMP/preview.out" "$E2E_TMP/preview.err")"
fi
finish
