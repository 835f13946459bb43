#!/usr/bin/env bash
# End to end: the window mirror. display-harness opens the engine in run mode 2
# (windowed) on a Voodoo Graphics board, so every frame is read back from
# Glide's back buffer into the mirror and blitted at the window's top-left
# corner: 640x480 of the 1024x768 screen. A screenshot must show a picture
# there (not uniform) that moves, and nothing of it beyond.
#
# Environment (set by CTest): DEMO, SAVER (shell_lib.sh), DISPLAY_HARNESS.
# DISPLAY_E2E_KEEP: a directory to copy the screenshots into.
source "$(dirname "$0")/shell_lib.sh"
: "${DISPLAY_HARNESS:?path of display-harness}"
export GLIDE_SW_BOARD=voodoo
unset FX_GLIDE_SWAPINTERVAL

holds() { awk -v a="$1" -v b="$3" "BEGIN { exit !(a $2 b) }"; }

# stats FILE GEOMETRY: standard deviation and mean of a region, in grey.
stats() {
    convert "$1" -crop "$2" +repage -colorspace gray \
        -format '%[fx:standard_deviation] %[fx:mean]' info:
}

start_x
run_bg harness "$DISPLAY_HARNESS" 6
if ! wid=$(wait_window "Vellumtide 0.8" 20); then
    fail "no window titled \"Vellumtide 0.8\""
    finish
fi
sleep 2
import -window root "$E2E_TMP/mirror-1.png"
sleep 1
import -window root "$E2E_TMP/mirror-2.png"
if [ -n "${DISPLAY_E2E_KEEP:-}" ]; then
    mkdir -p "$DISPLAY_E2E_KEEP"
    cp "$E2E_TMP"/mirror-*.png "$DISPLAY_E2E_KEEP/"
fi

read -r deviation mean < <(stats "$E2E_TMP/mirror-1.png" 640x480+0+0)
if holds "$deviation" ">" 0.01 && holds "$mean" ">" 0.02; then
    pass "the mirrored frame shows at the top-left 640x480 (deviation $deviation, mean $mean)"
else
    fail "the top-left 640x480 is uniform or black (deviation $deviation, mean $mean)"
fi
for region in 384x768+640+0 640x288+0+480; do
    read -r deviation mean < <(stats "$E2E_TMP/mirror-1.png" "$region")
    if holds "$deviation" "==" 0; then
        pass "nothing of the frame beyond it ($region is one colour)"
    else
        fail "$region is not one colour (deviation $deviation)"
    fi
done
convert "$E2E_TMP/mirror-1.png" -crop 640x480+0+0 +repage "$E2E_TMP/frame-1.png"
convert "$E2E_TMP/mirror-2.png" -crop 640x480+0+0 +repage "$E2E_TMP/frame-2.png"
changed=$(compare -metric AE "$E2E_TMP/frame-1.png" "$E2E_TMP/frame-2.png" null: 2>&1 | cut -d' ' -f1)
if [ "${changed:-0}" != 0 ]; then
    pass "the mirrored frames move ($changed pixels changed in a second)"
else
    fail "the mirrored picture did not change in a second"
fi

expect_exit harness 30 0 "display-harness ends with 0"
if grep -q "mirror 640x480, 16-bit top-down, rows of 1280 bytes" "$E2E_TMP/harness.out" &&
    grep -q "frames through the mirror, still mirrored: yes" "$E2E_TMP/harness.out"; then
    pass "$(tr '\n' ' ' <"$E2E_TMP/harness.out")"
else
    fail "harness said: $(cat "$E2E_TMP/harness.out") $(head -c 400 "$E2E_TMP/harness.err")"
fi
finish
