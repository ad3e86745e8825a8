#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) in a build folder of their own, runs all
# at once for SECONDS (default 60) on virtual displays in data/, and fails on any finding.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-60}
build=${VARO_FUZZ_BUILD:-$root/build-fuzz}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARO_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target bmp_loader_fuzzer picture_file_fuzzer \
    text_overlay_fuzzer >/dev/null
export ASAN_OPTIONS=detect_leaks=0  # Mesa's driver keeps allocations to the end

fuzz() {  # TARGET MAX_LEN [SEED...]: from the checked-in corpus and the seeds
    local target=$1 max_len=$2 corpus=$build/corpus-$1 findings=$build/findings-$1 log=$build/$1.log
    rm -rf "$findings" && mkdir -p "$corpus" "$findings" && shift 2
    cp "$root/tests/fuzz/corpus/$target"/* "$@" "$corpus"/
    (cd "$root/data" && "$root/tools/with-xvfb.sh" "$build/tests/fuzz/${target}_fuzzer" \
        -max_total_time="$seconds" -max_len="$max_len" -timeout=20 -rss_limit_mb=4096 \
        -artifact_prefix="$findings/" "$corpus") >"$log" 2>&1 && [ -z "$(ls -A "$findings")" ] &&
        echo "$target: $(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log") inputs, no finding" && return
    tail -n 40 "$log"
    echo "$target: FINDING, the inputs in $findings/" && return 1
}
fuzz bmp_loader 60000 "$root"/data/*.bmp & bmp=$!  # longer than a whole picture
ASAN_OPTIONS=detect_leaks=1 fuzz picture_file 8192 & pictures=$!  # no GL: leaks are findings
status=0
fuzz text_overlay 400 || status=1
wait "$bmp" || status=1
wait "$pictures" || status=1
exit $status
