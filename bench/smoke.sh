#!/usr/bin/env bash
# Smoke run of the bench: every mode for a few frames at a small size. It checks that each run
# ends cleanly with its result line; it judges no figure (timings on a shared machine are noise).
# Usage: smoke.sh VARO-BENCH VARO-BENCH-ALLOC VARO-BENCH-MINIMAL   (in the data folder, on X)
# VARO-BENCH-ALLOC may be "-" where there is no counting program (sanitizer builds).
set -euo pipefail
bench=$1 alloc=$2 minimal=$3
small=(--size=160x120 --warmup=2)
run() {
    local out
    out=$("$@") || { echo "failed: $*" >&2; return 1; }
    printf '%s\n' "$out"
    printf '%s\n' "$out" | tail -n 1 | grep -q '^{"mode":' || { echo "no result line: $*" >&2; return 1; }
}
run "$bench" "${small[@]}" --frames=5 --pins=8
run "$bench" "${small[@]}" --frames=5 --pins=40 --help-page --clock
[ "$alloc" = - ] || run "$alloc" "${small[@]}" --frames=5
run "$bench" "${small[@]}" --mode=pacing --frames=12 --event-every=2
run "$bench" "${small[@]}" --mode=soak --frames=32 --event-every=2
run "$bench" --size=160x120 --mode=startup
run "$minimal" --size=160x120
