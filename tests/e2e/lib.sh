# Shared by the end-to-end tests: starts the real program on the current X display, drives it
# with real input events (xdotool) and measures what a person would see in screenshots of the
# root window (xwd, ImageMagick). Sourced by each test script, which runs on its own Xvfb
# display (tools/with-xvfb.sh).
#
# Environment, set by CTest (tests/e2e/CMakeLists.txt):
#   E2E_VARO  the program to run
#   E2E_DATA  the folder with its data files (its working directory)
#   E2E_OUT   a folder for the screenshots; a failed run leaves them there as PNG files
# shellcheck shell=bash disable=SC2119  # start_varo takes an optional folder, not the script's
set -euo pipefail

: "${E2E_VARO:?set E2E_VARO to the varo program}"
: "${E2E_DATA:?set E2E_DATA to the data folder}"
E2E_OUT=${E2E_OUT:-$(mktemp -d)}
mkdir -p "$E2E_OUT"
rm -f "$E2E_OUT"/*.png "$E2E_OUT"/*.xwd

readonly SCREEN_W=1024 SCREEN_H=768  # the virtual display (tools/with-xvfb.sh), pixels
readonly START_DEADLINE=15  # seconds for the window to appear and show a frame at full size
readonly EXPECT_DEADLINE=5  # seconds for the picture to show what input asked for
readonly SETTLE=0.4         # seconds for input to reach the program and show in a frame

# Regions are ImageMagick geometries WxH+X+Y, in pixels from the top-left corner.
readonly TEXT_CORNER=30   # rows at the top where the message line lives
readonly TEXT_COLUMN=500  # the help page's longest lines end at x = 495
# SCENE: where no text ever goes, right of the help page and the title, below the messages.
readonly SCENE="$((SCREEN_W - TEXT_COLUMN))x$((SCREEN_H - TEXT_CORNER))+$TEXT_COLUMN+$TEXT_CORNER"
# BELOW_TITLE: the full width below the title, where the board mostly is.
# shellcheck disable=SC2034  # used by the test scripts
readonly BELOW_TITLE="${SCREEN_W}x$((SCREEN_H - 230))+0+230"
readonly MESSAGE_LINE="400x24+6+3"  # messages are drawn at (10, 25), 20 pixels high
readonly STILL_PIXELS=200  # pixels that may change between two shots of a scene standing still

VARO_PID=""
VARO_START=""  # wall-clock seconds at which the program was started
VARO_WIN=""
SHOT=""        # the latest screenshot taken by expect_soon, await_still and the like

# --- Reporting ---------------------------------------------------------------------------

fail() {
    echo "FAIL: $*" >&2
    keep_screenshots
    echo "screenshots: $E2E_OUT" >&2
    exit 1
}

note() { echo "  $*"; }

# need COMMAND PACKAGE: stops with a clear message when a tool the test uses is missing.
need() { command -v "$1" >/dev/null || fail "$1 is missing (Debian package $2)"; }

# check DESCRIPTION VALUE OP LIMIT: passes when VALUE OP LIMIT holds (OP: < <= > >= ==).
# Inside expect_soon a failed check is only noted in CHECK_FAILED.
CHECK_QUIET=0
CHECK_FAILED=0
check() {
    local what=$1 value=$2 op=$3 limit=$4
    if awk -v v="$value" -v l="$limit" "BEGIN { exit !(v $op l) }"; then
        [ "$CHECK_QUIET" = 1 ] || note "ok   $what: $value $op $limit"
    elif [ "$CHECK_QUIET" = 1 ]; then
        CHECK_FAILED=1
    else
        fail "$what: $value $op $limit does not hold"
    fi
}

# expect_soon NAME FUNCTION ARGS...: takes screenshots (into $SHOT) until the checks that the
# function makes on $SHOT all pass, or the deadline passes; then makes them once more,
# reporting. Waiting for the picture rather than sleeping keeps the tests quick and sure under
# load.
expect_soon() {
    local name=$1 deadline=$((SECONDS + EXPECT_DEADLINE))
    shift
    CHECK_QUIET=1
    while :; do
        SHOT=$(shot "$name")
        CHECK_FAILED=0
        "$@"
        if [ "$CHECK_FAILED" = 0 ] || [ $SECONDS -ge $deadline ]; then
            break
        fi
        sleep 0.1
    done
    CHECK_QUIET=0
    "$@"
}

# Arithmetic for limits: times A B prints A x B; seconds_left T S prints T - S, or 0.
times() { awk -v a="$1" -v b="$2" 'BEGIN { print a * b }'; }
seconds_left() { awk -v t="$1" -v s="$2" 'BEGIN { d = t - s; printf "%.3f", (d > 0 ? d : 0) }'; }
seconds_since() { awk -v a="$EPOCHREALTIME" -v b="$1" 'BEGIN { printf "%.3f", a - b }'; }

# --- The program -------------------------------------------------------------------------

# Seconds since the program was started, with milliseconds.
since_start() { seconds_since "$VARO_START"; }

# Sleeps until the program has run for the given number of seconds.
sleep_until() { sleep "$(seconds_left "$1" "$(since_start)")"; }

window_size() { xdotool getwindowgeometry "$VARO_WIN" | awk '/Geometry/ { print $2 }'; }

# Waits until the window titled "Varo" has the given size (WxH), within a deadline.
wait_for_window_size() {
    local want=$1 deadline=$((SECONDS + START_DEADLINE))
    while [ $SECONDS -lt $deadline ]; do
        [ "$(window_size 2>/dev/null)" = "$want" ] && return 0
        kill -0 "$VARO_PID" 2>/dev/null || fail "the program ended while its window was awaited"
        sleep 0.05
    done
    fail "the window did not reach $want (it is $(window_size 2>/dev/null))"
}

# Waits until a frame has been drawn at full size: stars show outside the first, smaller window.
wait_for_full_frame() {
    local deadline=$((SECONDS + START_DEADLINE)) frame
    while [ $SECONDS -lt $deadline ]; do
        frame=$(shot first-frame)
        awk -v f="$(lit "$frame" "600x400+400+350")" 'BEGIN { exit !(f > 0.001) }' && return 0
        sleep 0.05
    done
    fail "no frame was drawn at full size"
}

# Starts the program from a folder (the data folder by default) and waits until its window
# fills the screen and shows a frame.
start_varo() {
    local dir=${1:-$E2E_DATA} deadline=$((SECONDS + START_DEADLINE))
    VARO_START=$EPOCHREALTIME
    (cd "$dir" && exec "$E2E_VARO") &
    VARO_PID=$!
    while :; do
        VARO_WIN=$(xdotool search --name '^Varo$' 2>/dev/null | head -n 1) || true
        [ -n "$VARO_WIN" ] && break
        [ $SECONDS -lt $deadline ] || fail "no window titled Varo appeared"
        kill -0 "$VARO_PID" 2>/dev/null || fail "the program ended before opening its window"
        sleep 0.05
    done
    wait_for_window_size "${SCREEN_W}x${SCREEN_H}"
    wait_for_full_frame
}

# Sends key strokes (xdotool key names) to the window under the pointer, which the program
# keeps over its window.
press() { xdotool key "$@"; }

# Gives input time to reach the program and show in a frame, where no picture can be awaited.
settle() { sleep "$SETTLE"; }

# Sends key strokes of which the last posts a message, and waits until the message line
# changes: by then every key has been handled and a frame drawn since.
command_keys() {
    local before changed deadline=$((SECONDS + EXPECT_DEADLINE))
    before=$(shot message-before)
    press "$@"
    while :; do
        changed=$(differing "$before" "$(shot message-after)" "$MESSAGE_LINE")
        [ "$changed" -gt 20 ] && return 0
        [ $SECONDS -lt $deadline ] || fail "no message answered the keys: $*"
        sleep 0.05
    done
}

# Sends ESC, which starts the quit fade, and notes when.
send_quit() {
    QUIT_SENT=$EPOCHREALTIME
    xdotool key Escape
}

since_quit() { seconds_since "$QUIT_SENT"; }
sleep_until_after_quit() { sleep "$(seconds_left "$1" "$(since_quit)")"; }

# Waits for the process to end; sets QUIT_SECONDS (since the last ESC) and QUIT_STATUS.
# shellcheck disable=SC2034  # read by the test scripts
wait_for_exit() {
    QUIT_STATUS=0
    wait "$VARO_PID" || QUIT_STATUS=$?
    QUIT_SECONDS=$(since_quit)
    VARO_PID=""
}

# ESC, then the end: the program must end cleanly.
quit_varo() {
    send_quit
    wait_for_exit
    check "exit status after ESC" "$QUIT_STATUS" '==' 0
}

# Ends the program if a failed check left it running.
stop_varo() {
    if [ -n "$VARO_PID" ] && kill "$VARO_PID" 2>/dev/null; then
        wait "$VARO_PID" 2>/dev/null || true
    fi
}
trap stop_varo EXIT

# --- Screenshots and measures ------------------------------------------------------------

# Takes a screenshot of the root window at once (xwd is quick; ImageMagick reads its files) and
# prints the file it was saved to.
shot() {
    local file="$E2E_OUT/$1.xwd"
    xwd -root -silent >"$file"
    echo "$file"
}

# Turns the screenshots into PNG files for a look after a failure.
keep_screenshots() {
    local file
    for file in "$E2E_OUT"/*.xwd; do
        [ -e "$file" ] && convert "$file" "${file%.xwd}.png" && rm -f "$file"
    done
    return 0
}

# Largest channel value 0..1 in a region.
peak() { convert "$1" -crop "$2" +repage -format '%[fx:maxima]' info:; }

# Fraction of a region's pixels that are not black (brighter than 4 %).
lit() {
    convert "$1" -crop "$2" +repage -colorspace gray -threshold 4% -format '%[fx:mean]' info:
}

# Colours of a region with their pixel counts, one "count red green blue" line per grey colour.
greys() {
    convert "$1" -crop "$2" +repage -format %c histogram:info:- |
        awk -F'[:(,)]' '$3 == $4 && $4 == $5 { print $1 + 0, $3 + 0 }'
}

# The grey level (0..255) of the pin board's back plate, the commonest dark grey of a region.
# The plate is drawn in exactly 0.1 x the board's brightness, so this gauges the fade (25 or 26
# at full brightness) whatever part of the board is in view; 0 when no plate shows.
plate_level() {
    greys "$1" "$2" |
        awk '$2 > 0 && $2 <= 40 && $1 > best { best = $1; level = $2 } END { print level + 0 }'
}

# Number of pixels of a region in the back plate's grey at full brightness (levels 20..30): all
# of the plate in view where it is filled, its outline in wire-frame mode, its corners in point
# mode.
plate_pixels() { greys "$1" "$2" | awk '$2 >= 20 && $2 <= 30 { n += $1 } END { print n + 0 }'; }

# Fraction of a region's pixels that look like text: neutral grey (the font is grey, the stars
# and the pictures are tinted) and brighter than 20 % (the back plate, 10 %, is not text).
texty() {
    convert "$1" -crop "$2" +repage \
        \( +clone -colorspace HSB -channel G -separate +channel -threshold 1% -negate \) \
        \( -clone 0 -colorspace gray -threshold 20% \) -delete 0 \
        -compose multiply -composite -format '%[fx:mean]' info:
}

# Fraction of a region's pixels in large, bright, nearly neutral shapes: big text such as the
# title, even half transparent over a dim board. The stars are too small (an opening with a
# 3 x 3 square removes them) and the pictures too colourful (saturation above 20 %).
big_text() {
    convert "$1" -crop "$2" +repage \
        \( +clone -colorspace HSB -channel G -separate +channel -threshold 15% -negate \) \
        \( -clone 0 -colorspace gray -threshold 50% \) -delete 0 \
        -compose multiply -composite -morphology Open Square:1 -format '%[fx:mean]' info:
}

# Number of pixels in a region whose brightness differs by more than 5 % between two shots.
differing() {
    convert "$1" "$2" -crop "$3" +repage -compose difference -composite -colorspace gray \
        -threshold 5% -format '%[fx:round(mean * w * h)]' info:
}

# --- A still scene -----------------------------------------------------------------------

# Takes screenshots until two in a row agree, within a deadline; leaves the last in $SHOT.
await_still() {
    local deadline=$((SECONDS + EXPECT_DEADLINE)) before changed
    before=$(shot "$1-before")
    while :; do
        settle
        SHOT=$(shot "$1")
        changed=$(differing "$before" "$SHOT" "$SCENE")
        [ "$changed" -lt $STILL_PIXELS ] && break
        [ $SECONDS -lt $deadline ] || fail "the picture did not settle ($changed pixels changed)"
        cp "$SHOT" "$before"
    done
    note "ok   $1: the picture stands still ($changed pixels changed)"
}

# 150 steps of Page Down slow the pin wave 0.9^150 (about seven million) times.
readonly WAVE_BRAKE_STEPS=150
# shellcheck disable=SC2046  # one key name per word
brake_wave() { xdotool key --delay 1 $(printf 'Next %.0s' $(seq $WAVE_BRAKE_STEPS)); }

# Stops everything that moves by itself, so that screenshots can be compared pixel by pixel:
# pause ('p': camera and stars) and the brake on the pin wave. Leaves the picture in $SHOT.
freeze_scene() {
    press p
    brake_wave
    await_still still
}

# Like freeze_scene, with the camera at rest in front of the board: 'r' puts it there, and 'p'
# in the same burst of events, before a frame can fly it away, holds it. The board then fills
# the middle of the screen with its back plate in full view.
readonly FACING_PLATE_PIXELS=50000
face_the_board() {
    local attempt
    for attempt in 1 2 3; do
        xdotool key --delay 0 r p
        brake_wave
        await_still facing
        [ "$(plate_pixels "$SHOT" "$SCENE")" -gt $FACING_PLATE_PIXELS ] && return 0
        note "the camera moved between 'r' and 'p' (attempt $attempt)"
    done
    fail "the camera did not come to rest in front of the board"
}

need xdotool xdotool
need xwd x11-apps
need convert imagemagick
