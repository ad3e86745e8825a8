#!/usr/bin/env bash
# Smoke run of the bench: each mode of varo-bench for a few frames at a small size, and the swap
# log preloaded into the real program until its third frame. It checks that each run ends with
# its result; it judges no figure (timings on a shared machine are noise).
# Usage: smoke.sh VARO-BENCH VARO SWAP-LOG-LIBRARY   (in the data folder, on X)
set -euo pipefail
bench=$1 varo=$2 library=$3
run() { # MODE PATTERN OPTION...: a run of that mode ends with a result line that has PATTERN
    local mode=$1 pattern=$2
    shift 2
    "$bench" --mode="$mode" --size=160x120 --warmup=2 "$@" | tee /dev/stderr |
        grep -q "^{\"mode\":\"$mode\".*$pattern.*}$" || { echo "no $mode result: $*" >&2; return 1; }
}
run frames '"fps":' --frames=5 --pins=40 --help-page --clock
# The commands reach the program: the help page they open is drawn in a plain frame.
run pacing '"help_shown_ratio":[0-9.]*[1-9]' --frames=18 --event-every=3
run startup '"init_scene_ms":'

log=$(mktemp)
trap 'rm -f "$log"; kill %1 2>/dev/null' EXIT
VARO_SWAP_LOG=$log LD_PRELOAD=$library "$varo" --window --seed 1 &
swapped() { grep -q '^load [0-9.]*$' "$log" && [ "$(grep -c '^swap [0-9.]*$' "$log")" -ge 3 ]; }
for _ in $(seq 300); do swapped && break; kill -0 %1 && sleep 0.1 || break; done
swapped || { echo "the swap log lacks the load or three swaps of a running program" >&2; exit 1; }
