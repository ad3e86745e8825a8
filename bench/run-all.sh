#!/usr/bin/env bash
# The full bench of what Varo itself costs on top of the GL driver. It builds the program and
# the bench in build-bench (RelWithDebInfo), runs each part on a private virtual display
# (1024 x 768) in data/, and writes the figures to build-bench/bench-results/ (summary.txt, the
# JSON lines, the tools' own reports) and the plots to docs/. Run it on a quiet machine: the
# summary starts and ends with the load average, and timings follow the load.
#
# Usage: bench/run-all.sh [--quick] [--parts=LIST]
#   --quick       fewer frames, runs and seconds: rougher figures, in about a third of the time
#   --parts=LIST  only these parts, comma-separated (default: all of them): sweep pacing
#                 startup launch picture share heap trace cap soak decode; docs/PERFORMANCE.md
#                 says what each measures and with which tool
# Needs Xvfb, xdotool and ImageMagick; a part whose tool is missing says so and is skipped.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARO_BENCH_BUILD:-$root/build-bench}
out=$build/bench-results
all=sweep,pacing,startup,launch,picture,share,heap,trace,cap,soak,decode
quick=0 parts=$all
for arg in "$@"; do
    case $arg in
        --quick) quick=1 ;;
        --parts=?*) parts=${arg#--parts=}  # an empty list is an unknown option
            for part in ${parts//,/ }; do [[ ",$all," == *",$part,"* ]] ||
                { echo "run-all.sh: no part '$part' (try --help)" >&2; exit 2; }; done ;;
        -h | --help) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *) echo "run-all.sh: unknown option '$arg' (try --help)" >&2; exit 2 ;;
    esac
done
repeats=3 frames=300 pacingFrames=10125 runs=5 changes=10 cgFrames=20 heapFrames=200
traceFrames=200 capSeconds=60 soakMinutes=10 costSeconds=30
[ $quick = 1 ] && repeats=1 frames=60 pacingFrames=900 runs=3 changes=4 cgFrames=5 heapFrames=30 \
    traceFrames=60 capSeconds=10 soakMinutes=2 costSeconds=10

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null
mkdir -p "$out"
bench=$build/bench/varo-bench varo=$build/varo swapLog=$build/bench/libvaro-swap-log.so
summary=$out/summary.txt
[ "$parts" = $all ] || summary=$out/summary.${parts//,/.}.txt
export out
cd "$root/data"  # the bench reads the program's pictures here

want() { [[ ",$parts," == *",$1,"* ]]; }
has() { command -v "$1" >/dev/null || { say "($2 skipped: no $1)"; false; }; }
onx() { "$root/tools/with-xvfb.sh" "$@"; }
say() { printf '%s\n' "$@" | tee -a "$summary"; }
# The value of a key in the last JSON line on standard input (strings hold no quotes here).
field() { grep '^{' | tail -n 1 | grep -o "\"$1\":\(\"[^\"]*\"\|[^,}]*\)" | cut -d: -f2- | tr -d '"'; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }
med() { while read -r line; do field "$2" <<<"$line"; done <"$1" | median; }

: >"$summary"
say "Varo bench, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
say "renderer: $(onx "$bench" --frames=1 --warmup=0 --size=64x64 | field renderer); quick: $quick"

if want sweep; then
    say "" "Frame time against pin count, 1024x768, median of $repeats runs of $frames frames:" \
        "T      fps  median_ms  p99_ms  cpu_ms  peak_rss_kib"
    pinCounts=(8 12 16 20 24 28 32 36 40)
    for T in "${pinCounts[@]}"; do : >"$out/frames.T$T.jsonl"; done
    # The repeats go round all pin counts, so that a busy spell of the machine is shared.
    for _ in $(seq $repeats); do
        for T in "${pinCounts[@]}"; do
            onx "$bench" --frames=$frames --pins="$T" >>"$out/frames.T$T.jsonl"
        done
    done
    for T in "${pinCounts[@]}"; do
        f=$out/frames.T$T.jsonl
        printf '%-4s %6.1f %10.2f %7.2f %7.2f %13d\n' "$T" "$(med "$f" fps)" "$(med "$f" median_ms)" \
            "$(med "$f" p99_ms)" "$(med "$f" cpu_ms_per_frame)" "$(med "$f" peak_rss_kib)"
    done | tee "$out/sweep.dat" | tee -a "$summary"
    for extra in help-page clock; do
        f=$out/frames.T20.$extra.jsonl
        for _ in $(seq $repeats); do onx "$bench" --frames=$frames --pins=20 "--$extra"; done >"$f"
        say "$(printf 'T = 20 with --%s: %.1f fps, median %.2f ms' $extra "$(med "$f" fps)" "$(med "$f" median_ms)")"
    done
    ! has gnuplot "the plot" ||
        gnuplot -e "data='$out/sweep.dat'; output='$root/docs/perf-frame-time.png'" "$root/bench/frame-time.gp"
fi

if want pacing; then
    say "" "Pacing and memory, T = 20, $pacingFrames frames, a command every 25 (varo-bench):"
    onx /usr/bin/time -v "$bench" --mode=pacing --frames=$pacingFrames --pins=20 \
        >"$out/pacing.jsonl" 2>"$out/pacing.time"
    for key in plain_frames median_ms plain_p99_ratio help_shown_ratio \
        {rebuild,message,help_open,help_close}_{turns,median_ratio,worst_ratio,cpu_worst_ratio} \
        {rebuild,message,help_open,help_close}_next_{worst_ratio,cpu_worst_ratio} \
        rss_after_{init,first_frame,warmup}_kib rss_at_end_kib rss_growth_after_warmup_kib peak_rss_kib; do
        say "  $key $(field "$key" <"$out/pacing.jsonl")"
    done
    say "  /usr/bin/time: $(grep -h 'Maximum resident' "$out/pacing.time" | sed 's/^\s*//')"
fi

if want startup; then
    say "" "Start-up in the bench's steps (varo-bench --mode=startup), median of $runs runs:"
    for off in false true; do
        for _ in $(seq $runs); do MESA_SHADER_CACHE_DISABLE=$off onx "$bench" --mode=startup; done \
            >"$out/startup.cache-off-$off.jsonl"
    done
    for key in {glut_init,window,init_scene,init_scene_cpu,first_frame,second_frame,main_to_first_swap}_ms; do
        say "$(printf '  %-22s %8.2f, shader cache off %8.2f' "$key" \
            "$(med "$out/startup.cache-off-false.jsonl" "$key")" "$(med "$out/startup.cache-off-true.jsonl" "$key")")"
    done
fi

# Runs a program on a private display with the swap log preloaded, its launch time (seconds,
# taken just before exec) as the first line of $out/swap.log and its messages in
# $out/programs.log; runs the commands in $waitThen, which see its process as $pid; stops it.
withSwapLog() {
    rm -f "$out/swap.log"
    onx bash -c '
        library=$1 waitThen=$2 log=$out/swap.log
        shift 2
        (echo "launch $EPOCHREALTIME" >>"$log"
         VARO_SWAP_LOG=$log LD_PRELOAD=$library exec "$@" 2>>"$out/programs.log") &
        pid=$!
        eval "$waitThen"
        kill $pid && wait $pid || true' - "$swapLog" "$waitThen" "$@" >/dev/null
}
waitForFirstSwap() {
    until grep -qs '^swap' "$out/swap.log"; do
        kill -0 "$pid" || { echo "run-all.sh: the program ended before its first frame" >&2; exit 1; }
        sleep 0.02
    done
}
export -f waitForFirstSwap

# Milliseconds from launch to the library's load and to the first swap, median of $runs runs.
launchTimes() { # program and options
    for _ in $(seq $runs); do
        waitThen=waitForFirstSwap withSwapLog "$@"
        awk '$1 == "launch" { t = $2 * 1000 } $1 == "load" && !l { l = $2 - t }
             $1 == "swap" { print l, $2 - t; exit }' "$out/swap.log"
    done >"$out/launch.txt"
    printf 'load %6.1f ms, first frame %7.1f ms' "$(cut -d' ' -f1 "$out/launch.txt" | median)" \
        "$(cut -d' ' -f2 "$out/launch.txt" | median)"
}

# A folder of N copies (hard links) of one 4000 x 3000 JPEG photo.
photos() { # N
    local dir=$out/photos.$1
    [ -f "$out/photo.jpg" ] || convert -size 4000x3000 -seed 7 plasma:fractal -quality 90 "$out/photo.jpg"
    [ -d "$dir" ] || { mkdir "$dir" && for i in $(seq -w "$1"); do ln "$out/photo.jpg" "$dir/$i.jpg"; done; }
    echo "$dir"
}

# Peak resident memory and processor time of $costSeconds seconds of the show in a given window
# (--root), a new picture every second.
showCost() { # options
    onx /usr/bin/time -f '%M %U %S' bash -c '"$@" 2>/dev/null & pid=$!; sleep '$costSeconds'
        kill -TERM $pid; wait $pid' - "$varo" --root --duration 1 "$@" 2>&1 >/dev/null | tail -n 1 |
        awk '{ printf "peak %.1f MiB, processor %.1f s", $1 / 1024, $2 + $3 }'
}

if want launch; then
    say "" "Launch to first frame, full screen (the swap log), median of $runs runs:" \
        "  varo:                       $(launchTimes "$varo")" \
        "  varo, shader cache off:     $(MESA_SHADER_CACHE_DISABLE=true launchTimes "$varo")"
    for n in 100 5000; do say "  varo --picture $n photos: $(launchTimes "$varo" --picture "$(photos $n)")"; done
    if has glxgears "glxgears"; then say "  glxgears, 300 x 300:        $(launchTimes glxgears)"; fi
    bad=$out/not-pictures && mkdir -p "$bad" && for i in $(seq -w 5000); do echo no >"$bad/$i.jpg"; done
    say "" "The show in a given window for $costSeconds s, a new picture every second (/usr/bin/time):" \
        "  no pictures:               $(showCost)" \
        "  5,000 photos:              $(showCost --picture "$(photos 5000)")" \
        "  5,000 files, no pictures:  $(showCost --picture "$bad")"
fi

if want picture; then
    say "" "Gaps between frames, varo --picture (12 photos), $changes changes by 'i', 1 s apart:"
    waitThen='waitForFirstSwap; sleep 3; for _ in $(seq '$changes'); do
        xdotool key i; echo "key $EPOCHREALTIME" >>"$log"; sleep 1; done' \
        withSwapLog "$varo" --picture "$(photos 12)" --seed 1
    # A gap is around a change when it ends within half a second after the key; the gaps
    # before the first key (start-up, the fade-in) are left out.
    awk '$1 == "key" { key = $2 * 1000 }
         $1 == "swap" && key { gap = $2 - prev; if ($2 - key < 500) near = gap > near ? gap : near
                               else far = gap > far ? gap : far }
         $1 == "swap" { prev = $2 }
         END { printf "  longest gap around a change %.1f ms, without changes %.1f ms\n", near, far }' \
        "$out/swap.log" | tee -a "$summary"
fi

# Profiles varo-bench under callgrind: $1 names the run, $2 is its measured frames, the rest
# are the bench's options; share.awk's figures from the caller tree go to $out/share.NAME.txt.
profile() {
    local name=$1 frames=$2
    shift 2
    onx valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file="$out/callgrind.$name.out" \
        "$bench" "$@" >"$out/callgrind.$name.log" 2>&1
    callgrind_annotate --tree=caller --threshold=100 "$out/callgrind.$name.out" |
        awk -v exe="$bench" -v frames="$frames" -f "$root/bench/share.awk" | sort -rn >"$out/share.$name.txt"
}

if want share && has valgrind "share"; then
    say "" "Callgrind, all threads: instructions and allocation calls in all, per frame, share:"
    for T in 8 20 40; do
        profile T$T $cgFrames --frames=$cgFrames --warmup=5 --pins=$T
        say "  T = $T, $cgFrames measured frames after 5:"
        sed 's/^/  /' "$out/share.T$T.txt" | tee -a "$summary"
    done
    say "  our functions at T = 20, self instructions in $cgFrames frames:"
    callgrind_annotate --threshold=100 "$out/callgrind.T20.out" | grep -F "[$bench]" | grep -v bench:: | head -n 8 |
        sed "s| \[$bench\]||; s|$root/||; s/^/    /" | tee -a "$summary"
    profile pacing 60 --mode=pacing --frames=60 --warmup=5 --event-every=5 --pins=8
    say "  12 key commands in 60 frames (T = 8):"
    grep allocation "$out/share.pacing.txt" | sed 's/^/  /' | tee -a "$summary"
    profile startup 1 --mode=startup
    say "  initScene:"
    grep -E 'total|our code' "$out/share.startup.txt" | sed 's/^/  /' | tee -a "$summary"
    say "  its steps, inclusive:"
    callgrind_annotate --inclusive=yes --tree=calling --threshold=100 "$out/callgrind.startup.out" |
        awk '/\*  .*:(initScene|setUpScene|loadTextures|resetSettings|.*loadIntoTable)\(.*\]$/ { on = 1 }
             /^$/ { on = 0 } on && !/\[\?\?\?\]$/' | sed "s| \[$bench\]||; s|$root/||; s/^/    /" | tee -a "$summary"
fi

if want heap && has heaptrack "heap"; then
    say "" "Heap (heaptrack; varo-bench, T = 20, $heapFrames frames after 30):"
    onx heaptrack -o "$out/heaptrack" "$bench" --frames=$heapFrames --pins=20 >/dev/null 2>&1
    heaptrack_print -f "$out/heaptrack.zst" -p 0 -T 0 -n 6 -s 2 \
        --filter-bt-function drawMeasuredFrames >"$out/heaptrack.txt"
    grep -E '^(calls to|peak|total memory leaked)' "$out/heaptrack.txt" | sed 's/^/  /' | tee -a "$summary"
    say "  allocation calls made in the measured frames on the frame thread, by the object that calls:"
    awk '/^[0-9]+ calls to allocation functions/ { n = $1 } n && /^ *in / { print "    " n, $2; n = 0 }' \
        "$out/heaptrack.txt" | tee -a "$summary"
fi

if want trace && has apitrace "trace"; then
    say "" "GL stream replayed by glretrace -b (T = 20, $traceFrames frames after 30; the replay" \
        "includes start-up and warm-up, as the trace does):"
    rm -f "$out/bench.trace"
    untraced=$(onx "$bench" --frames=$traceFrames --pins=20 | field fps)
    traced=$(onx apitrace trace --api gl -o "$out/bench.trace" "$bench" --frames=$traceFrames \
        --pins=20 2>/dev/null | field fps)
    say "  varo-bench: $untraced fps untraced, $traced fps traced"
    for n in 1 2; do say "  glretrace -b, run $n: $(onx glretrace -b "$out/bench.trace" 2>&1 | grep -o 'Rendered.*')"; done
fi

if want cap; then
    say "" "Frame cap: the program in a given window (--root), processor time over $capSeconds s each:"
    onx "$root/bench/frame-cap.sh" "$varo" "$swapLog" $capSeconds | tee -a "$summary"
fi

if want soak; then
    say "" "Resident memory of the release build, full screen, $soakMinutes minutes (tools/soak.sh):"
    "$root/tools/soak.sh" $soakMinutes "$out/soak.csv" | sed 's/^/  /' | tee -a "$summary"
    ! has gnuplot "the plot" ||
        gnuplot -e "data='$out/soak.csv'; output='$root/docs/perf-memory.png'" "$root/tools/soak.gp"
fi

if want decode && has python3 "decode"; then
    say "" "Decoding one picture (varo-bench-decode), median of 5 decodes:" \
        "  file  processor_ms  wall_ms  refusal  peak_above_program_kib"
    mkdir -p "$out/decode" && (cd "$out/decode" && "$root/bench/decode-pictures.py")
    for file in photo.jpg photo-75.jpg progressive.jpg grey.jpg scans.jpg sparse.jpg app1.jpg \
        bomb-{grey,rgba16,rgb,bits,interlaced}.png; do
        line=$("$build/bench/varo-bench-decode" "$out/decode/$file" 5)
        peak=$(($(field peak_resident_kib <<<"$line") - $(field resident_before_kib <<<"$line")))
        say "  $file $(field median_cpu_ms <<<"$line") $(field median_ms <<<"$line") '$(field refusal <<<"$line")' $peak"
    done
fi
say "" "Load at the end: $(cut -d' ' -f1-3 /proc/loadavg). Everything is in $out."
