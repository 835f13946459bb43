# soak-report.awk: the soak's samples as a table, and a verdict per goal.
#
#   awk -v title=TEXT [-v minute=SECONDS] -f soak-report.awk SAMPLES
#
# SAMPLES holds lines from soak-engine or the soak-tally library (other lines are ignored):
#   sample FRAME SECONDS RSS_KIB FDS FRAMES MALLOC NEW GROWTH POOL PRESENT   ("-": not known)
#   settled LAST_GROWTH_FRAME FRAMES_AFTER MALLOC_AFTER NEW_AFTER QUIET MALLOC_QUIET NEW_QUIET
#                                                                    (soak-engine only)
# The goals:
#   memory       resident memory stays within 1 MiB (1024 KiB) from the first sample at or
#                after `minute` seconds (default 60) to the end;
#   allocations  no allocation in a frame after the triangle pool settles: with a settled line,
#                none in the frames after the pool last grew, nor in any frame but the first
#                that did not grow it; without one (a program, seen through soak-tally), none
#                besides the pool's growth in the spans that start at or after `minute`. The
#                window system's present (PRESENT: SDL and the X libraries) is shown, not judged;
#   descriptors  the same number of open descriptors in every sample.
# Prints PASS or FAIL for each, then "soak: N of 3 goals failed"; exits 1 when any failed
# (2 when there are no samples at all).
BEGIN {
    if (minute == "")
        minute = 60
    count = 0
    settled = 0
}

$1 == "sample" && NF == 11 {
    count++
    frame[count] = $2; seconds[count] = $3; rss[count] = $4; fds[count] = $5
    frames[count] = $6; malloc_calls[count] = $7; new_calls[count] = $8
    growth[count] = $9; pool[count] = $10; present[count] = $11
    next
}

$1 == "settled" && NF == 8 {
    settled = 1
    last_growth = $2; frames_after = $3; malloc_after = $4; new_after = $5
    quiet_frames = $6; malloc_quiet = $7; new_quiet = $8
}

function is_zero(calls) {
    return calls == "-" || calls == 0
}

function per_frame(calls, n) {
    if (calls == "-")
        return "-"
    return n > 0 ? sprintf("%.3f", calls / n) : "-"
}

function print_table(    i) {
    printf "%s\n", title
    printf "%10s %10s %11s %5s %8s %13s %10s %8s %7s %14s\n", "frame", "time (s)",
           "RSS (KiB)", "fds", "frames", "malloc/frame", "new/frame", "growths", "pool",
           "present/frame"
    for (i = 1; i <= count; i++)
        printf "%10d %10.1f %11d %5d %8d %13s %10s %8s %7s %14s\n", frame[i], seconds[i],
               rss[i], fds[i], frames[i], per_frame(malloc_calls[i], frames[i]),
               per_frame(new_calls[i], frames[i]), growth[i], pool[i],
               per_frame(present[i], frames[i])
}

function verdict(ok, text) {
    printf "%s %s\n", ok ? "PASS" : "FAIL", text
    if (!ok)
        failed++
}

function judge_memory(    i, first, low, high, n) {
    n = 0
    for (i = 1; i <= count; i++) {
        if (seconds[i] + 0 < minute + 0)
            continue
        if (n == 0 || rss[i] + 0 < low) low = rss[i] + 0
        if (n == 0 || rss[i] + 0 > high) high = rss[i] + 0
        if (n == 0) first = seconds[i]
        n++
    }
    if (n < 2) {
        verdict(0, sprintf("memory: %d sample(s) after the first %d s, 2 needed", n, minute))
        return
    }
    verdict(high - low <= 1024,
            sprintf("memory: resident %d..%d KiB from %.1f s to the end, a spread of %d KiB (at most 1024)",
                    low, high, first, high - low))
}

function add_calls(total, calls) {
    return calls == "-" ? total : total + calls
}

function judge_settled_allocations(    text) {
    text = sprintf("allocations: the pool last grew at frame %d (%.1f s); the %d frames after it made %s malloc and %s new calls; the %d frames that did not grow it, %s and %s",
                   last_growth, last_growth / 30.0, frames_after, malloc_after, new_after,
                   quiet_frames, malloc_quiet, new_quiet)
    verdict(frames_after > 0 && is_zero(malloc_after) && is_zero(new_after) &&
            is_zero(malloc_quiet) && is_zero(new_quiet), text)
}

function judge_span_allocations(    i, n, calls, grew, shown) {
    n = 0; calls = 0; grew = 0; shown = 0
    for (i = 2; i <= count; i++) {
        if (seconds[i - 1] + 0 < minute + 0)
            continue
        n += frames[i]
        calls = add_calls(add_calls(calls, malloc_calls[i]), new_calls[i])
        grew = add_calls(grew, growth[i])
        shown = add_calls(shown, present[i])
    }
    verdict(n > 0 && calls == 0,
            sprintf("allocations: the %d frames from %d s on made %d allocation calls besides the pool's growth (in %d frames) and the window system's present (%s a frame)",
                    n, minute, calls, grew, per_frame(shown, n)))
}

function judge_descriptors(    i, low, high) {
    low = high = fds[1] + 0
    for (i = 2; i <= count; i++) {
        if (fds[i] + 0 < low) low = fds[i] + 0
        if (fds[i] + 0 > high) high = fds[i] + 0
    }
    if (low == high)
        verdict(1, sprintf("descriptors: %d open in every sample", low))
    else
        verdict(0, sprintf("descriptors: between %d and %d open", low, high))
}

END {
    if (count == 0) {
        printf "%s\nno samples\n", title
        exit 2
    }
    failed = 0
    print_table()
    judge_memory()
    if (settled)
        judge_settled_allocations()
    else
        judge_span_allocations()
    judge_descriptors()
    printf "soak: %d of 3 goals failed\n", failed
    exit failed > 0 ? 1 : 0
}
