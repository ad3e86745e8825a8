#!/usr/bin/env bash
# Smoke run of the bench: each mode of varo-bench for a few frames at a small size, and the swap
# log preloaded into the real program until its third frame. It checks that each run ends with
# its result; it judges no figure (timings on a shared machine are noise).
# Usage: smoke.sh VARO-BENCH VARO SWAP-LOG-LIBRARY   (in the data folder, on X)
set -euo pipefail
bench=$1 varo=$2 library=$3
run() {
    "$@" --size=160x120 --warmup=2 | tee /dev/stderr | grep -q '^{"mode":.*}$' ||
        { echo "no result line: $*" >&2; return 1; }
}
run "$bench" --frames=5 --pins=8
run "$bench" --frames=5 --pins=40 --help-page --clock
run "$bench" --mode=pacing --frames=12 --event-every=2
run "$bench" --mode=startup

log=$(mktemp)
trap 'rm -f "$log"' EXIT
VARO_SWAP_LOG=$log LD_PRELOAD=$library "$varo" --window --seed 1 &
for _ in $(seq 300); do
    [ "$(grep -c '^swap [0-9.]*$' "$log")" -ge 3 ] && break
    kill -0 $! || { echo "varo ended before its third frame" >&2; exit 1; }
    sleep 0.1
done
kill $!
grep -q '^load [0-9.]*$' "$log" && [ "$(grep -c '^swap [0-9.]*$' "$log")" -ge 3 ] ||
    { echo "the swap log lacks the load or three swaps" >&2; exit 1; }
