#!/usr/bin/env bash
# varo-capture: writes PNG pictures of the scene at the size, time and seed asked for, the same
# pictures for the same options; a strip as numbered files; keys given at start-up; a clear
# message and a non-zero status for a bad option or a path it cannot write.
#   capture.sh VARO_CAPTURE
source "$(dirname "$0")/lib.sh"

readonly TOOL=$1
readonly HELP_LINES="440x300+30+40"  # most of the help page's lines at 512 x 384

need identify imagemagick

out=$E2E_OUT
capture() { "$TOOL" --data "$E2E_DATA" --size 256x192 "$@" >/dev/null; }  # a later --size wins
size_of() { identify -format '%wx%h' "$1"; }

"$TOOL" --help | grep -q -- '--frames' || fail "--help does not list the options"
status=0
"$TOOL" --fps 0 2>"$out/error.txt" || status=$?
check "status for a bad option value" "$status" '==' 2
grep -q -- '--fps' "$out/error.txt" || fail "the message does not name the bad option"
status=0
"$TOOL" --out /proc/no-such-folder/x.png 2>"$out/error.txt" || status=$?
check "status for a path it cannot write" "$status" '==' 1
grep -q 'cannot write' "$out/error.txt" || fail "no message for the path it cannot write"

capture --seed 7 --time 3.5 --out "$out/a.png"
capture --seed 7 --time 3.5 --out "$out/b.png"
size=$(size_of "$out/a.png")
[ "$size" = 256x192 ] || fail "the picture is $size, not 256x192"
note "ok   picture size $size"
cmp -s "$out/a.png" "$out/b.png" || fail "the same options gave different pictures"
note "ok   the same options give the same picture"
check "board drawn: back plate at full brightness" "$(plate_level "$out/a.png" 256x192+0+0)" '>=' 24
capture --seed 8 --time 3.5 --out "$out/c.png"
cmp -s "$out/a.png" "$out/c.png" && fail "another seed gave the same picture"
note "ok   another seed gives another picture"

capture --seed 7 --from 1 --to 2 --frames 3 --out "$out/strip.png"
for k in 001 002 003; do [ -s "$out/strip-$k.png" ] || fail "no strip-$k.png"; done
cmp -s "$out/strip-001.png" "$out/strip-003.png" && fail "the strip's frames are all alike"
check "back plate fading in over the strip" "$(plate_level "$out/strip-001.png" 256x192+0+0)" '<' \
    "$(plate_level "$out/strip-003.png" 256x192+0+0)"

capture --size 512x384 --seed 7 --time 3.5 --out "$out/plain.png"
capture --size 512x384 --seed 7 --time 3.5 --key '?' --out "$out/help.png"
check "text where the help page goes, with --key '?'" "$(texty "$out/help.png" "$HELP_LINES")" '>' \
    "$(awk -v t="$(texty "$out/plain.png" "$HELP_LINES")" 'BEGIN { print t + 0.05 }')"
