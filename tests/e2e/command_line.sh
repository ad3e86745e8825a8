#!/usr/bin/env bash
# Varo's and the capture tool's command lines: ranges, seeds, --delay, pictures. ARGS: VARO_CAPTURE
source "$(dirname "$0")/lib.sh"
readonly CAPTURE=$1 MANUALS=$(dirname "$0")/../../packaging
out=$E2E_OUT

DISPLAY= "$E2E_VARO" --help | grep -q -- '--seed N' || fail "--help does not list --seed"
[ "$(DISPLAY= "$E2E_VARO" --version)" = "varo $E2E_VERSION" ] || fail "--version is not $E2E_VERSION"
status=0
DISPLAY= "$E2E_VARO" --pins 99 2>"$out/bad.txt" || status=$?
check "status for a bad option value" "$status" == 2
check "lines of complaint" "$(wc -l <"$out/bad.txt")" == 1
grep -q -- "--pins.*--help" "$out/bad.txt" || fail "the complaint names neither --pins nor --help"

# Each --help range "(LOW to HIGH; default D)" is in a manual; both ends taken, a step past refused
# (1, or 0.0001 if LOW + 0.5 is taken); a value precedes --help, which ends it; --help wraps at 79.
takes() { DISPLAY= "$1" "--$2=$3${4:+x$3}" --help >/dev/null 2>&1; }  # PROGRAM NAME VALUE [BOTH]
edges() {  # PROGRAM MANUAL...
    local name low high text both real under over count=0 manuals
    manuals=$(sed 's/\\-/-/g' "${@:2}")
    while read -r name low high text; do
        [[ $manuals == *"$text"* ]] || fail "no manual gives --$name $text"
        both="" real=0 && [[ $text =~ default\ [0-9]+x ]] && both=x  # WxH: both sides
        takes "$1" "$name" "$(awk -v l="$low" 'BEGIN { print l + 0.5 }')" "$both" && real=1
        read -r under over < <(awk -v l="$low" -v h="$high" -v r="$real" 'function step(x) {
            return r ? (x < -1 ? -x : x > 1 ? x : 1) / 10000 : 1 } BEGIN { print l - step(l), h + step(h) }')
        takes "$1" "$name" "$low" "$both" && takes "$1" "$name" "$high" "$both" || fail "--$name refuses an end of $text"
        ! takes "$1" "$name" "$under" "$both" && ! takes "$1" "$name" "$over" "$both" || fail "--$name takes $under or $over"
        count=$((count + 1))
    done < <(DISPLAY= "$1" --help | awk '/^  --/ { print "" } { printf "%s ", $0 }' | tr -s ' ' |
        sed -n 's/^ --\([a-z-]*\) .*\((\(-\{0,1\}[0-9.]*\) to \([0-9.]*\); default [^)]*)\).*/\1 \3 \4 \2/p')
    check "ranges of $(basename "$1") checked at their ends" "$count" '>=' 8
    check "lines of $(basename "$1") --help over 79 columns" "$(DISPLAY= "$1" --help | awk 'length > 79' | wc -l)" == 0
}
edges "$E2E_VARO" "$MANUALS/varo.6.in"
edges "$CAPTURE" "$MANUALS/varo-capture.1" "$MANUALS/varo.6.in"

# The first frame of `varo --window --seed SEED` (no SEED: the clock's), at the clock's zero.
seeded() { start_varo "$SCRATCH" --window ${2:+--seed "$2"} && mv "$SHOT" "$out/$1.xwd" && stop_varo; }
seeded seven-a 7 && seeded seven-b 7 && seeded eight 8 && seeded clock-a && seeded clock-b
frames() { differing "$out/$1.xwd" "$out/$2.xwd" 512x512+0+0; }
check "pixels apart in two first frames with seed 7" "$(frames seven-a seven-b)" == 0
check "pixels apart in first frames with seeds 7 and 8" "$(frames seven-a eight)" '>' 1000
check "pixels apart in two first frames with the clock's seed" "$(frames clock-a clock-b)" '>' 1000

# With a frame every ten seconds 'f' is taken at once: full screen, drawn well before the next turn.
start_varo "$SCRATCH" --window --delay 10000000
sent=$EPOCHREALTIME && press f
await "the full screen" has_size "${SCREEN_W}x${SCREEN_H}"
check "seconds from 'f' to the full screen" "$(seconds_since "$sent")" '<' 5
full() { check "lit beyond the 512 x 512 window" "$(lit "$SHOT" 480x200+540+560)" '>' 0.0005; }
expect_soon long-delay full
stop_varo

mkdir "$SCRATCH/bin" && cp "$E2E_VARO" "$SCRATCH/bin/varo"
E2E_VARO=$SCRATCH/bin/varo start_varo "$SCRATCH" --window --data "$SCRATCH/none"
check "text drawn as solid blocks without the font" "$(texty "$SHOT" "$MESSAGE")" '>' 0.4
for picture in font.bmp fisheye.bmp monacolor128.bmp; do
    grep -qxF "varo: $picture not found in: $SCRATCH/none, ., $SCRATCH/share/varo" "$out/stderr.txt" ||
        fail "no line names the missing $picture and the folders tried"
done
stop_varo

# Red PNG, blue JPEG, cut file, bomb header, note named .png; pipe and folder skipped; empty folder,
# missing file, lone pipe: each bad one's line shows once, as the image key reaches it (a note: first).
pictures=$SCRATCH/pictures && mkdir -p "$pictures/sub.png" "$SCRATCH/none" "$SCRATCH/more"
convert -size 64x64 xc:red "$pictures/a-red.png" && convert -size 64x64 xc:blue "$pictures/b-blue.jpg"
head -c 60 "$pictures/a-red.png" >"$pictures/c-cut.png" && echo hi >"$pictures/e-notes.png"
cp "$(dirname "$0")/../fuzz/corpus/picture_file/bomb-header.png" "$pictures/d-bomb.png"
mkfifo "$pictures/f-pipe" && cp "$pictures/a-red.png" "$SCRATCH/more/g-red.png"
start_varo "$SCRATCH" --window --picture "$pictures" --picture "$SCRATCH/none" --picture \
    "$SCRATCH/absent.png" --picture "$pictures/f-pipe" --picture "$SCRATCH/more"
printf 'varo: %s\n' "$SCRATCH/none: no PNG or JPEG pictures in this folder" \
    "$pictures/e-notes.png: not a PNG or JPEG picture" "$pictures/c-cut.png: truncated" \
    "$pictures/d-bomb.png: 100000 x 100000 is too large (at most 64 megapixels, 32768 per side)" \
    "$SCRATCH/absent.png: no such file" "$pictures/f-pipe: not a regular file" | sort >"$out/lines.txt"
tinted() { convert "$SHOT" -crop 512x512+0+0 +repage -fx "$1" -format '%[fx:mean]' info:; }
red() { check "red pins at start" "$(tinted 'r > 0.4 && g < 0.1 && b < 0.1')" '>' 0.05; }
blue() { check "blue pins${1:- after i}" "$(tinted 'b > 0.4 && r < 0.1 && g < 0.1')" '>' 0.05; }
expect_soon red red && press i && expect_soon blue blue
all_said() { [ "$(wc -l <"$out/stderr.txt")" -ge 6 ]; }
await "a line for each bad picture" all_said
sort "$out/stderr.txt" | diff "$out/lines.txt" - || fail "other lines on stderr than the six expected"
quit_varo

capture() { "$CAPTURE" --data "$E2E_DATA" --size 256x192 --time 3.5 "$@" >/dev/null; }
capture --seed 7 --out "$out/a.png" && capture --seed 7 --out "$out/b.png"
cmp -s "$out/a.png" "$out/b.png" || fail "the capture tool gave two pictures for the same options"
capture --seed 8 --out "$out/c.png"
cmp -s "$out/a.png" "$out/c.png" && fail "the capture tool gave the same picture for another seed"
capture --seed 7 --picture "$pictures/b-blue.jpg" --out "$out/blue.png" && SHOT=$out/blue.png && blue " in a capture"
status=0
"$CAPTURE" --fps 0 2>/dev/null || status=$?
check "capture status for a bad option value" "$status" == 2
