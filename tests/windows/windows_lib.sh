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
WIN_WINE_STARTED=0
: >"$WIN_TMP/failures"
# The helpers shared with the end-to-end scripts: fail/pass/finish, start_xvfb, run_bg_in,
# pid_of, is_running, wait_exit, expect_exit, windows_named, wait_window, dismiss_box.
PROC_TMP=$WIN_TMP
PROC_WINDOW_POLL=0.2
source "$WIN_SOURCE_DIR/tests/support/process_lib.sh"

# expect_eq ACTUAL EXPECTED WHAT
expect_eq() {
    if [ "$1" = "$2" ]; then
        pass "$3"
    else
        fail "$3: got '$1', expected '$2'"
    fi
}

win_cleanup() {
    stop_programs
    # Only the private prefix's server: every Wine process of this run goes with it.
    if [ "$WIN_WINE_STARTED" = 1 ]; then
        timeout 20 wineserver -k 2>/dev/null
    fi
    stop_xvfb
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
    start_xvfb -noreset
    # Wine's server takes the pointer to be at (0, 0) until it hears otherwise from X, and it
    # hears only while one of its windows is under the pointer. With the pointer at (0, 0)
    # from the start, Wine's first WM_MOUSEMOVE tells the truth (otherwise the engine would
    # see a jump from (0, 0) to the middle of the screen, beyond its 30-pixel slack).
    xdotool mousemove 0 0
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
    run_bg_in "$@"
}

# The text of the message boxes a program showed, one box per line with \n between its
# lines, from Wine's message-box trace (run the program with WINEDEBUG=-all,+msgbox).
box_texts() {
    sed -n 's/.*MSGBOX_OnInit L"\(.*\)"$/\1/p' "$WIN_TMP/$1.err"
}

# is A OP B for decimal numbers
holds() { awk -v a="$1" -v b="$3" "BEGIN { exit !(a $2 b) }"; }
