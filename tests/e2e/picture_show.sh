#!/usr/bin/env bash
# The picture show: 5,000 photos start with the first one, a removed one gets its line; --duration
# and --fade bring coloured pictures in turn and round, in both windows.   ARGS: SAVER_WINDOW
source "$(dirname "$0")/lib.sh"
readonly SAVER_WINDOW=$1

# The pins' colour in a screenshot: red, green or blue where that colour covers some of the
# board, dark where none does, mixed where two do.
pins() {
    convert "$SHOT" -crop "$1" +repage -scale 25% \( -clone 0 -fx 'r > 0.3 && g < 0.2 && b < 0.2' \) \
        \( -clone 0 -fx 'g > 0.3 && r < 0.2 && b < 0.2' \) \( -clone 0 -fx 'b > 0.3 && r < 0.2 && g < 0.2' \) \
        -delete 0 -format '%[fx:mean] ' info: |
        awk '{ n = split("red green blue", name); c = "dark"
               for (k = 1; k <= n; ++k) if ($k > 0.05) c = c == "dark" ? name[k] : "mixed"
               print c }'
}

# Screenshots until the pins have worn the colours given, in this order (dark frames between
# them aside); fails on a frame with two pictures at once, or after DEADLINE.
expect_colours() {  # REGION COLOUR...
    local region=$1 seen="" last="" colour deadline=$((SECONDS + DEADLINE))
    shift
    while [ "$seen" != "$*" ]; do
        [ $SECONDS -lt $deadline ] || fail "pins wore '$seen', not '$*'"
        SHOT=$(shot show) && colour=$(pins "$region")
        [ "$colour" != mixed ] || fail "two pictures on the pins at once"
        if [ "$colour" != dark ] && [ "$colour" != "$last" ]; then
            seen="${seen:+$seen }$colour" last=$colour
            [[ "$*" == "$seen"* ]] || seen=$colour  # an earlier colour: start the sequence again
        fi
    done
    note "ok   pins wore: $*"
}

mkdir "$SCRATCH/photos" "$SCRATCH/colours"
convert -size 600x600 xc:red "$SCRATCH/photos/0000-first.png"
convert -size 4000x3000 xc:'#00c000' -quality 90 "$SCRATCH/big.jpg"
perl -e 'link $ARGV[0], sprintf("%s/p%04d.jpg", $ARGV[1], $_) or die $! for 1 .. 5000' \
    "$SCRATCH/big.jpg" "$SCRATCH/photos"
start_varo "$SCRATCH" --window --picture "$SCRATCH/photos" --duration 4 --fade 0.5
expect_colours 512x400+0+100 red  # the first picture, with no other before it
rm "$SCRATCH/photos/p0003.jpg"  # the next one is decoded already; this one comes after it
expect_colours 512x400+0+100 green
said() { grep -qxF "varo: $SCRATCH/photos/p0003.jpg: no such file" "$E2E_OUT/stderr.txt"; }
await "the removed picture's line" said
expect_colours 512x400+0+100 green
quit_varo

for colour in red lime blue; do convert -size 64x64 xc:$colour "$SCRATCH/colours/$colour.png"; done
start_varo "$SCRATCH" --window --picture "$SCRATCH/colours/red.png" --picture \
    "$SCRATCH/colours/lime.png" --picture "$SCRATCH/colours/blue.png" --duration 3 --fade 0.4
expect_colours 512x400+0+100 red green blue red
quit_varo

open_window 700 600
run_varo --window-id "$WIN" --picture "$SCRATCH/colours" --duration 3 --fade 0.4 --titles \
    2>"$E2E_OUT/stderr.txt" && first_frame
expect_colours 700x450+0+150 blue green red blue  # in name order: blue, lime, red
ends_after SIGTERM 5 kill -TERM "$VARO_PID"
