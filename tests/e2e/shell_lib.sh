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
# The helpers shared with the Windows build's scripts: fail/pass/finish, start_xvfb, run_bg_in,
# pid_of, is_running, wait_exit, expect_exit, windows_named, wait_window, dismiss_box.
PROC_TMP=$E2E_TMP
source "$(dirname "${BASH_SOURCE[0]}")/../support/process_lib.sh"

e2e_cleanup() {
    stop_programs
    stop_xvfb
    wait 2>/dev/null
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# Starts Xvfb on a display number that is free (Xvfb picks it and reports it)
# and waits until it answers.
start_x() {
    start_xvfb
}

# run_bg NAME PROGRAM ARGS...: starts the program in the background. Its pid
# goes to NAME.pid, its output to NAME.out/NAME.err, its exit status to NAME.rc
# once it ends.
run_bg() {
    local name=$1
    shift
    run_bg_in "$name" "$PWD" "$@"
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
