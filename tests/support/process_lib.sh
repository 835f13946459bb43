# process_lib.sh: what the end-to-end scripts (tests/e2e/shell_lib.sh) and the Windows build's
# scripts (tests/windows/windows_lib.sh) share: results, the Xvfb, programs in the background,
# waits with deadlines, X windows by name. Sourced by those two, not run, not sourced by a test.
#
# The sourcing library sets PROC_TMP first: the run's directory, where each program NAME
# started with run_bg_in leaves NAME.pid while it runs, NAME.out, NAME.err and, once it ends,
# NAME.rc; failures collect in PROC_TMP/failures. PROC_XVFB_PID is the Xvfb start_xvfb
# started; the sourcing library's EXIT trap ends both with stop_programs and stop_xvfb.

: "${PROC_TMP:?the directory of the run, set by the sourcing library}"
PROC_XVFB_PID=

# Failures are kept in a file, one line each, so that checks made inside command substitutions
# count as well and the count in finish is right.
fail() {
    echo "FAIL: $*" >&2
    echo "${*//$'\n'/ | }" >>"$PROC_TMP/failures"
}

pass() {
    echo "ok: $*"
}

# Ends the script with the overall result.
finish() {
    if [ -s "$PROC_TMP/failures" ]; then
        echo "$(wc -l <"$PROC_TMP/failures") check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
    exit 0
}

# Kills -9 the programs still running; for the EXIT traps.
stop_programs() {
    local f
    for f in "$PROC_TMP"/*.pid; do
        [ -e "$f" ] || continue
        kill -9 "$(cat "$f")" 2>/dev/null
    done
}

# Ends the Xvfb start_xvfb started, if any; for the EXIT traps.
stop_xvfb() {
    [ -n "$PROC_XVFB_PID" ] && kill "$PROC_XVFB_PID" 2>/dev/null
}

# start_xvfb [OPTION...]: starts Xvfb with the options on a display number that it picks
# itself (and reports), exports DISPLAY and waits until it answers; ends the script when it
# does not.
start_xvfb() {
    local fifo="$PROC_TMP/displayfd" i
    : >"$fifo"
    Xvfb -displayfd 3 "$@" -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" \
        >"$PROC_TMP/xvfb.log" 2>&1 &
    PROC_XVFB_PID=$!
    for i in $(seq 100); do
        if [ -s "$fifo" ]; then
            export DISPLAY=":$(tr -d '\n' <"$fifo")"
            if xdpyinfo >/dev/null 2>&1; then
                return 0
            fi
        fi
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    cat "$PROC_TMP/xvfb.log" >&2
    exit 1
}

# run_bg_in NAME DIR COMMAND...: runs COMMAND in DIR in the background. Its pid goes to
# NAME.pid, its output to NAME.out and NAME.err, its exit status to NAME.rc once it ends.
run_bg_in() {
    local name=$1 dir=$2
    shift 2
    rm -f "$PROC_TMP/$name".{rc,out,err,pid}
    (
        cd "$dir" || exit 1
        "$@" >"$PROC_TMP/$name.out" 2>"$PROC_TMP/$name.err" &
        echo $! >"$PROC_TMP/$name.pid"
        wait $!
        echo $? >"$PROC_TMP/$name.rc.tmp"
        mv "$PROC_TMP/$name.rc.tmp" "$PROC_TMP/$name.rc"
        rm -f "$PROC_TMP/$name.pid"
    ) &
    local i
    for i in $(seq 50); do
        [ -e "$PROC_TMP/$name.pid" ] || [ -e "$PROC_TMP/$name.rc" ] && return 0
        sleep 0.1
    done
}

pid_of() {
    cat "$PROC_TMP/$1.pid" 2>/dev/null
}

is_running() {
    [ ! -e "$PROC_TMP/$1.rc" ]
}

# wait_exit NAME SECONDS: prints the exit status, or "timeout".
wait_exit() {
    local name=$1 deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        if [ -e "$PROC_TMP/$name.rc" ]; then
            cat "$PROC_TMP/$name.rc"
            return 0
        fi
        sleep 0.1
    done
    echo timeout
}

# expect_exit NAME SECONDS CODE WHAT: checks the exit status.
expect_exit() {
    local rc
    rc=$(wait_exit "$1" "$2")
    if [ "$rc" = "$3" ]; then
        pass "$4 (exit $rc)"
    else
        fail "$4: exit status $rc, expected $3; stderr: $(head -c 600 "$PROC_TMP/$1.err" 2>/dev/null)"
    fi
}

# Windows of the X tree whose name is exactly NAME, one id a line.
windows_named() {
    xwininfo -root -tree 2>/dev/null | awk -v name="\"$1\"" 'index($0, " " name ":") { print $1 }'
}

# wait_window NAME SECONDS: prints the id of the first window named NAME, looking again every
# PROC_WINDOW_POLL seconds (0.1 unless the sourcing library says otherwise).
wait_window() {
    local deadline=$((SECONDS + $2)) ids
    while [ $SECONDS -lt $deadline ]; do
        ids=$(windows_named "$1")
        if [ -n "$ids" ]; then
            echo "$ids" | head -n 1
            return 0
        fi
        sleep "${PROC_WINDOW_POLL:-0.1}"
    done
    return 1
}

# Dismisses a message box with the Return key, the way a user does.
dismiss_box() {
    xdotool windowfocus --sync "$1" >/dev/null 2>&1
    xdotool key Return
}
