#!/usr/bin/env bash
# The full bench: builds the bench programs in build-bench and measures frame rate and frame
# time against the pin count, start-up against a minimal GLUT program, heap allocations,
# memory over 10,000 frames, pacing, the GL stream replayed by apitrace, the frame cap's
# processor time, and (unless --no-callgrind) our share of the instructions; then plots frame
# time against pin count.
#
# Usage: bench/run-all.sh [--quick] [--no-callgrind] [--parts=LIST]
#   --quick         fewer frames and repeats (a few minutes; figures are rougher)
#   --no-callgrind  skip bench/our-share.sh (the slowest part)
#   --parts=LIST    run only these parts, comma-separated, of: sweep startup alloc soak
#                   pacing trace share cap (default: all)
# Results: build-bench/bench-results/ (JSON lines, logs, summary.txt); plots:
# docs/perf-frame-time.png, docs/perf-memory.png. Needs Xvfb; the optional parts need
# valgrind, apitrace and gnuplot. Run it on a quiet machine: it prints the load average,
# and timings follow it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARO_BENCH_BUILD:-$root/build-bench}
out=$build/bench-results
quick=0 parts=",sweep,startup,alloc,soak,pacing,trace,share,cap,"
for arg in "$@"; do
    case $arg in
        --quick) quick=1 ;;
        --no-callgrind) parts=${parts/,share,/,} ;;
        --parts=*) parts=",${arg#--parts=}," ;;
        -h | --help) sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "run-all.sh: unknown option '$arg' (try --help)" >&2; exit 2 ;;
    esac
done
repeats=3 frames=300 soakFrames=10125 pacingFrames=900 traceFrames=200 capSeconds=60
[ $quick = 1 ] && repeats=1 frames=60 soakFrames=1500 pacingFrames=300 traceFrames=60 capSeconds=10

want() { [[ $parts == *",$1,"* ]]; }

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target varo varo-bench varo-bench-alloc varo-bench-minimal \
    varo-first-frame varo-swap-counter >/dev/null
mkdir -p "$out"
bench=$build/bench/varo-bench alloc=$build/bench/varo-bench-alloc
minimal=$build/bench/varo-bench-minimal watch=$build/bench/varo-first-frame
summary=$out/summary.txt
[ "$parts" = ",sweep,startup,alloc,soak,pacing,trace,share,cap," ] ||
    summary=$out/summary$(tr ',' '.' <<<"$parts")txt
cd "$root/data"  # the program reads its pictures from here

# On a private virtual display with a black root window (the first-frame watch needs it).
onx() { VARO_XVFB_ARGS=-br "$root/tools/with-xvfb.sh" "$@"; }
# A field of the last JSON line on standard input (strings hold no quotes here).
field() {
    grep '^{' | tail -n 1 | grep -o "\"$1\":\(\"[^\"]*\"\|[^,}]*\)" | head -n 1 | cut -d: -f2- |
        tr -d '"'
}
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }
say() { printf '%s\n' "$*" | tee -a "$summary"; }
# Runs "$@" $repeats times on X, keeping each run's result line in $out/$name.jsonl.
repeat() {
    local name=$1
    shift
    : >"$out/$name.jsonl"
    : >"$out/$name.log"
    for _ in $(seq "$repeats"); do
        onx "$@" | tee -a "$out/$name.log" | grep '^{' >>"$out/$name.jsonl"
    done
}
# The median over the runs in $out/$1.jsonl of field $2.
med() { while read -r line; do printf '%s\n' "$line" | field "$2"; done <"$out/$1.jsonl" | median; }

: >"$summary"
say "Varo bench, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load: $(cut -d' ' -f1-3 /proc/loadavg)"
say "renderer: $(onx "$bench" --frames=1 --warmup=0 --size=64x64 | field renderer)"

if want sweep; then
    say ""
    say "Frame time against pin count, 1024x768, median of $repeats runs of $frames frames"
    say "(wall clock from the frame's start to glFinish after the swap):"
    say "$(printf '%-4s %8s %10s %10s %11s %12s' T fps median_ms p99_ms cpu_ms peak_rss_kib)"
    : >"$out/sweep.dat"
    pinCounts=(8 12 16 20 24 28 32 36 40)
    for T in "${pinCounts[@]}"; do : >"$out/frames.T$T.jsonl"; done
    # The repeats go round all the pin counts, so a busy spell of the machine does not fall
    # on one pin count alone.
    for _ in $(seq "$repeats"); do
        for T in "${pinCounts[@]}"; do
            onx "$bench" --frames="$frames" --pins="$T" | grep '^{' >>"$out/frames.T$T.jsonl"
        done
    done
    for T in "${pinCounts[@]}"; do
        row=$(printf '%-4s %8.1f %10.2f %10.2f %11.2f %12d' "$T" "$(med "frames.T$T" fps)" \
            "$(med "frames.T$T" median_ms)" "$(med "frames.T$T" p99_ms)" \
            "$(med "frames.T$T" cpu_ms_per_frame)" "$(med "frames.T$T" peak_rss_kib)")
        say "$row"
        echo "$row" >>"$out/sweep.dat"
    done
    for extra in help-page clock; do
        repeat "frames.T20.$extra" "$bench" --frames="$frames" --pins=20 "--$extra"
        say "$(printf 'T = 20 with --%-9s %6.1f fps, median %.2f ms, p99 %.2f ms' "$extra" \
            "$(med "frames.T20.$extra" fps)" "$(med "frames.T20.$extra" median_ms)" \
            "$(med "frames.T20.$extra" p99_ms)")"
    done
fi

if want startup; then
    say ""
    say "Start-up (median of $((repeats + 2)) runs; exec to main from bash's EPOCHREALTIME):"
    startup() { # name, then the program and its options
        local name=$1
        shift
        : >"$out/$name.jsonl"
        for _ in $(seq $((repeats + 2))); do
            onx bash -c 't=$EPOCHREALTIME; exec "$@" --launched-at="$t"' - "$@" |
                tee -a "$out/$name.log" | grep '^{' >>"$out/$name.jsonl"
        done
    }
    startup startup "$bench" --mode=startup
    MESA_SHADER_CACHE_DISABLE=true startup startup.cold "$bench" --mode=startup
    startup minimal "$minimal"
    for f in exec_to_main_ms glut_init_ms window_ms init_scene_ms reset_settings_ms pin_model_ms \
        star_field_ms load_textures_ms upload_textures_ms first_message_ms pointer_ms init_rest_ms \
        first_frame_ms second_frame_ms main_to_first_swap_ms; do
        say "$(printf '  %-22s varo-bench %8.2f ms   shader cache off %8.2f ms   minimal %8s' "$f" \
            "$(med startup "$f")" "$(med startup.cold "$f")" "$(med minimal "$f")")"
    done
    : >"$out/first-frame.jsonl"
    for program in "$build/varo" "$minimal --stay"; do
        for _ in $(seq $((repeats + 2))); do
            # shellcheck disable=SC2086 # the minimal program's option splits off on purpose
            onx "$watch" $program | grep '^{' >>"$out/first-frame.jsonl"
        done
        say "$(printf '  launch to first frame on screen, %-28s %8.1f ms (median)' \
            "$(basename "${program%% *}")" "$(grep "${program%% *}\"" "$out/first-frame.jsonl" |
                while read -r l; do printf '%s\n' "$l" | field launch_to_first_frame_ms; done |
                median)")"
    done
fi

if want alloc; then
    say ""
    say "Heap allocations in steady frames (T = 20, $frames frames, varo-bench-alloc):"
    onx "$alloc" --frames="$frames" --pins=20 | tee "$out/alloc.log" >/dev/null
    say "  by our code: $(field allocs_ours <"$out/alloc.log"); by any library: $(field allocs_all <"$out/alloc.log")"
fi

if want soak; then
    say ""
    say "Soak: $soakFrames frames ($((soakFrames / 375)) cycles of 15 commands, one every 25 frames: pins up and down,"
    say "help page on and off, reset), 1024x768, T = 20 at each cycle's end:"
    onx "$alloc" --mode=soak --frames="$soakFrames" --pins=20 | tee "$out/soak.log" >/dev/null
    grep -E '^  (resident|after|[0-9]+ key|heap)' "$out/soak.log" | tee -a "$summary"
    sed -n 's/^  after *\([0-9]*\) frames: resident \([0-9]*\) KiB.*/\1 \2/p' "$out/soak.log" \
        >"$out/memory.dat"
fi

if want pacing; then
    say ""
    say "Pacing (T = 20, $pacingFrames frames, a command every 25 frames):"
    onx "$bench" --mode=pacing --frames="$pacingFrames" --pins=20 | tee "$out/pacing.log" >/dev/null
    grep -E '^  ' "$out/pacing.log" | tee -a "$summary"
fi

if want trace && command -v apitrace >/dev/null && command -v glretrace >/dev/null; then
    say ""
    say "GL stream replayed by glretrace -b (T = 20, 1024x768, $traceFrames frames + 30 warm-up;"
    say "the replay includes start-up and warm-up, as the trace does):"
    rm -f "$out/bench.trace"
    onx "$bench" --frames="$traceFrames" --pins=20 >"$out/untraced.log"
    onx apitrace trace --api gl -o "$out/bench.trace" "$bench" --frames="$traceFrames" \
        --pins=20 >"$out/trace.log" 2>&1
    say "  varo-bench, measured frames:      $(field fps <"$out/untraced.log") fps untraced, \
$(field fps <"$out/trace.log") fps traced"
    for n in 1 2; do
        onx glretrace -b "$out/bench.trace" >"$out/retrace.$n.log" 2>&1
        say "  glretrace -b, run $n:               $(grep -o 'Rendered.*' "$out/retrace.$n.log")"
    done
fi

if want cap; then
    say ""
    say "Frame cap: the program in a given window (--root), processor time over a minute each:"
    onx "$root/bench/frame-cap.sh" "$build/varo" "$build/bench/libvaro-swap-counter.so" \
        "$capSeconds" | tee -a "$summary"
fi

if want share; then
    say ""
    say "Our share of the instructions (callgrind, 20 measured frames):"
    "$root/bench/our-share.sh" "$build" 20 | tee -a "$summary"
fi

if command -v gnuplot >/dev/null; then
    if want sweep; then
        gnuplot -e "data='$out/sweep.dat'; output='$root/docs/perf-frame-time.png'" \
            "$root/bench/frame-time.gp"
        say "Plot: docs/perf-frame-time.png"
    fi
    if want soak; then
        gnuplot -e "data='$out/memory.dat'; output='$root/docs/perf-memory.png'" \
            "$root/bench/memory.gp"
        say "Plot: docs/perf-memory.png"
    fi
fi
say "Load at the end: $(cut -d' ' -f1-3 /proc/loadavg). Everything is in $out."
