#!/usr/bin/env bash
# While saver runs, a second saver /s or a demo exits with -1 (status 255) at
# once and shows nothing; the first goes on running.
. "$(dirname "$0")/shell_lib.sh"
start_x

run_bg first "$SAVER" /s
if wid=$(wait_engine "first saver /s"); then
    for second in "$SAVER /s" "$DEMO"; do
        # shellcheck disable=SC2086 # program and switch
        run_bg second $second
        expect_exit second 10 255 "$(basename "${second%% *}") while a saver runs"
        count=$(windows_named "Vellumtide 0.8" | wc -l)
        [ "$count" = 1 ] || fail "$count windows titled Vellumtide 0.8 while the second start ran"
        expect_no_box Error "second start"
        expect_no_box Configuration "second start"
        is_running first || fail "the first saver ended when the second started"
    done
    type_character "$wid"
fi
expect_exit first 15 0 "the first saver ends normally"

# The other way round: a demo holds the mutex against a saver.
run_bg first "$DEMO"
if wid=$(wait_engine "first demo"); then
    run_bg second "$SAVER" /s
    expect_exit second 10 255 "saver /s while a demo runs"
    type_character "$wid"
fi
expect_exit first 15 0 "the demo ends normally"
finish
