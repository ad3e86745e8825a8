#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan, their own build folder) and runs each
# for a bounded time on a virtual display, in the data folder; fails on any finding.
#   tests/fuzz/run-fuzzers.sh [SECONDS_PER_TARGET]      (default 60; or VARO_FUZZ_SECONDS)
# Findings (the inputs that broke a rule) are kept in BUILD/fuzz-findings/TARGET/.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-${VARO_FUZZ_SECONDS:-60}}
build=${VARO_FUZZ_BUILD:-$root/build-fuzz}

echo "== Fuzz build (clang, ASan + UBSan, libFuzzer) in $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARO_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target bmp_loader_fuzzer text_overlay_fuzzer >/dev/null

# Mesa's driver keeps allocations past the end of the process that no program frees; leak
# checking would report them, so it is off. The program itself allocates nothing on the heap.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Seeds: the checked-in corpus, and for the loader also the real pictures and a longer file.
prepare_corpus() {
    local target=$1 corpus=$2
    mkdir -p "$corpus"
    cp "$root/tests/fuzz/corpus/$target"/* "$corpus"/
    if [ "$target" = bmp_loader ]; then
        cp "$root"/data/*.bmp "$corpus"/
        { cat "$root/data/font.bmp"; head -c 1000 /dev/urandom; } >"$corpus/longer-than-49206"
    fi
}

status=0
summary=()
for target in bmp_loader text_overlay; do
    corpus="$build/fuzz-corpus/$target"
    findings="$build/fuzz-findings/$target"
    log="$build/fuzz-$target.log"
    prepare_corpus "$target" "$corpus"
    rm -rf "$findings"
    mkdir -p "$findings"
    max_len=310  # an operation byte, its arguments and up to 300 bytes of text
    [ "$target" = bmp_loader ] && max_len=60000  # past the 49,206 bytes of a conforming file
    echo "== Fuzzing $target for $seconds s"
    if (cd "$root/data" && "$root/tools/with-xvfb.sh" "$build/tests/fuzz/${target}_fuzzer" \
        -max_total_time="$seconds" -max_len="$max_len" -timeout=20 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus") >"$log" 2>&1 &&
        [ -z "$(ls -A "$findings")" ]; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        summary+=("$target: ${runs:-?} inputs run, no finding")
    else
        tail -n 60 "$log"
        summary+=("$target: FINDING (log $log, inputs in $findings)")
        status=1
    fi
done
printf '%s\n' "${summary[@]}"
exit $status
