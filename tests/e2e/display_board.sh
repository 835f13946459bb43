#!/usr/bin/env bash
# End to end: the display device with each emulated board of the software
# Glide, in a real X server.
#
#   display_board.sh BOARD      BOARD: voodoo, voodoo2, sst96 (frames) or at3d, none (the box)
#
# voodoo, voodoo2, sst96: `demo` opens full screen; the window "Vellumtide 0.8"
#   covers the screen, and screenshots show a picture that is not uniform and
#   that moves. A typed character ends the run with exit 0.
# at3d, none: the engine does not open. The "Error" box comes up while no
#   engine window is left (the failed open released it), and after the box the
#   program ends with exit 1. Run headless, the box's five lines go to
#   standard error exactly.
#
# Environment (set by CTest): DEMO, SAVER (shell_lib.sh). DISPLAY_E2E_KEEP: a
# directory to copy the screenshots into.
board=${1:?board}
source "$(dirname "$0")/shell_lib.sh"
export GLIDE_SW_BOARD=$board
unset FX_GLIDE_SWAPINTERVAL

# is A OP B for decimal numbers
holds() { awk -v a="$1" -v b="$3" "BEGIN { exit !(a $2 b) }"; }

keep() {
    if [ -n "${DISPLAY_E2E_KEEP:-}" ]; then
        mkdir -p "$DISPLAY_E2E_KEEP"
        cp "$@" "$DISPLAY_E2E_KEEP/" 2>/dev/null
    fi
}

shows_frames() {
    run_bg demo "$DEMO"
    local wid
    wid=$(wait_engine "$board") || return
    local geometry
    geometry=$(xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                                          /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
    if [ "$geometry" = "0 0 1024 768" ]; then
        pass "$board: the window covers the screen"
    else
        fail "$board: window geometry $geometry, expected 0 0 1024 768"
    fi
    sleep 1
    import -window root "$E2E_TMP/$board-1.png"
    sleep 1
    import -window root "$E2E_TMP/$board-2.png"
    keep "$E2E_TMP/$board-1.png" "$E2E_TMP/$board-2.png"
    local deviation mean changed
    read -r deviation mean < <(convert "$E2E_TMP/$board-1.png" -colorspace gray \
        -format '%[fx:standard_deviation] %[fx:mean]' info:)
    if holds "$deviation" ">" 0.01 && holds "$mean" ">" 0.02; then
        pass "$board: the screen shows a picture (deviation $deviation, mean $mean)"
    else
        fail "$board: the screen is uniform or black (deviation $deviation, mean $mean)"
    fi
    changed=$(compare -metric AE "$E2E_TMP/$board-1.png" "$E2E_TMP/$board-2.png" null: 2>&1 |
        cut -d' ' -f1)
    if [ "${changed:-0}" != 0 ]; then
        pass "$board: frames follow one another ($changed pixels changed in a second)"
    else
        fail "$board: the picture did not change in a second"
    fi
    type_character "$wid"
    expect_exit demo 20 0 "$board: a typed character ends the run"
}

readonly FAILURE_TEXT="Failed to initialize the Moltrane Engine!
You probably hit the Preview button, or ran the program
 while you had the Display Properties box open
 and you've got a Pure3D card.. Right?
 If no, then email me with the problem!"

refuses() {
    run_bg demo "$DEMO"
    local box
    if ! box=$(wait_window "Error" 20); then
        fail "$board: no \"Error\" box"
        return
    fi
    pass "$board: the \"Error\" box is shown"
    if [ -z "$(windows_named "Vellumtide 0.8")" ]; then
        pass "$board: no engine window is left while the box shows"
    else
        fail "$board: the engine window is still there while the box shows"
    fi
    import -window root "$E2E_TMP/$board-box.png"
    keep "$E2E_TMP/$board-box.png"
    dismiss_box "$box"
    expect_exit demo 20 1 "$board: the failed start ends with exit 1 after the box"

    # Headless the box goes to standard error as "caption: text".
    MOLTRANE_HEADLESS=1 timeout 20 "$DEMO" >"$E2E_TMP/headless.out" 2>"$E2E_TMP/headless.err"
    local rc=$?
    if [ "$rc" = 1 ]; then
        pass "$board: headless, exit 1"
    else
        fail "$board: headless exit status $rc, expected 1"
    fi
    if grep -qxF "Error: ${FAILURE_TEXT%%$'\n'*}" "$E2E_TMP/headless.err" &&
        grep -qF "$(printf '%s' "$FAILURE_TEXT" | tail -n 4)" "$E2E_TMP/headless.err"; then
        pass "$board: the five-line failure text, captioned Error"
    else
        fail "$board: standard error was: $(head -c 600 "$E2E_TMP/headless.err")"
    fi
}

start_x
case "$board" in
    voodoo | voodoo2 | sst96) shows_frames ;;
    at3d | none) refuses ;;
    *) fail "unknown board $board" ;;
esac
finish
