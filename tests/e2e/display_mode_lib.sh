# display_mode_lib.sh: what the display mode's end-to-end scripts share, on top of
# shell_lib.sh. Sourced, not run.
#
# Environment (set by CTest): VELLUMTIDE, HOST_WINDOW (display_host_window).

: "${VELLUMTIDE:?path of the vellumtide program}"
: "${HOST_WINDOW:?path of the display_host_window helper}"

# host_window NAME WIDTH HEIGHT X Y: a window made by the helper, as a host makes
# one; its id goes to HOST_ID. Ending the helper (NAME) destroys the window. (Not
# run in a command substitution: that subshell would run the EXIT trap.)
host_window() {
    local name=$1 i
    shift
    HOST_ID=
    run_bg "$name" "$HOST_WINDOW" "$@"
    for i in $(seq 50); do
        if grep -q '^0x' "$E2E_TMP/$name.out" 2>/dev/null; then
            HOST_ID=$(head -n 1 "$E2E_TMP/$name.out")
            return 0
        fi
        sleep 0.1
    done
    fail "$name: the helper made no window ($(cat "$E2E_TMP/$name.err" 2>/dev/null))"
    return 1
}

# region FILE WIDTH HEIGHT X Y: "max mean deviation" of that part of a screenshot
# (values 0 to 1 over all channels).
region() {
    convert "$1" -crop "$2x$3+$4+$5" +repage \
        -format '%[fx:maxima] %[fx:mean] %[fx:standard_deviation]\n' info:
}

# holds A OP B for decimal numbers.
holds() {
    awk -v a="$1" -v b="$3" "BEGIN { exit !(a $2 b) }"
}

# check_fit SHOT WHAT WIDTH HEIGHT X Y: the window at (X, Y) of that size shows the
# whole 4:3 frame as large as fits, centred, with black bars where it does not
# reach: the bars are black (the host's grey is gone), the frame is not uniform,
# and the scene reaches each of the frame's edges.
check_fit() {
    local shot=$1 what=$2 w=$3 h=$4 x=$5 y=$6
    local fw fh fx fy stats
    if [ $((w * 3)) -gt $((h * 4)) ]; then
        fh=$h fw=$((h * 4 / 3)) fy=0 fx=$(((w - h * 4 / 3) / 2))
    else
        fw=$w fh=$((w * 3 / 4)) fx=0 fy=$(((h - w * 3 / 4) / 2))
    fi
    stats=$(region "$shot" "$fw" "$fh" $((x + fx)) $((y + fy)))
    read -r max mean dev <<<"$stats"
    if holds "$dev" '>' 0.03 && holds "$mean" '>' 0.02; then
        pass "$what: the frame ${fw}x${fh} at +$fx+$fy shows the scene ($stats)"
    else
        fail "$what: the frame ${fw}x${fh} at +$fx+$fy is not the scene ($stats)"
    fi
    # Bars: all black, a pixel in from where the frame starts.
    if [ "$fx" -ge 3 ]; then
        check_black "$shot" "$what: left bar" $((fx - 1)) "$h" "$x" "$y"
        check_black "$shot" "$what: right bar" $((w - fx - fw - 1)) "$h" $((x + fx + fw + 1)) "$y"
    fi
    if [ "$fy" -ge 3 ]; then
        check_black "$shot" "$what: top bar" "$w" $((fy - 1)) "$x" "$y"
        check_black "$shot" "$what: bottom bar" "$w" $((h - fy - fh - 1)) "$x" $((y + fy + fh + 1))
    fi
    # The scene up to each edge of the frame: strips three pixels deep, just inside.
    local edge
    for edge in "3 $fh $((x + fx)) $((y + fy))" "3 $fh $((x + fx + fw - 3)) $((y + fy))" \
        "$fw 3 $((x + fx)) $((y + fy))" "$fw 3 $((x + fx)) $((y + fy + fh - 3))"; do
        # shellcheck disable=SC2086
        read -r max mean dev <<<"$(region "$shot" $edge)"
        holds "$max" '>' 0.05 || fail "$what: the frame's edge strip $edge is black: the scene does not reach it"
    done
}

check_black() {
    local stats
    [ "$3" -gt 0 ] && [ "$4" -gt 0 ] || return 0
    stats=$(region "$1" "$3" "$4" "$5" "$6")
    if holds "${stats%% *}" '==' 0; then
        pass "$2 ${3}x$4 is black"
    else
        fail "$2 ${3}x$4 at +$5+$6 is not black ($stats)"
    fi
}

# differs A B WHAT: two screenshots of a region differ (the scene moves).
differs() {
    local changed
    changed=$(compare -metric AE "$1" "$2" null: 2>&1)
    if [ "${changed%% *}" != 0 ]; then
        pass "$3: the picture changes ($changed pixels differ)"
    else
        fail "$3: the picture does not change"
    fi
}

# now_ms: milliseconds on the monotonic-enough wall clock.
now_ms() {
    echo $(($(date +%s%N) / 1000000))
}
