#!/usr/bin/env bash
# A storm of real input against the running program on the current X display: random keys
# (every code that has a keysym: printable, control, Latin-1), special keys tapped and held,
# pointer moves, clicks and drags, 'f' toggles, ESC always followed at once by 'r', and window
# resizes down to 1 x 1. Afterwards the program must still run and answer, have raised no GL
# error and no sanitizer report, not have grown in memory, and end with status 0 on ESC.
#   storm.sh VARO DATA_FOLDER      (on a display: run it through tools/with-xvfb.sh)
# VARO_STORM_SECONDS (default 30) is the storm's length after a 5 s warm-up, VARO_STORM_SEED
# (default 1) its seed. The full-length storm:
#   VARO_STORM_SECONDS=300 tools/with-xvfb.sh tests/reliability/storm.sh build/varo data
set -uo pipefail
# shellcheck source=tests/reliability/lib.sh
source "$(dirname "$0")/lib.sh"
varo=$(realpath "$1")
data=$2
seconds=${VARO_STORM_SECONDS:-30}
seed=${VARO_STORM_SEED:-1}
warm_up=5
allowed_growth_kib=$((64 * 1024))  # resident memory after the warm-up may grow this much

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    if [ -n "$pid" ] && ! alive; then
        wait "$pid"
        echo "--- the program's exit status: $? (above 128: killed by signal status - 128)" >&2
        pid=""
    fi
    echo "--- the last batch of input:" >&2
    cat "$work/batch.xdo" >&2 2>/dev/null
    echo "--- program output:" >&2
    tail -n 40 "$work/varo.log" >&2
    exit 1
}
command -v gdb >/dev/null || fail "gdb is missing (Debian package gdb): it reads the GL error count"

# ASan's quarantine holds freed memory back on purpose; a small one keeps the memory figure
# meaningful. Mesa's driver leaves allocations at exit that no program frees: no leak check.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0:quarantine_size_mb=16"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-}:print_stacktrace=1"
(cd "$data" && exec "$varo") >"$work/varo.log" 2>&1 &
pid=$!

resident_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"; }

wait_for_window
sleep 1

# --- The storm: batches of xdotool commands from a seeded generator -----------------------
RANDOM=$seed
printable=(space exclam quotedbl numbersign dollar percent ampersand apostrophe parenleft
    parenright asterisk plus comma minus period slash 0 1 2 3 4 5 6 7 8 9 colon semicolon less
    equal greater question at bracketleft backslash bracketright asciicircum underscore grave
    braceleft bar braceright asciitilde)
for c in {a..z} {A..Z}; do printable+=("$c"); done
control=(ctrl+at BackSpace Tab Return Delete ctrl+backslash ctrl+bracketright
    ctrl+asciicircum ctrl+underscore)
for c in {a..z}; do control+=("ctrl+$c"); done
latin1=()
for code in $(seq 160 255); do latin1+=("$(printf '0x%04x' "$code")"); done
commands=(minus equal underscore plus parenleft parenright bracketleft bracketright braceleft
    braceright comma period less greater l L w o i t u v c p s n space question slash r)
special=(Left Right Up Down Prior Next Home End Insert F1 F2 F5 F12 Shift_L Control_L Alt_L)
screen_w=1024
screen_h=768

# Sets `picked` to one of the arguments (not through a subshell, which would reseed RANDOM).
picked=""
pick() { picked=${*:$((RANDOM % $# + 1)):1}; }

events=0
batch_commands() {
    local n kind
    for n in $(seq 40); do
        kind=$((RANDOM % 100))
        events=$((events + 1))
        if [ $kind -lt 18 ]; then
            pick "${commands[@]}"
            echo "key --delay 2 $picked"
        elif [ $kind -lt 26 ]; then
            pick "${printable[@]}"
            echo "key --delay 2 --window $win $picked"
        elif [ $kind -lt 31 ]; then
            pick "${control[@]}"
            echo "key --delay 2 --window $win $picked"
        elif [ $kind -lt 36 ]; then
            pick "${latin1[@]}"
            echo "key --delay 2 --window $win $picked"
        elif [ $kind -lt 38 ]; then
            # The quit it starts is cancelled at once. Both go straight to the window: the
            # manual camera warps the pointer to (450, 350), which in a small window lies
            # outside it, and a key sent through the keyboard then goes to the root window.
            echo "key --delay 2 --window $win Escape r"
            events=$((events + 1))
        elif [ $kind -lt 46 ]; then
            pick "${special[@]}"
            echo "key --delay 2 $picked"
        elif [ $kind -lt 50 ]; then
            pick "${special[@]}"
            echo "keydown $picked"
            echo "sleep 0.$((RANDOM % 5 + 1))"  # long enough for the key to repeat
            echo "keyup $picked"
            events=$((events + 1))
        elif [ $kind -lt 70 ]; then
            echo "mousemove $((RANDOM % (screen_w + 100) - 50)) $((RANDOM % (screen_h + 100) - 50))"
        elif [ $kind -lt 76 ]; then
            echo "mousemove_relative -- $((RANDOM % 400 - 200)) $((RANDOM % 400 - 200))"
        elif [ $kind -lt 84 ]; then
            echo "click $((RANDOM % 5 + 1))"
        elif [ $kind -lt 87 ]; then
            echo "mousedown 1"
            echo "mousemove_relative -- $((RANDOM % 200 - 100)) $((RANDOM % 200 - 100))"
            echo "mouseup 1"
            events=$((events + 2))
        elif [ $kind -lt 90 ]; then
            echo "key --delay 2 f"
        elif [ $kind -lt 96 ]; then
            local w h
            if [ $((RANDOM % 3)) -eq 0 ]; then
                w=$((RANDOM % 4 + 1)) h=$((RANDOM % 4 + 1))
            else
                w=$((RANDOM % screen_w + 1)) h=$((RANDOM % screen_h + 1))
            fi
            echo "windowsize $win $w $h"
            echo "mousemove 2 2"  # keep the pointer over the window, where the keys go
        else
            echo "sleep 0.05"
            events=$((events - 1))
        fi
    done
}

samples=()  # resident memory, KiB, every 15 s of the storm
next_sample=$SECONDS
storm_for() {
    local until=$((SECONDS + $1))
    while [ $SECONDS -lt $until ]; do
        batch_commands >"$work/batch.xdo"
        xdotool "$work/batch.xdo" >/dev/null 2>&1
        alive || fail "the program ended during the storm (after $events events)"
        if [ $SECONDS -ge $next_sample ]; then
            samples+=("$(resident_kib)")
            next_sample=$((SECONDS + 15))
        fi
    done
}

started=$SECONDS
storm_for "$warm_up"
resident_before=$(resident_kib)
storm_for "$seconds"
resident_after=$(resident_kib)
minutes=$(awk -v s=$((SECONDS - started)) 'BEGIN { printf "%.1f", s / 60 }')

# --- Afterwards ---------------------------------------------------------------------------
{
    for key in "${special[@]}"; do echo "keyup $key"; done
    echo "mouseup 1"
    echo "windowsize $win $screen_w $screen_h"
    echo "mousemove 500 400"
    echo "key --window $win r"
} >"$work/calm.xdo"
xdotool "$work/calm.xdo" >/dev/null 2>&1
sleep 1.5
alive || fail "the program ended after the storm"

read_global() {
    timeout 60 gdb -q -batch -p "$pid" -ex "print $1" 2>/dev/null | sed -n 's/^\$1 = //p'
}

# It still answers keys: 'u' turns the star field off and on again.
universe=()
for _ in 1 2; do
    universe+=("$(read_global settings.universeOn)")
    xdotool key --window "$win" u 2>/dev/null
    sleep 0.5
done
universe+=("$(read_global settings.universeOn)")
[ "${universe[*]}" = "1 0 1" ] || fail "the program does not answer 'u' (universeOn ${universe[*]})"

# It still draws: two screenshots half a second apart differ (the board waves, stars turn).
import -window root "$work/a.png" && sleep 0.5 && import -window root "$work/b.png" ||
    fail "no screenshot"
differing=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1)
awk -v d="$differing" 'BEGIN { exit !(d + 0 > 100) }' ||
    fail "the picture no longer changes ($differing pixels differ)"

gl_errors=$(read_global glErrorCount)
[ -n "$gl_errors" ] || fail "could not read the GL error count"

if grep -qE 'ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer' "$work/varo.log"; then
    fail "sanitizer report"
fi

xdotool key --window "$win" Escape 2>/dev/null
for _ in $(seq 200); do
    alive || break
    sleep 0.1
done
if alive; then
    fail "ESC did not end the program within 20 s"
fi
wait "$pid"
status=$?
pid=""

growth=$((resident_after - resident_before))
echo "storm: $events events in $minutes minutes (seed $seed); resident memory ${resident_before} KiB" \
    "after warm-up, ${resident_after} KiB at the end (${growth} KiB); GL errors: $gl_errors;" \
    "screenshots differ in $differing pixels; answers keys; exit status $status"
echo "resident memory every 15 s, KiB: ${samples[*]}"
[ "$gl_errors" = 0 ] || fail "GL errors were raised: $gl_errors"
[ "$growth" -lt "$allowed_growth_kib" ] || fail "memory grew by $growth KiB"
[ "$status" = 0 ] || fail "exit status $status after ESC"
if grep -qE 'ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer' "$work/varo.log"; then
    fail "sanitizer report"
fi
