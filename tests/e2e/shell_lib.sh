# shell_lib.sh: what the shell's end-to-end scripts share. Sourced, not run.
#
# Each script gets its own Xvfb on a free display, its own runtime directory
# (so the instance mutex of one test never meets another's), and programs run
# in the background with their output, pid and exit status in files. Every
# wait has a deadline; the EXIT trap ends whatever is left.
#
# Environment (set by CTest): SAVER, DEMO, CLOSE_REQUEST.

set -uo pipefail

: "${SAVER:?path of the saver program}"
: "${DEMO:?path of the demo program}"

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/moltrane-e2e.XXXXXX")
export XDG_RUNTIME_DIR="$E2E_TMP/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The programs look for a display; they must never fall back to headless here.
unset MOLTRANE_HEADLESS SDL_VIDEODRIVER WAYLAND_DISPLAY
E2E_XVFB_PID=

e2e_cleanup() {
    local f
    for f in "$E2E_TMP"/*.pid; do
        [ -e "$f" ] || continue
        kill -9 "$(cat "$f")" 2>/dev/null
    done
    [ -n "$E2E_XVFB_PID" ] && kill "$E2E_XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# Failures are kept in a file, so that checks made inside command
# substitutions count as well.
fail() {
    echo "FAIL: $*" >&2
    echo "$*" >>"$E2E_TMP/failures"
}

pass() {
    echo "ok: $*"
}

# Ends the script with the overall result.
finish() {
    if [ -s "$E2E_TMP/failures" ]; then
        echo "some checks failed" >&2
        exit 1
    fi
    echo "all checks passed"
    exit 0
}

# Starts Xvfb on a display number that is free (Xvfb picks it and reports it)
# and waits until it answers.
start_x() {
    local fifo="$E2E_TMP/displayfd"
    : >"$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local i
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
    cat "$E2E_TMP/xvfb.log" >&2
    exit 1
}

# run_bg NAME PROGRAM ARGS...: starts the program in the background. Its pid
# goes to NAME.pid, its output to NAME.out/NAME.err, its exit status to NAME.rc
# once it ends.
run_bg() {
    local name=$1
    shift
    rm -f "$E2E_TMP/$name".{rc,out,err,pid}
    (
        "$@" >"$E2E_TMP/$name.out" 2>"$E2E_TMP/$name.err" &
        echo $! >"$E2E_TMP/$name.pid"
        wait $!
        echo $? >"$E2E_TMP/$name.rc.tmp"
        mv "$E2E_TMP/$name.rc.tmp" "$E2E_TMP/$name.rc"
        rm -f "$E2E_TMP/$name.pid"
    ) &
    local i
    for i in $(seq 50); do
        [ -e "$E2E_TMP/$name.pid" ] || [ -e "$E2E_TMP/$name.rc" ] && return 0
        sleep 0.1
    done
}

pid_of() {
    cat "$E2E_TMP/$1.pid" 2>/dev/null
}

is_running() {
    [ ! -e "$E2E_TMP/$1.rc" ]
}

# wait_exit NAME SECONDS: prints the exit status, or "timeout".
wait_exit() {
    local name=$1 deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        if [ -e "$E2E_TMP/$name.rc" ]; then
            cat "$E2E_TMP/$name.rc"
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
        fail "$4: exit status $rc, expected $3; stderr: $(head -c 600 "$E2E_TMP/$1.err" 2>/dev/null)"
    fi
}

# Windows of the X tree whose name is exactly NAME, one id a line.
windows_named() {
    xwininfo -root -tree 2>/dev/null | awk -v name="\"$1\"" 'index($0, " " name ":") { print $1 }'
}

# wait_window NAME SECONDS: prints the id of the first window named NAME.
wait_window() {
    local deadline=$((SECONDS + $2)) ids
    while [ $SECONDS -lt $deadline ]; do
        ids=$(windows_named "$1")
        if [ -n "$ids" ]; then
            echo "$ids" | head -n 1
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Dismisses a message box with the Return key, the way a user does.
dismiss_box() {
    xdotool windowfocus --sync "$1" >/dev/null 2>&1
    xdotool key Return
}

# wait_engine NAME: waits for the engine window "Vellumtide 0.8" and prints
# its id; fails the check when it does not come.
wait_engine() {
    local wid
    if ! wid=$(wait_window "Vellumtide 0.8" 40); then
        fail "$1: no window titled \"Vellumtide 0.8\""
        return 1
    fi
    # Let the open finish (the rules apply only once it has) and the first
    # frames and the activation settle before any input. The window may be
    # made again on its way to full screen: ask for it anew.
    sleep 2
    wid=$(wait_window "Vellumtide 0.8" 10) || {
        fail "$1: the window titled \"Vellumtide 0.8\" went away"
        return 1
    }
    echo "$wid"
}

# check_class WINDOW-ID WHAT: the window is of class "Vellumtide".
check_class() {
    if xprop -id "$1" WM_CLASS 2>/dev/null | grep -q '"Vellumtide"'; then
        pass "$2: the window is of class Vellumtide"
    else
        fail "$2: window $1 is not of class Vellumtide ($(xprop -id "$1" WM_CLASS 2>&1))"
    fi
}

# Types one character into the engine window: the run ends with exit 0.
type_character() {
    xdotool windowfocus --sync "$1" >/dev/null 2>&1
    xdotool key a
}

# check_idle NAME WHAT: the running program is in the idle scheduling class
# (SCHED_IDLE, or the lowest priority where that class is refused).
check_idle() {
    local pid cls ni
    pid=$(pid_of "$1")
    cls=$(ps -o cls= -p "$pid" 2>/dev/null | tr -d ' ')
    ni=$(ps -o ni= -p "$pid" 2>/dev/null | tr -d ' ')
    if [ "$cls" = IDL ] || [ "$ni" = 19 ]; then
        pass "$2 runs in the idle scheduling class"
    else
        fail "$2: scheduling class '$cls', nice '$ni'"
    fi
}

# expect_no_box CAPTION WHAT
expect_no_box() {
    if [ -n "$(windows_named "$1")" ]; then
        fail "$2: a \"$1\" box is showing"
    fi
}
