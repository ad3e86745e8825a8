# Shared by the end-to-end scripts: the real program on the X display, real input (xdotool), and
# what a person would see in screenshots (xwd, ImageMagick). Set by CTest: E2E_VARO the program,
# E2E_DATA the data folder, E2E_OUT a folder for screenshots (kept as PNG files after a failure).
set -euo pipefail
: "${E2E_VARO:?set E2E_VARO to the varo program}"
E2E_OUT=${E2E_OUT:-$(mktemp -d)}
mkdir -p "$E2E_OUT" && rm -f "$E2E_OUT"/*.png "$E2E_OUT"/*.xwd

readonly SCREEN_W=1024 SCREEN_H=768  # the virtual display (tools/with-xvfb.sh), pixels
readonly DEADLINE=20                 # seconds for the window, or the picture asked for, to show
readonly MESSAGE="262x24+6+3"        # the message line: text at (10, 25), glyphs 20 high
readonly BELOW_TITLE="${SCREEN_W}x$((SCREEN_H - 230))+0+230"  # where the board mostly is
VARO_PID="" VARO_WIN="" VARO_STARTED="" SHOT=""

fail() {
    echo "FAIL: $*" >&2
    for file in "$E2E_OUT"/*.xwd; do [ -e "$file" ] && convert "$file" "${file%.xwd}.png"; done
    echo "screenshots: $E2E_OUT" >&2
    exit 1
}
note() { echo "  $*"; }
need() { command -v "$1" >/dev/null || fail "$1 is missing (Debian package $2)"; }

# check DESCRIPTION VALUE OP LIMIT, OP one of < <= > >= ==. In expect_soon a failure is noted only.
CHECK_QUIET=0 CHECK_FAILED=0
check() {
    if awk -v v="$2" -v l="$4" "BEGIN { exit !(v $3 l) }"; then
        [ "$CHECK_QUIET" = 1 ] || note "ok   $1: $2 $3 $4"
    elif [ "$CHECK_QUIET" = 1 ]; then
        CHECK_FAILED=1
    else
        fail "$1: $2 $3 $4 does not hold"
    fi
}

# expect_soon NAME FUNCTION: screenshots into $SHOT until FUNCTION's checks pass or DEADLINE
# passes, then the checks once more, reported. Waiting for the picture keeps tests sure under load.
expect_soon() {
    local deadline=$((SECONDS + DEADLINE))
    CHECK_QUIET=1
    while SHOT=$(shot "$1") && CHECK_FAILED=0 && "$2" && [ "$CHECK_FAILED" = 1 ] &&
        [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    CHECK_QUIET=0
    "$2"
}

seconds_since() { awk -v a="$EPOCHREALTIME" -v b="$1" 'BEGIN { printf "%.3f", a - b }'; }

# await WHAT COMMAND...: while the program runs, until COMMAND succeeds or DEADLINE passes.
await() {
    local what=$1 deadline=$((SECONDS + DEADLINE))
    shift
    until "$@"; do
        kill -0 "$VARO_PID" 2>/dev/null || fail "the program ended while waiting for $what"
        [ $SECONDS -lt $deadline ] || fail "no $what"
        sleep 0.05
    done
}
found_window() { VARO_WIN=$(xdotool search --name '^Varo$' 2>/dev/null | head -n 1) && [ -n "$VARO_WIN" ]; }
has_size() { [ "$(xdotool getwindowgeometry "$VARO_WIN" 2>/dev/null | awk '/Geometry/ { print $2 }')" = "$1" ]; }
# The start message, shown for 3 s at the window's top, marks a frame drawn at the window's
# size: the first frame after the window grows to full screen can still be drawn at the old size.
drawn() { awk -v t="$(texty "$(shot first-frame)" "$MESSAGE")" 'BEGIN { exit !(t > 0.05) }'; }

# start_varo DIR [OPTION...]: starts the program in DIR and waits for its first frame at the
# full screen's size (512 x 512 with --window); its stderr goes to $E2E_OUT/stderr.txt and
# VARO_PRELOAD names a library to preload into it.
start_varo() {
    local dir=$1 size="${SCREEN_W}x${SCREEN_H}"
    shift
    [[ " $* " == *" --window "* ]] && size=512x512
    (cd "$dir" && LD_PRELOAD=${VARO_PRELOAD:-} exec "$E2E_VARO" "$@") 2>"$E2E_OUT/stderr.txt" &
    VARO_PID=$! VARO_STARTED=$EPOCHREALTIME
    await "window titled Varo" found_window
    await "window of $size" has_size "$size"
    await "a frame with the start message" drawn
}

# The picture brightens for the first 3 s: shots compared for stillness must come after that.
await_fade_in() {
    sleep "$(awk -v s="$(seconds_since "$VARO_STARTED")" 'BEGIN { print (s < 3.5 ? 3.5 - s : 0) }')"
}

press() { xdotool key --delay 20 "$@"; }

# ESC, then the end: sets QUIT_SECONDS (from ESC) and checks the exit status is 0.
quit_varo() {
    local sent=$EPOCHREALTIME status=0
    press Escape
    wait "$VARO_PID" || status=$?
    QUIT_SECONDS=$(seconds_since "$sent") VARO_PID=""
    check "exit status after ESC" "$status" == 0
}

# --- The program in a window another program made ------------------------------------------------
# open_window W H [--single]: a window made by $SAVER_WINDOW (saver_window), its id in $WIN.
open_window() {
    coproc WINDOW { exec "$SAVER_WINDOW" "$@"; }
    read -r WIN <&"${WINDOW[0]}" || fail "saver_window made no window"
}
run_varo() { LD_PRELOAD=${VARO_PRELOAD:-} "$E2E_VARO" "$@" & VARO_PID=$! VARO_STARTED=$EPOCHREALTIME; }
ends_after() {  # WHAT SECONDS COMMAND...: COMMAND, then the program's end with status 0 that soon
    local what=$1 limit=$2 sent=$EPOCHREALTIME status=0
    shift 2 && "$@" && { wait "$VARO_PID" || status=$?; } && VARO_PID=""
    check "exit status after $what" "$status" == 0
    check "seconds from $what to the end" "$(seconds_since "$sent")" '<=' "$limit"
}

stop_varo() { [ -z "$VARO_PID" ] || { kill "$VARO_PID" 2>/dev/null; wait "$VARO_PID" 2>/dev/null; } || true; }
trap stop_varo EXIT

# --- Screenshots and measures (regions are ImageMagick geometries WxH+X+Y) -------------------
shot() { xwd -root -silent >"$E2E_OUT/$1.xwd" && echo "$E2E_OUT/$1.xwd"; }

# Fraction of a region's pixels brighter than 4 %.
lit() { convert "$1" -crop "$2" +repage -colorspace gray -threshold 4% -format '%[fx:mean]' info:; }

# Fraction of a region's pixels that look like text: neutral grey (the font is grey, the stars
# and pictures are tinted) and brighter than 20 % (the back plate, 10 %, is not text).
texty() {
    convert "$1" -crop "$2" +repage \
        \( +clone -colorspace HSB -channel G -separate +channel -threshold 1% -negate \) \
        \( -clone 0 -colorspace gray -threshold 20% \) -delete 0 \
        -compose multiply -composite -format '%[fx:mean]' info:
}

# The board's back plate is drawn in 0.1 x the brightness, 25 at full: its grey level, the
# commonest dark grey of a region, gauges the fades (0 when no plate shows).
plate_level() {
    convert "$1" -crop "$2" +repage -format %c histogram:info:- |
        awk -F'[:(,)]' '$3 == $4 && $4 == $5 && $3 > 0 && $3 <= 40 && $1 > best { best = $1; level = $3 }
                        END { print level + 0 }'
}

# Pixels of a region whose brightness differs by more than 5 % between two shots.
differing() {
    convert "$1" "$2" -crop "$3" +repage -compose difference -composite -colorspace gray \
        -threshold 5% -format '%[fx:round(mean * w * h)]' info:
}

need xdotool xdotool && need xwd x11-apps && need convert imagemagick
