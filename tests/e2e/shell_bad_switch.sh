#!/usr/bin/env bash
# saver /a and saver s show the "Error" box naming the whole command line;
# once it is dismissed the screensaver runs.
. "$(dirname "$0")/shell_lib.sh"
start_x

for args in "/a 77 extra" "s"; do
    # shellcheck disable=SC2086 # the words are the arguments
    run_bg saver "$SAVER" $args
    if box=$(wait_window Error 20); then
        pass "saver '$args' shows the Error box"
        expect_no_box "Vellumtide 0.8" "saver '$args' before the box is dismissed"
        dismiss_box "$box"
        if wid=$(wait_engine "saver '$args' after the box"); then
            pass "saver '$args' runs after the box"
            type_character "$wid"
        fi
    else
        fail "saver '$args': no Error box"
    fi
    expect_exit saver 15 0 "saver '$args' ends on a typed character"
done

# The box's text, read where it can be read: with no display the box is
# written to standard error. The run after it is ended from outside.
MOLTRANE_HEADLESS=1 SDL_VIDEODRIVER=dummy run_bg headless "$SAVER" /a 77 extra
sleep 2
expected=$'Error: Bad command line parameters.\nParams: /a 77 extra'
text=$(cat "$E2E_TMP/headless.err")
if [[ "$text" == *"$expected"* ]]; then
    pass "the Error box names the whole command line"
else
    fail "Error box text: $text"
fi
finish
