#!/usr/bin/env bash
# Processor time per minute of the real program drawing in a window it is given, as under a
# screensaver daemon (the root window of a private virtual display, 1024 x 768), for each frame
# cap and pin count: the program's own processor time (all its threads, llvmpipe's among them)
# over SECONDS after a start-up of 4 s, scaled to a minute. Prints one table row per case.
# The frame rate comes from the swaps that the preloaded SWAP_LOG library logs.
#   bench/frame-cap.sh VARO SWAP_LOG [SECONDS]   (on an X display: tools/with-xvfb.sh)
set -euo pipefail
readonly varo=$1 library=$2 seconds=${3:-20} ticks=$(getconf CLK_TCK) log=$(mktemp)
trap 'rm -f "$log"' EXIT

# The program's processor seconds and its frames so far.
reading() { echo "$(awk -v t="$ticks" '{ print ($14 + $15) / t }' "/proc/$1/stat") $(grep -c '^swap' "$log")"; }

# measure T DELAY: frames per second, processor seconds per minute, share of one core
measure() {
    : >"$log"
    VARO_SWAP_LOG=$log LD_PRELOAD=$library "$varo" --root --pins "$1" --delay "$2" --seed 1 &
    local pid=$! before after start
    sleep 4  # start-up, shader compilation and the fade-in
    before=$(reading $pid) start=$EPOCHREALTIME
    sleep "$seconds"
    after=$(reading $pid)
    kill -TERM $pid && wait $pid
    awk -v a="$before" -v b="$after" -v s="$start" -v e="$EPOCHREALTIME" 'BEGIN {
        split(a, x, " "); split(b, y, " "); wall = e - s; cpu = (y[1] - x[1]) / wall * 60
        printf "%.1f %.1f %.0f", (y[2] - x[2]) / wall, cpu, cpu / 60 * 100 }'
}

printf '| T | --delay (µs) | frames per second | processor time per minute | of one core |\n'
printf '|---|---|---|---|---|\n'
for pins in 8 20; do
    for delay in 0 20000 50000; do
        read -r fps cpu share <<<"$(measure "$pins" "$delay")"
        printf '| %s | %s | %s | %s s | %s %% |\n' "$pins" "$delay" "$fps" "$cpu" "$share"
    done
done
