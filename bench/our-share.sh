#!/usr/bin/env bash
# Our share of a frame's instructions: runs varo-bench under valgrind's callgrind, with only the
# measured frames instrumented (all threads, the driver's rasteriser threads included), and
# sums the instructions by object at T = 8, 20 and 40; then the same for initScene alone.
#
# Usage: bench/our-share.sh [BUILD_DIR] [FRAMES]   (defaults: build-bench, 20 frames)
# Needs valgrind, Xvfb. Takes several minutes: every instruction is simulated.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-bench}" && pwd)
frames=${2:-20}
bench=$build/bench/varo-bench
out=${VARO_BENCH_OUT:-$build/bench-results}
mkdir -p "$out"
[ -x "$bench" ] || { echo "our-share.sh: no $bench; build the target varo-bench first" >&2; exit 2; }
command -v valgrind >/dev/null || { echo "our-share.sh: valgrind is not installed" >&2; exit 2; }

# Runs the bench under callgrind; $1 names the run, the rest are the bench's options.
profile() {
    local name=$1
    shift
    (cd "$root/data" && "$root/tools/with-xvfb.sh" valgrind --tool=callgrind --instr-atstart=no \
        --callgrind-out-file="$out/callgrind.$name.out" "$bench" "$@") >"$out/callgrind.$name.log" 2>&1 ||
        { echo "our-share.sh: the run $name failed; see $out/callgrind.$name.log" >&2; exit 1; }
    awk -v exe="$bench" -f "$root/bench/callgrind-by-object.awk" "$out/callgrind.$name.out" |
        sort -rn >"$out/share.$name.txt"
}

# The instructions and the percentage of one group in a share file.
share() { awk -F'\t' -v g="$2" '$3 == g { print $1, $2 }' "$1"; }

printf '%-4s %14s %12s %9s %16s %9s\n' T "instr/frame" "ours/frame" "ours" "+libc,libm/frame" "share"
for T in 8 20 40; do
    profile "T$T" --frames="$frames" --warmup=5 --pins="$T"
    read -r total _ < <(share "$out/share.T$T.txt" total)
    read -r ours oursPct < <(share "$out/share.T$T.txt" "our code")
    read -r withLib withLibPct < <(share "$out/share.T$T.txt" "our code + its libc/libm calls")
    printf '%-4s %14d %12d %9s %16d %9s\n' "$T" $((total / frames)) $((ours / frames)) "$oursPct" \
        $((withLib / frames)) "$withLibPct"
    printf '{"mode":"share","pins":%d,"frames":%d,"instr_per_frame":%d,"ours_per_frame":%d,' \
        "$T" "$frames" $((total / frames)) $((ours / frames)) >"$out/share.T$T.json"
    printf '"ours_pct":%s,"ours_with_libc_per_frame":%d,"ours_with_libc_pct":%s}\n' \
        "${oursPct%\%}" $((withLib / frames)) "${withLibPct%\%}" >>"$out/share.T$T.json"
done

profile startup --mode=startup
echo
echo "initScene by object (instructions, share, group):"
cat "$out/share.startup.txt"
echo
echo "Per-object tables: $out/share.*.txt; callgrind files: $out/callgrind.*.out"
