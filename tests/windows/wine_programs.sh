#!/usr/bin/env bash
# The Windows programs under Wine, in their own Xvfb, with real input (xdotool), run from a
# copy of the package folder the way a user unpacks it.
#
#   wine_programs.sh       (WIN_BUILD: the win32 build directory, default build/win32)
#
# - saver.scr /p 1234 ends at once with exit 0 and opens nothing.
# - saver.scr /c shows the "Configuration" box; Return dismisses it; exit 0.
# - demo.exe covers the screen with frames that are neither black nor uniform and that move;
#   its window carries the icon of Vellumtide.ico; while it runs, a second demo.exe and a
#   saver.scr /s each end at once with -1 (255 through Wine); a 30-pixel mouse move leaves
#   it running, a 31-pixel move from where the pointer was first seen ends it with exit 0.
# - Without glide2x.dll beside it demo.exe does not start: the DLL is imported at load time.
# - With the software Glide's emulated board set to AT3D (GLIDE_SW_BOARD, read through the
#   environment Wine passes on) the "Error" box says "Failed to initialize the Moltrane
#   Engine!" while no engine window is left; after Return, exit 1.
#
# Screenshots go to $WIN_BUILD/test-windows/ for a look afterwards. For a closer look at a run:
# WIN_DEMO_WINEDEBUG sets Wine's debug channels for demo.exe (e.g. +message: every window
# message), WIN_KEEP_TMP names a directory to keep the programs' output in.
source "$(dirname "$0")/windows_lib.sh"

SHOTS=$WIN_BUILD/test-windows
RUN_DIR=$WIN_TMP/Vellumtide
FAILURE_FIRST_LINE="Failed to initialize the Moltrane Engine!"
CONFIGURATION_LAST_LINE="There is nothing to configure."

prepare() {
    local f
    for f in saver.scr demo.exe glide2x.dll Default.mtl; do
        if [ ! -f "$WIN_PACKAGE/$f" ]; then
            fail "$WIN_PACKAGE/$f is missing: run scripts/build-windows first"
            finish
        fi
    done
    cp -R "$WIN_PACKAGE" "$RUN_DIR"
    rm -rf "$SHOTS"
    mkdir -p "$SHOTS"
}

shot() {
    import -window root "$SHOTS/$1.png" 2>/dev/null
}

# The engine window's placement as "x y width height".
placement() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                             /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

# frames_move A B WHAT: the two screenshots differ.
frames_move() {
    local changed
    changed=$(compare -metric AE "$SHOTS/$1.png" "$SHOTS/$2.png" null: 2>&1 | cut -d' ' -f1)
    if [ -n "$changed" ] && [ "$changed" != 0 ]; then
        pass "$3 ($changed pixels changed)"
    else
        fail "$3: the picture did not change"
    fi
}

preview_ends_at_once() {
    local start=$SECONDS rc
    (cd "$RUN_DIR" && timeout 30 wine saver.scr /p 1234 >"$WIN_TMP/preview.out" 2>&1)
    rc=$?
    expect_eq "$rc" 0 "saver.scr /p 1234 exits 0"
    if [ $((SECONDS - start)) -le 10 ]; then
        pass "saver.scr /p 1234 ends at once ($((SECONDS - start)) s, Wine's start included)"
    else
        fail "saver.scr /p 1234 took $((SECONDS - start)) s"
    fi
    expect_eq "$(windows_named 'Vellumtide 0.8')" "" "saver.scr /p leaves no engine window"
}

configuration_box() {
    run_bg config "$RUN_DIR" env WINEDEBUG=-all,+msgbox wine saver.scr /c
    local box
    if ! box=$(wait_window Configuration 40); then
        fail "saver.scr /c: no \"Configuration\" box"
        return
    fi
    pass "saver.scr /c shows the \"Configuration\" box"
    sleep 0.5
    shot configuration
    expect_eq "$(windows_named 'Vellumtide 0.8')" "" "saver.scr /c opens no engine window"
    local text
    text=$(box_texts config)
    case "$text" in
        *"$CONFIGURATION_LAST_LINE") pass "the box says: $CONFIGURATION_LAST_LINE" ;;
        *) fail "the Configuration box text: '$text'" ;;
    esac
    dismiss_box "$box"
    expect_exit config 20 0 "saver.scr /c ends after Return"
}

# The window's _NET_WM_ICON (Wine sets it from the class icon the engine loads) against the
# opaque pixels of the icon file's 32x32 image.
window_icon() {
    local result
    # As plain numbers: xprop would draw the icon as text art otherwise.
    result=$(xprop -id "$1" -f _NET_WM_ICON 32c ' = $0+' _NET_WM_ICON 2>/dev/null |
        python3 "$WIN_SOURCE_DIR/tests/windows/pe_resources.py" wm-icon \
            "$WIN_SOURCE_DIR/src/shell/resources/Vellumtide.ico" 2>&1)
    case "$result" in
        "compared "*" differing 0")
            if [ "${result#compared }" != "0 differing 0" ]; then
                pass "the engine window shows the application icon ($result)"
            else
                fail "the application icon has no opaque pixels to compare"
            fi
            ;;
        *) fail "the engine window's icon is not Vellumtide.ico: $result" ;;
    esac
}

demo_runs() {
    # The pointer rests where start_x put it, (0, 0), where Wine's server believes it is.
    local pointer
    pointer=$(xdotool getmouselocation | cut -d' ' -f1-2)
    expect_eq "$pointer" "x:0 y:0" "the pointer rests at the origin before demo.exe starts"
    run_bg demo "$RUN_DIR" env WINEDEBUG=${WIN_DEMO_WINEDEBUG:--all} wine demo.exe
    local wid
    if ! wid=$(wait_window "Vellumtide 0.8" 60); then
        fail "demo.exe: no window titled \"Vellumtide 0.8\"; stderr: $(head -c 600 "$WIN_TMP/demo.err")"
        return
    fi
    sleep 2
    wid=$(wait_window "Vellumtide 0.8" 10) || {
        fail "demo.exe: the window went away; exit $(wait_exit demo 1)"
        return
    }
    expect_eq "$(placement "$wid")" "0 0 1024 768" "demo.exe: the window covers the screen"
    shot demo-1
    sleep 1
    shot demo-2
    local deviation mean
    read -r deviation mean < <(convert "$SHOTS/demo-1.png" -colorspace gray \
        -format '%[fx:standard_deviation] %[fx:mean]' info:)
    if holds "$deviation" ">" 0.01 && holds "$mean" ">" 0.02; then
        pass "demo.exe: the screen shows a picture (deviation $deviation, mean $mean)"
    else
        fail "demo.exe: the screen is black or uniform (deviation $deviation, mean $mean)"
    fi
    frames_move demo-1 demo-2 "demo.exe: frames follow one another"
    window_icon "$wid"

    second_instance

    # 30 pixels down is not beyond the slack; back again; new frames show the moves were read.
    xdotool mousemove 0 30
    sleep 1
    xdotool mousemove 0 0
    sleep 2
    shot demo-3
    sleep 1
    shot demo-4
    if is_running demo; then
        pass "demo.exe runs on after a 30-pixel mouse move"
    else
        fail "demo.exe ended on a 30-pixel mouse move (exit $(wait_exit demo 1))"
    fi
    frames_move demo-3 demo-4 "demo.exe: frames go on after the 30-pixel move"
    xdotool mousemove 31 0
    expect_exit demo 30 0 "demo.exe ends on a 31-pixel mouse move"
}

# While demo.exe holds the instance mutex, either program refuses to start: WinMain returns
# -1, which the exit status shows as 255.
second_instance() {
    local rc
    (cd "$RUN_DIR" && timeout 30 wine demo.exe >/dev/null 2>&1)
    rc=$?
    expect_eq "$rc" 255 "a second demo.exe ends with -1"
    (cd "$RUN_DIR" && timeout 30 wine saver.scr /s >/dev/null 2>&1)
    rc=$?
    expect_eq "$rc" 255 "a saver.scr /s beside demo.exe ends with -1"
    if is_running demo; then
        pass "the first demo.exe runs on"
    else
        fail "the first demo.exe ended (exit $(wait_exit demo 1))"
    fi
}

dll_needed_at_load() {
    local dir=$WIN_TMP/no-glide rc
    mkdir -p "$dir"
    cp "$RUN_DIR/demo.exe" "$RUN_DIR/Default.mtl" "$dir/"
    (cd "$dir" && WINEDEBUG=-all,err+module timeout 30 wine demo.exe >"$WIN_TMP/nodll.out" \
        2>"$WIN_TMP/nodll.err")
    rc=$?
    if [ "$rc" != 0 ] && [ "$rc" != 124 ] && grep -qi 'glide2x\.dll' "$WIN_TMP/nodll.err"; then
        pass "without glide2x.dll demo.exe does not load (exit $rc: $(grep -i -m1 'glide2x' "$WIN_TMP/nodll.err" | cut -c1-100))"
    else
        fail "without glide2x.dll: exit $rc, stderr: $(head -c 400 "$WIN_TMP/nodll.err")"
    fi
    expect_eq "$(windows_named 'Vellumtide 0.8')" "" "without glide2x.dll no engine window opens"
}

failure_box() {
    run_bg at3d "$RUN_DIR" env GLIDE_SW_BOARD=at3d WINEDEBUG=-all,+msgbox wine demo.exe
    local box
    if ! box=$(wait_window Error 40); then
        fail "AT3D board: no \"Error\" box; exit $(wait_exit at3d 1)"
        return
    fi
    pass "AT3D board: the \"Error\" box is shown"
    sleep 0.5
    shot failure
    local text
    text=$(box_texts at3d)
    case "$text" in
        "$FAILURE_FIRST_LINE\\n"*) pass "the box begins: $FAILURE_FIRST_LINE" ;;
        *) fail "the Error box text: '$text'" ;;
    esac
    expect_eq "$(windows_named 'Vellumtide 0.8')" "" "no engine window is left while the box shows"
    dismiss_box "$box"
    expect_exit at3d 20 1 "the failed start ends with exit 1 after Return"
}

prepare
start_x
start_wine
preview_ends_at_once
configuration_box
demo_runs
dll_needed_at_load
failure_box
finish
