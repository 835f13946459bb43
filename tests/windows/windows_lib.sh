# windows_lib.sh: what the Windows build's test scripts share. Sourced, not run.
#
# Results: pass/fail lines, failures kept in a file (so checks inside command substitutions
# count too), finish ends the script with the overall result.
# Wine: a private prefix under the build directory, its own Xvfb on a free display, programs
# started with `wine` directly (so $? is the program's exit status, -1 showing as 255), every
# wait with a deadline, and an EXIT trap that ends what the script started.
#
# Environment: WIN_BUILD (the win32 build directory; default build/win32 of this tree),
# WIN_KEEP_TMP (a directory to copy the run's output files into at the end).

set -uo pipefail

WIN_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WIN_BUILD=${WIN_BUILD:-$WIN_SOURCE_DIR/build/win32}
WIN_PACKAGE=$WIN_BUILD/package
WIN_TMP=$(mktemp -d "${TMPDIR:-/tmp}/moltrane-win.XXXXXX")
WIN_XVFB_PID=
WIN_WINE_STARTED=0
: >"$WIN_TMP/failures"

fail() {
    echo "FAIL: $*" >&2
    # One line per failure, so that the count below is right.
    echo "${*//$'\n'/ | }" >>"$WIN_TMP/failures"
}

pass() {
    echo "ok: $*"
}

# expect_eq ACTUAL EXPECTED WHAT
expect_eq() {
    if [ "$1" = "$2" ]; then
        pass "$3"
    else
        fail "$3: got '$1', expected '$2'"
    fi
}

finish() {
    if [ -s "$WIN_TMP/failures" ]; then
        echo "$(wc -l <"$WIN_TMP/failures") check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
    exit 0
}

win_cleanup() {
    local f
    for f in "$WIN_TMP"/*.pid; do
        [ -e "$f" ] || continue
        kill -9 "$(cat "$f")" 2>/dev/null
    done
    # Only the private prefix's server: every Wine process of this run goes with it.
    if [ "$WIN_WINE_STARTED" = 1 ]; then
        timeout 20 wineserver -k 2>/dev/null
    fi
    [ -n "$WIN_XVFB_PID" ] && kill "$WIN_XVFB_PID" 2>/dev/null
    wait 2>/dev/null
    if [ -n "${WIN_KEEP_TMP:-}" ]; then
        cp -r "$WIN_TMP" "$WIN_KEEP_TMP"
    fi
    rm -rf "$WIN_TMP"
}
trap win_cleanup EXIT
# Ended from outside (scripts/test-windows' time limit): clean up on the way out as well.
trap 'exit 143' TERM INT

# Starts Xvfb on a display number that it picks itself and waits until it answers. -noreset
# keeps the pointer where a test put it while no client is connected (without it the server
# resets, and the pointer goes back to the middle, each time its last client leaves).
start_x() {
    local fifo="$WIN_TMP/displayfd" i
    : >"$fifo"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" \
        >"$WIN_TMP/xvfb.log" 2>&1 &
    WIN_XVFB_PID=$!
    for i in $(seq 100); do
        if [ -s "$fifo" ]; then
            export DISPLAY=":$(tr -d '\n' <"$fifo")"
            if xdpyinfo >/dev/null 2>&1; then
                # Wine's server takes the pointer to be at (0, 0) until it hears otherwise from
                # X, and it hears only while one of its windows is under the pointer. With the
                # pointer at (0, 0) from the start, Wine's first WM_MOUSEMOVE tells the truth
                # (otherwise the engine would see a jump from (0, 0) to the middle of the
                # screen, beyond its 30-pixel slack).
                xdotool mousemove 0 0
                return 0
            fi
        fi
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    cat "$WIN_TMP/xvfb.log" >&2
    exit 1
}

# Prepares Wine: the private prefix (created on first use, about 20 s), no offers to install
# Mono or Gecko, quiet logs, and a server that stays up between the programs of this run.
start_wine() {
    export WINEPREFIX=$WIN_BUILD/wineprefix
    export WINEARCH=win32
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEDEBUG=-all
    # The programs must see the emulated board of each test only.
    unset GLIDE_SW_BOARD FX_GLIDE_SWAPINTERVAL
    WIN_WINE_STARTED=1
    mkdir -p "$WINEPREFIX"
    # A server left by an interrupted run would still talk to that run's display.
    timeout 20 wineserver -k 2>/dev/null
    # Persistent until the cleanup ends it; started before any program, since a running
    # server refuses the option.
    wineserver -p 120
    if ! timeout 180 wineboot -i >"$WIN_TMP/wineboot.log" 2>&1; then
        echo "wineboot failed or timed out" >&2
        tail -n 20 "$WIN_TMP/wineboot.log" >&2
        exit 1
    fi
}

# run_bg NAME DIR COMMAND...: runs COMMAND (e.g. `wine demo.exe`, or `env VAR=value wine ...`)
# in DIR in the background. Its pid goes to NAME.pid, its output to NAME.out and NAME.err, its
# exit status to NAME.rc once it ends.
run_bg() {
    local name=$1 dir=$2
    shift 2
    rm -f "$WIN_TMP/$name".{rc,out,err,pid}
    (
        cd "$dir" || exit 1
        "$@" >"$WIN_TMP/$name.out" 2>"$WIN_TMP/$name.err" &
        echo $! >"$WIN_TMP/$name.pid"
        wait $!
        echo $? >"$WIN_TMP/$name.rc.tmp"
        mv "$WIN_TMP/$name.rc.tmp" "$WIN_TMP/$name.rc"
        rm -f "$WIN_TMP/$name.pid"
    ) &
    local i
    for i in $(seq 50); do
        [ -e "$WIN_TMP/$name.pid" ] || [ -e "$WIN_TMP/$name.rc" ] && return 0
        sleep 0.1
    done
}

is_running() {
    [ ! -e "$WIN_TMP/$1.rc" ]
}

# wait_exit NAME SECONDS: prints the exit status, or "timeout".
wait_exit() {
    local name=$1 deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        if [ -e "$WIN_TMP/$name.rc" ]; then
            cat "$WIN_TMP/$name.rc"
            return 0
        fi
        sleep 0.1
    done
    echo timeout
}

# expect_exit NAME SECONDS CODE WHAT
expect_exit() {
    local rc
    rc=$(wait_exit "$1" "$2")
    if [ "$rc" = "$3" ]; then
        pass "$4 (exit $rc)"
    else
        fail "$4: exit status $rc, expected $3; stderr: $(head -c 600 "$WIN_TMP/$1.err" 2>/dev/null)"
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
        sleep 0.2
    done
    return 1
}

# Dismisses a message box with the Return key, the way a user does.
dismiss_box() {
    xdotool windowfocus --sync "$1" >/dev/null 2>&1
    xdotool key Return
}

# The text of the message boxes a program showed, one box per line with \n between its
# lines, from Wine's message-box trace (run the program with WINEDEBUG=-all,+msgbox).
box_texts() {
    sed -n 's/.*MSGBOX_OnInit L"\(.*\)"$/\1/p' "$WIN_TMP/$1.err"
}

# is A OP B for decimal numbers
holds() { awk -v a="$1" -v b="$3" "BEGIN { exit !(a $2 b) }"; }
