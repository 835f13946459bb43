#!/usr/bin/env bash
# The soak's verdicts (bench/soak/soak-report.awk) on made-up samples: each goal passes on
# samples that meet it, at its limit too, and fails on samples that break it, with the exit
# status saying so.
#
#   soak_report_test.sh REPORT_AWK
set -uo pipefail
report=${1:?path of soak-report.awk}
failures=0

# check NAME EXPECTED_STATUS PATTERN... <SAMPLES: the report of SAMPLES exits with
# EXPECTED_STATUS and has a line matching each PATTERN (grep -E).
check() {
    local name=$1 expected=$2 output rc pattern
    shift 2
    output=$(awk -v title="$name" -f "$report" /dev/stdin)
    rc=$?
    if [ "$rc" != "$expected" ]; then
        echo "FAIL: $name: exit status $rc, expected $expected; report:"$'\n'"$output" >&2
        failures=$((failures + 1))
        return
    fi
    for pattern in "$@"; do
        if ! grep -qE "$pattern" <<<"$output"; then
            echo "FAIL: $name: no line matching '$pattern'; report:"$'\n'"$output" >&2
            failures=$((failures + 1))
            return
        fi
    done
    echo "ok: $name"
}

# Resident memory settles after the first minute: the start-up sample does not count, and a
# spread of exactly 1024 KiB still passes.
check "flat engine run" 0 '^PASS memory: resident 52000\.\.53024 KiB .* 1024 KiB' \
    '^PASS allocations: the pool last grew at frame 2500 .* 105500 frames after it made 0 malloc and 0 new calls; the 107950 frames that did not grow it, 0 and 0' \
    '^PASS descriptors: 5 open in every sample' '^soak: 0 of 3 goals failed' <<'EOF_SAMPLES'
sample 0 0.000 30000 5 0 0 0 0 0 -
sample 1800 60.000 52000 5 1800 900 450 40 1250 -
sample 10000 333.333 52900 5 8200 12 6 1 1252 -
sample 108000 3600.000 53024 5 98000 0 0 0 1252 -
settled 2500 105500 0 0 107950 0 0
EOF_SAMPLES

check "memory one KiB over" 1 '^FAIL memory: resident 52000\.\.53025 KiB' '^PASS allocations' \
    '^PASS descriptors' '^soak: 1 of 3 goals failed' <<'EOF_SAMPLES'
sample 0 0.000 30000 5 0 0 0 0 0 -
sample 1800 60.000 52000 5 1800 900 450 40 1250 -
sample 108000 3600.000 53025 5 106200 0 0 0 1250 -
settled 1000 107000 0 0 107900 0 0
EOF_SAMPLES

check "one sample after the minute" 1 '^FAIL memory: 1 sample\(s\) after the first 60 s' \
    <<'EOF_SAMPLES'
sample 0 0.000 30000 5 0 0 0 0 0 -
sample 1800 60.000 52000 5 1800 900 450 40 1250 -
settled 1000 800 0 0 1750 0 0
EOF_SAMPLES

# After the pool settles, one call of malloc or of new in a frame fails the goal, and so does
# one in a frame before that did not grow the pool, and a pool that grew in the very last frame
# (no frame after it shows that it settled).
check "malloc after the pool settled" 1 '^FAIL allocations: .* made 3 malloc and 0 new' \
    <<'EOF_SAMPLES'
sample 1800 60.000 52000 5 1800 900 450 40 1250 -
sample 108000 3600.000 52000 5 106200 3 0 0 1250 -
settled 1000 107000 3 0 107900 3 0
EOF_SAMPLES
check "new after the pool settled" 1 '^FAIL allocations: .* made - malloc and 1 new' \
    <<'EOF_SAMPLES'
sample 1800 60.000 52000 5 1800 - 450 40 1250 -
sample 108000 3600.000 52000 5 106200 - 1 0 1250 -
settled 1000 107000 - 1 107900 - 1
EOF_SAMPLES
check "new in a frame before the pool settled that did not grow it" 1 \
    '^FAIL allocations: .* 105000 frames after it made 0 malloc and 0 new calls; the 107990 frames that did not grow it, 2 and 2' \
    <<'EOF_SAMPLES'
sample 1800 60.000 52000 5 1800 900 450 40 1250 -
sample 108000 3600.000 52000 5 106200 0 0 0 1250 -
settled 3000 105000 0 0 107990 2 2
EOF_SAMPLES
check "pool grew in the last frame" 1 '^FAIL allocations: the pool last grew at frame 108000' \
    <<'EOF_SAMPLES'
sample 1800 60.000 52000 5 1800 900 450 40 1250 -
sample 108000 3600.000 52000 5 106200 2 1 1 1251 -
settled 108000 0 0 0 107000 0 0
EOF_SAMPLES

# A program's samples (no operator new count; the pool's growth and the window system's present
# counted apart, neither judged): the spans that start at the first minute or later count, the
# first minute's do not.
check "saver run, quiet after the minute" 0 \
    '^PASS allocations: the 7200 frames from 60 s on made 0 allocation calls besides the pool.s growth \(in 2 frames\) and the window system.s present \(3\.000 a frame\)' \
    '^soak: 0 of 3 goals failed' <<'EOF_SAMPLES'
sample 1 0.000 80000 9 1 5000 - 0 1250 3
sample 3601 60.000 90000 9 3600 700 - 0 1250 10800
sample 7201 120.000 90100 9 3600 0 - 2 1254 10800
sample 10801 180.000 90200 9 3600 0 - 0 1254 10800
EOF_SAMPLES
check "saver run, allocating after the minute" 1 \
    '^FAIL allocations: the 7200 frames from 60 s on made 4 allocation calls besides' <<'EOF_SAMPLES'
sample 1 0.000 80000 9 1 5000 - 0 1250 3
sample 3601 60.000 90000 9 3600 700 - 0 1250 10800
sample 7201 120.000 90100 9 3600 0 - 0 1250 10800
sample 10801 180.000 90200 9 3600 4 - 0 1250 10800
EOF_SAMPLES

check "a descriptor more" 1 '^FAIL descriptors: between 9 and 10 open' <<'EOF_SAMPLES'
sample 1 0.000 80000 9 1 5000 - 0 1250 3
sample 3601 60.000 90000 9 3600 0 - 0 1250 10800
sample 7201 120.000 90100 10 3600 0 - 0 1250 10800
EOF_SAMPLES

check "no samples" 2 '^no samples' <<'EOF_SAMPLES'
soak-engine: the engine or the scene did not open
EOF_SAMPLES

[ "$failures" = 0 ] || { echo "$failures case(s) failed" >&2; exit 1; }
echo "all cases passed"
