#!/usr/bin/env bash
# saver /s, -S and /S start the run: a window titled "Vellumtide 0.8" of class
# "Vellumtide", in the idle scheduling class; a typed character ends it with
# exit 0. demo ignores any command line and always runs.
. "$(dirname "$0")/shell_lib.sh"
start_x

for switch in /s -S /S; do
    run_bg saver "$SAVER" "$switch"
    if wid=$(wait_engine "saver $switch"); then
        pass "saver $switch shows its window"
        check_class "$wid" "saver $switch"
        check_idle saver "saver $switch"
        expect_no_box Configuration "saver $switch"
        expect_no_box Error "saver $switch"
        type_character "$wid"
    fi
    expect_exit saver 15 0 "saver $switch ends on a typed character"
done

for args in "" "/c" "/p 1234" "/a"; do
    # shellcheck disable=SC2086 # the words are the arguments
    run_bg demo "$DEMO" $args
    if wid=$(wait_engine "demo $args"); then
        pass "demo '$args' runs"
        check_idle demo "demo '$args'"
        expect_no_box Configuration "demo '$args'"
        expect_no_box Error "demo '$args'"
        type_character "$wid"
    fi
    expect_exit demo 15 0 "demo '$args' ends on a typed character"
done
finish
