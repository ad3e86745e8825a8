#!/usr/bin/env bash
# --screensaver-images through the real xscreensaver-getimage: its picture and name shown; without the
# helper one line and the built-in picture; a stuck helper ended with Varo.   ARGS: SAVER_WINDOW
source "$(dirname "$0")/lib.sh"
readonly SAVER_WINDOW=$1 HELPER_FOLDER=/usr/libexec/xscreensaver
PATH=$PATH:$HELPER_FOLDER need xscreensaver-getimage xscreensaver
need unshare util-linux && need xprop x11-utils
readonly WIDE=700 HIGH=750 BOARD="700x500+0+250"
readonly NAME=a-picture-of-one-clear-colour  # a title this long reaches past x = 200
readonly TITLE_END="100x24+200+3"

settings() {  # HOME FOLDER: a home whose XScreenSaver settings take pictures from FOLDER only
    mkdir -p "$1" "$2"
    printf '%s\n' "grabDesktopImages: False" "grabVideoFrames: False" \
        "chooseRandomImages: True" "imageDirectory: $2" >"$1/.xscreensaver"
}
settings "$SCRATCH/home" "$SCRATCH/pictures"
convert -size 800x600 xc:magenta "$SCRATCH/pictures/$NAME.jpg"  # the file helper skips < 500 x 500
settings "$SCRATCH/stuck-home" "$SCRATCH/stuck"
mkfifo "$SCRATCH/stuck/stuck.jpg"

# Fractions of the board's pixels in $SHOT (one in 16 of them): of the picture's hue, magenta,
# at any brightness, and brighter than 20 %.
magenta() {
    convert "$SHOT" -crop "$BOARD" +repage -sample 25% -fx 'r > 2 * g + 0.1 && b > 2 * g + 0.1' \
        -format '%[fx:mean]' info:
}
bright() {
    convert "$SHOT" -crop "$BOARD" +repage -colorspace gray -threshold 20% -format '%[fx:mean]' info:
}
start_in_window() {  # HOME: the program in a new window, with HOME's settings
    open_window "$WIDE" "$HIGH"
    HOME=$1 run_varo --window-id "$WIN" --screensaver-images --duration 1 --fade 0 --titles \
        2>"$E2E_OUT/stderr.txt" && first_frame
}

start_in_window "$SCRATCH/home"
pictured() {
    check "board in the picture's colour" "$(magenta)" '>' 0.05
    check "title reaching past x = 200" "$(texty "$SHOT" "$TITLE_END")" '>' 0.02
}
expect_soon pictured pictured
named_window() { xprop -id "$WIN" _SCREENSAVER_IMAGE_FILENAME | grep -q "$NAME"; }
await "the picture's name on the window given" named_window  # between the helper's runs
ends_after SIGTERM 5 kill -TERM "$VARO_PID"
[ ! -s "$E2E_OUT/stderr.txt" ] || fail "stderr: $(<"$E2E_OUT/stderr.txt")"
end_window

# The helper's folder hidden under an empty one, in a mount namespace of the program's own.
cat >"$SCRATCH/without-helper" <<SCRIPT
#!/bin/sh
exec unshare --map-root-user --mount sh -c 'mount -t tmpfs none $HELPER_FOLDER &&
    PATH=/usr/bin:/bin LD_PRELOAD=$E2E_STOP exec "\$0" "\$@"' "$E2E_VARO" "\$@"
SCRIPT
chmod +x "$SCRATCH/without-helper"
E2E_VARO=$SCRATCH/without-helper start_in_window "$SCRATCH/home"
built_in() {
    check "board in a bright picture" "$(bright)" '>' 0.05
    check "board not in the helper's colour" "$(magenta)" '<' 0.005
}
expect_soon built-in built_in
check "lines on stderr" "$(wc -l <"$E2E_OUT/stderr.txt")" == 1
grep -q "xscreensaver-getimage" "$E2E_OUT/stderr.txt" || fail "stderr: $(<"$E2E_OUT/stderr.txt")"
ends_after SIGTERM 5 kill -TERM "$VARO_PID"
end_window

start_in_window "$SCRATCH/stuck-home"
helper_runs() { HELPER=$(pgrep -P "$VARO_PID") && [ -n "$HELPER" ]; }
await "the helper" helper_runs
stars() { check "stars drawn" "$(lit "$SHOT" "$BOARD")" '>' 0.001; }
expect_soon first-frame stars
ends_after "SIGTERM while the helper runs" 5 kill -TERM "$VARO_PID"
group_gone() { ! pgrep -g "$HELPER" >/dev/null; }  # killed; its last ones reaped by init
VARO_PID=$$ await "the end of the helper's whole group" group_gone
