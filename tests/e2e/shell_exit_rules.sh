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

# The pointer where it is now, as "X Y".
pointer() {
    xdotool getmouselocation | sed -n 's/^x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/p'
}

# The window's first sight of the pointer may be where the pointer is when the
# window appears or the first move after that. The first move goes one pixel
# across the axis under test, so both candidates for the origin have the same
# coordinate along it; the boundary moves are counted from there, in the
# direction that stays on the screen.

# Along y: 30 pixels keeps running, and so do Shift alone and an arrow key;
# 31 ends the run.
run_bg saver "$SAVER" /s
if wid=$(wait_engine "31 pixels"); then
    read -r x y < <(pointer)
    dy=1
    [ "$y" -gt 500 ] && dy=-1
    move $((x + 1)) "$y"                 # the origin: (x, y) or (x + 1, y)
    move $((x + 1)) $((y + 30 * dy))     # exactly 30 along y
    move $((x + 1)) $((y + 10 * dy))
    is_running saver && pass "a 30-pixel move keeps running" || fail "ended after a 30-pixel move"
    xdotool windowfocus --sync "$wid" >/dev/null 2>&1
    xdotool key shift
    sleep 0.5
    is_running saver && pass "Shift alone keeps running" || fail "ended after Shift alone"
    xdotool key Left
    sleep 0.5
    is_running saver && pass "an arrow key keeps running" || fail "ended after an arrow key"
    move $((x + 1)) $((y + 31 * dy))     # 31 along y
fi
expect_exit saver 10 0 "a 31-pixel move ends the run"

# Along x.
run_bg saver "$SAVER" /s
if wid=$(wait_engine "31 pixels along x"); then
    read -r x y < <(pointer)
    dx=1
    [ "$x" -gt 500 ] && dx=-1
    move "$x" $((y + 1))                 # the origin: (x, y) or (x, y + 1)
    move $((x + 30 * dx)) $((y + 1))     # exactly 30 along x
    is_running saver && pass "a 30-pixel move along x keeps running" || fail "ended after a 30-pixel move along x"
    move $((x + 31 * dx)) $((y + 1))     # 31 along x
fi
expect_exit saver 10 0 "a 31-pixel move along x ends the run"

# A typed character.
run_bg saver "$SAVER" /s
if wid=$(wait_engine "typed character"); then
    type_character "$wid"
fi
expect_exit saver 10 0 "a typed character ends the run"

# A small move with a mouse button held.
run_bg saver "$SAVER" /s
if wid=$(wait_engine "button held"); then
    read -r x y < <(pointer)
    move $((x + 1)) "$y"
    xdotool mousedown 1
    sleep 0.3
    move $((x + 3)) "$y"
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
