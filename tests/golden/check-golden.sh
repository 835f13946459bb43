#!/usr/bin/env bash
# Golden frames of the scene: the capture tool's frames at 0.5 s, 1.5 s, 20 s
# and 40 s (fixed step 1/30 s) compared pixel for pixel with the pictures in
# this folder.
#
#   tests/golden/check-golden.sh BIN_DIR            compare (the ctest test)
#   tests/golden/check-golden.sh BIN_DIR --update   rewrite the pictures on purpose
#
# Rewrite them only after a deliberate change of what the scene shows, look at
# every new picture before committing it, and say in the commit why it changed.
set -euo pipefail

bin_dir=$1
mode=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
capture="$bin_dir/vellumtide-capture"
times=0.5,1.5,20,40

[ -x "$capture" ] || { echo "check-golden: $capture is not built" >&2; exit 2; }

case "$mode" in
  --update)
    "$capture" --at "$times" --step 1/30 --out "$here"
    echo "check-golden: pictures rewritten in $here; look at them before committing"
    ;;
  "")
    out=$(mktemp -d /tmp/moltrane-golden-XXXXXX)
    if "$capture" --at "$times" --step 1/30 --out "$out" --compare "$here"; then
      rm -rf "$out"
    else
      echo "check-golden: frames differ from the golden pictures; new frames kept in $out" >&2
      echo "check-golden: if the change is deliberate, run: $0 $bin_dir --update" >&2
      exit 1
    fi
    ;;
  *)
    echo "usage: $0 BIN_DIR [--update]" >&2
    exit 2
    ;;
esac
