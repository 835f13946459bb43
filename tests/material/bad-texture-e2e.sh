#!/usr/bin/env bash
# End to end: a material file whose texture is missing or damaged stops the
# program at start with the "Failed to initialize the Moltrane Engine!" box
# and exit code 1. Each program runs from a scratch directory (the program
# directory is where it looks for Default.mtl), headless, so the box goes to
# standard error, and with its own runtime directory, so the single-instance
# mutex of any other run on this machine is not in the way.
# Usage: bad-texture-e2e.sh <demo> <saver> <Vellum.3df>
set -uo pipefail
demo=$1 saver=$2 texture=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

material() {  # $1: the texture item
  printf '255, 255, 255, 255\nGR_COLORCOMBINE_TEXTURE_TIMES_ITRGB\nONE\nONE\nONE\nZERO\n'
  printf 'SCALE_OTHER\nONE\nITERATED\nITERATED\nFalse\n%s\nGR_TEXTURECOMBINE_DECAL\n' "$1"
}

# $1: case name, $2: program, $3: texture item, $4...: program arguments
expect_start_failure() {
  local name=$1 program=$2 item=$3
  shift 3
  local dir=$work/$name
  mkdir -p "$dir/run"
  chmod 700 "$dir/run"
  cp "$program" "$dir/"
  material "$item" > "$dir/Default.mtl"
  [ -f "$work/Damaged.3df" ] && cp "$work/Damaged.3df" "$dir/"
  local status=0
  MOLTRANE_HEADLESS=1 XDG_RUNTIME_DIR=$dir/run timeout 20 "$dir/$(basename "$program")" "$@" \
    > "$dir/stdout" 2> "$dir/stderr" || status=$?
  if [ "$status" != 1 ]; then
    echo "FAIL $name: exit code $status, expected 1"; failures=$((failures + 1))
  elif ! grep -qF 'Failed to initialize the Moltrane Engine!' "$dir/stderr"; then
    echo "FAIL $name: no failure box on standard error:"; cat "$dir/stderr"; failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

# A damaged texture: the shipped one cut short (its header promises more).
head -c 4000 "$texture" > "$work/Damaged.3df"

# Control: with the real texture beside it the same program starts and keeps
# running (headless) until it is stopped, so the failures below are the
# texture's doing.
control=$work/control
mkdir -p "$control/run"
chmod 700 "$control/run"
cp "$demo" "$texture" "$control/"
material "$(basename "$texture")" > "$control/Default.mtl"
status=0
MOLTRANE_HEADLESS=1 XDG_RUNTIME_DIR=$control/run timeout 3 "$control/$(basename "$demo")" \
  > "$control/stdout" 2> "$control/stderr" || status=$?
if [ "$status" != 124 ]; then
  echo "FAIL control: the demo with its texture ended with $status instead of running on:"
  cat "$control/stderr"; failures=$((failures + 1))
else
  echo "ok   control (demo with its texture runs)"
fi

expect_start_failure demo-missing-texture "$demo" Missing.3df
expect_start_failure demo-damaged-texture "$demo" Damaged.3df
expect_start_failure saver-missing-texture "$saver" Missing.3df /s
expect_start_failure saver-damaged-texture "$saver" Damaged.3df /s
exit $((failures != 0))
