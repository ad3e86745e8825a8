#!/usr/bin/env bash
# The command lines of the real program and of the capture tool: --help, --version and a bad
# option answer without a display or a window; --window --seed shows a 512 x 512 window and
# the same first frame twice, another seed another; a program copied away from every picture
# names each missing one and the folders it tried; the person's pictures show on the pins in
# name order, and each bad path or file has its line; the capture tool repeats its pictures.
#   command_line.sh VARO_CAPTURE STOP_AFTER_FIRST_FRAME_LIBRARY
source "$(dirname "$0")/lib.sh"
readonly CAPTURE=$1 STOP=$2

out=$E2E_OUT
scratch=$(mktemp -d)
trap 'stop_varo; rm -rf "$scratch"' EXIT

DISPLAY= "$E2E_VARO" --help | grep -q -- '--seed N' || fail "--help does not list --seed"
[ "$(DISPLAY= "$E2E_VARO" --version)" = "varo 1.0.0" ] || fail "--version is wrong"
status=0
DISPLAY= "$E2E_VARO" --pins 99 2>"$out/bad.txt" || status=$?
check "status for a bad option value" "$status" == 2
check "lines of complaint" "$(wc -l <"$out/bad.txt")" == 1
grep -q -- "--pins.*--help" "$out/bad.txt" || fail "the complaint names neither --pins nor --help"

# Each range the manuals give as "(LOW to HIGH; default D)" (the first that has the option)
# --help gives word for word, and each range --help gives, a manual too; the program takes both
# ends and refuses one step beyond either: 1 for a whole number, a ten-thousandth for a real one
# (one that takes LOW + 0.5). A value comes before --help, which then ends the program; --help
# wraps at 79 columns.
takes() { DISPLAY= "$1" "--$2=$3${4:+x$3}" --help >/dev/null 2>&1; }  # PROGRAM NAME VALUE [BOTH]
help_of() { DISPLAY= "$1" --help | awk -v n="--$2" '/^  --/ { on = $1 == n } on' | tr -s ' \n' ' '; }
documented() {  # MANUAL...: "NAME|LOW|HIGH|(LOW to HIGH; default D)" a line
    sed 's/\\-/-/g' "$@" | awk 'tagged && /^\.BI? --/ { name = substr($2, 3) } { tagged = /^\.TP/ }
        match($0, /\(-?[0-9.]+ to -?[0-9.]+; default [^)]*\)/) {
            text = substr($0, RSTART, RLENGTH); split(text, w, /[(; ]+/); print name "|" w[2] "|" w[4] "|" text }' | awk -F'|' '!seen[$1]++'
}
edges() {  # PROGRAM MANUAL...
    local name low high text both real under over count=0 help
    while IFS='|' read -r name low high text; do
        help=$(help_of "$1" "$name") && [ -n "$help" ] || continue  # not an option of this one
        [[ "$help" == *"$text"* ]] || fail "$1 --help does not give --$name $text"
        both="" real=0 && [[ $text =~ default\ [0-9]+x ]] && both=x  # WxH: both sides
        takes "$1" "$name" "$(awk -v l="$low" 'BEGIN { print l + 0.5 }')" "$both" && real=1
        read -r under over < <(awk -v l="$low" -v h="$high" -v r="$real" 'function step(x) {
            return r ? (x < -1 ? -x : x > 1 ? x : 1) / 10000 : 1 } BEGIN { print l - step(l), h + step(h) }')
        takes "$1" "$name" "$low" "$both" && takes "$1" "$name" "$high" "$both" || fail "--$name refuses an end of $text"
        ! takes "$1" "$name" "$under" "$both" && ! takes "$1" "$name" "$over" "$both" || fail "--$name takes $under or $over"
        count=$((count + 1))
    done < <(documented "${@:2}")
    check "ranges of $(basename "$1") in its manual, checked at their ends" "$count" == \
        "$(DISPLAY= "$1" --help | tr -s ' \n' ' ' | grep -o '([-0-9.]* to [-0-9.]*; default' | wc -l)"
    check "lines of $(basename "$1") --help over 79 columns" "$(DISPLAY= "$1" --help | awk 'length > 79' | wc -l)" == 0
}
edges "$E2E_VARO" "$(dirname "$0")/../../packaging/varo.6.in"
edges "$CAPTURE" "$(dirname "$0")/../../packaging/"{varo-capture.1,varo.6.in}

# The first frame of `varo --window --seed SEED` (no SEED: the clock's), stopped right after it
# is shown, blurred a little: a first frame comes a few hundredths of a second sooner or later.
first_frame() {
    VARO_PRELOAD=$STOP start_varo "$scratch" --window ${2:+--seed "$2"}
    await "a stop after the first frame" grep -q '^State:.T' "/proc/$VARO_PID/status"
    convert "$(shot "$1")" -crop 512x512+0+0 +repage -blur 0x4 "$out/$1.png"
    kill -CONT "$VARO_PID"
    stop_varo
}
distance() { compare -metric RMSE "$out/$1.png" "$out/$2.png" null: 2>&1 | tr -d '()' | awk '{ print $2 }'; }
first_frame seven-a 7
first_frame seven-b 7
first_frame eight 8
first_frame clock-a
first_frame clock-b
for other in "seven-a eight" "clock-a clock-b"; do  # another seed; the clock's, from run to run
    check "difference of two first frames with seed 7, x 3, against $other" \
        "$(distance seven-a seven-b)" '<' "$(awk -v d="$(distance $other)" 'BEGIN { print d / 3 }')"
done

# With a frame every ten seconds, a key is taken at once: 'f' brings the full screen within a
# second, and a frame drawn there.
start_varo "$scratch" --window --delay 10000000
sent=$EPOCHREALTIME && press f
await "the full screen" has_size "${SCREEN_W}x${SCREEN_H}"
check "seconds from 'f' to the full screen" "$(seconds_since "$sent")" '<' 1
full() { check "lit beyond the 512 x 512 window" "$(lit "$SHOT" 480x200+540+560)" '>' 0.0005; }
expect_soon long-delay full
stop_varo

mkdir "$scratch/bin" && cp "$E2E_VARO" "$scratch/bin/varo"
E2E_VARO=$scratch/bin/varo start_varo "$scratch" --window --data "$scratch/none"
for picture in font.bmp fisheye.bmp monacolor128.bmp; do
    grep -qxF "varo: $picture not found in: $scratch/none, ., $scratch/share/varo" "$out/stderr.txt" ||
        fail "no line names the missing $picture and the folders tried"
done
blocks() { check "text drawn as solid blocks without the font" "$(texty "$SHOT" "$MESSAGE")" '>' 0.4; }
expect_soon blocks blocks
stop_varo

# A red PNG, a blue JPEG, a cut file, a bomb header, a note named .png; a pipe and a folder
# passed over. An empty folder, a missing file, the pipe alone. Each bad one has its line, once,
# by the time the show has passed it: the note's as soon as it is judged, the others' at their
# turn, which the image key brings on (red first, then blue, then the rest go by to the next).
pictures=$scratch/pictures && mkdir -p "$pictures/sub.png" "$scratch/none" "$scratch/more"
convert -size 64x64 xc:red "$pictures/a-red.png" && convert -size 64x64 xc:blue "$pictures/b-blue.jpg"
head -c 60 "$pictures/a-red.png" >"$pictures/c-cut.png" && echo hi >"$pictures/e-notes.png"
cp "$(dirname "$0")/../fuzz/corpus/picture_file/bomb-header.png" "$pictures/d-bomb.png"
mkfifo "$pictures/f-pipe" && cp "$pictures/a-red.png" "$scratch/more/g-red.png"
start_varo "$scratch" --window --picture "$pictures" --picture "$scratch/none" --picture \
    "$scratch/absent.png" --picture "$pictures/f-pipe" --picture "$scratch/more"
printf 'varo: %s\n' "$scratch/none: no PNG or JPEG pictures in this folder" \
    "$pictures/e-notes.png: not a PNG or JPEG picture" "$pictures/c-cut.png: truncated" \
    "$pictures/d-bomb.png: 100000 x 100000 is too large (at most 64 megapixels, 32768 per side)" \
    "$scratch/absent.png: no such file" "$pictures/f-pipe: not a regular file" | sort >"$out/lines.txt"
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
