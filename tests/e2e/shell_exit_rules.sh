#!/usr/bin/env bash
# The screensaver's exit rules with real input: a running saver ends with
# exit 0 after the mouse moves 31 pixels from the first position seen, after a
# typed character, after a move with a button held, and after its window is
# asked to close the way a window manager asks (with the SC_CLOSE box). It
# keeps running after a 30-pixel move, Shift alone and an arrow key.
. "$(dirname "$0")/shell_lib.sh"
start_x
: "${CLOSE_REQUEST:?path of the close-request helper}"

# Moves the pointer and gives the program time to see it.
move() {
    xdotool mousemove "$1" "$2"
    sleep 0.5
}

# 30 pixels keeps running, Shift alone and an arrow key too; 31 ends it. The
# pointer waits where the first move will be, so that the window's first
# sight of it (on entering) is the same position.
xdotool mousemove 500 400
run_bg saver "$SAVER" /s
if wid=$(wait_engine "31 pixels"); then
    move 500 400            # the first position seen
    move 530 400            # exactly 30 in x
    move 500 370            # exactly 30 in y
    is_running saver && pass "a 30-pixel move keeps running" || fail "ended after a 30-pixel move"
    xdotool windowfocus --sync "$wid" >/dev/null 2>&1
    xdotool key shift
    sleep 0.5
    is_running saver && pass "Shift alone keeps running" || fail "ended after Shift alone"
    xdotool key Left
    sleep 0.5
    is_running saver && pass "an arrow key keeps running" || fail "ended after an arrow key"
    move 531 400            # 31 in x from the first position
fi
expect_exit saver 10 0 "a 31-pixel move ends the run"

# A typed character.
run_bg saver "$SAVER" /s
if wid=$(wait_engine "typed character"); then
    type_character "$wid"
fi
expect_exit saver 10 0 "a typed character ends the run"

# A small move with a mouse button held.
xdotool mousemove 300 300
run_bg saver "$SAVER" /s
if wid=$(wait_engine "button held"); then
    move 300 300
    xdotool mousedown 1
    sleep 0.3
    move 303 300
    xdotool mouseup 1
fi
expect_exit saver 10 0 "a move with a button held ends the run"

# The window manager's close request: the SC_CLOSE box, then the end.
run_bg saver "$SAVER" /s
if wid=$(wait_engine "close request"); then
    "$CLOSE_REQUEST" "$wid" || fail "the close request could not be sent"
    if box=$(wait_window Error 10); then
        pass "the close request shows the SC_CLOSE box"
        is_running saver || fail "the run ended before the box was dismissed"
        dismiss_box "$box"
    else
        fail "no box after the close request"
    fi
fi
expect_exit saver 10 0 "a close request ends the run"
finish
