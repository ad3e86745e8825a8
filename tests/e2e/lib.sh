# E2E helpers (xdotool, xwd, ImageMagick). CTest sets E2E_VARO, E2E_STOP, E2E_DATA, E2E_OUT (shots).
set -euo pipefail
: "${E2E_VARO:?set E2E_VARO to the varo program}"
E2E_OUT=${E2E_OUT:-$(mktemp -d)}
mkdir -p "$E2E_OUT" && rm -f "$E2E_OUT"/*.png "$E2E_OUT"/*.xwd

readonly SCREEN_W=1024 SCREEN_H=768  # the virtual display (tools/with-xvfb.sh), pixels
readonly DEADLINE=60  # seconds for what a test waits on: ample on a loaded machine, spent on failure
readonly MESSAGE="262x24+6+3"        # the message line: text at (10, 25), glyphs 20 high
readonly BELOW_TITLE="${SCREEN_W}x$((SCREEN_H - 230))+0+230"  # where the board mostly is
VARO_PID="" VARO_WIN="" SHOT=""
SCRATCH=$(mktemp -d) && chmod 755 "$SCRATCH"

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

# expect_soon NAME FUNCTION: shots into $SHOT till FUNCTION's checks pass or DEADLINE; reported.
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

# run_varo [OPTION...]: with E2E_STOP its clock stands at 0 to its first full-size frame, where it
# stops; first_frame shoots it into $SHOT and resumes: the same frame however loaded the machine.
run_varo() { LD_PRELOAD=$E2E_STOP "$E2E_VARO" "$@" & VARO_PID=$!; }
stopped() { grep -q '^State:.T' "/proc/$VARO_PID/status"; }
first_frame() { await "a stop at the first frame" stopped && SHOT=$(shot first-frame) && kill -CONT "$VARO_PID"; }

# start_varo DIR [OPTION...]: run from DIR to its first frame (512 x 512 with --window); stderr.txt.
start_varo() {
    local size="${SCREEN_W}x${SCREEN_H}"
    [[ " $* " == *" --window "* ]] && size=512x512
    pushd "$1" >/dev/null && shift && run_varo "$@" 2>"$E2E_OUT/stderr.txt" && popd >/dev/null
    first_frame
    await "window titled Varo" found_window
    await "window of $size" has_size "$size"
}
# The start message in the font's glyphs (solid blocks without the font), in the first frame.
in_glyphs() {
    check "start message legible" "$(texty "$SHOT" "$MESSAGE")" '>' 0.05
    check "start message in glyphs, not blocks" "$(texty "$SHOT" "$MESSAGE")" '<' 0.4
}

press() { xdotool key --delay 20 "$@"; }

# ends_within WHAT SECONDS: the program ends (or waits to be reaped) that soon after WHAT.
ends_within() {
    local end=$((SECONDS + $2))
    while grep -qs $'^State:\t[^Z]' "/proc/$VARO_PID/status"; do
        [ $SECONDS -lt $end ] || fail "the program still runs $2 s after $1"
        sleep 0.05
    done
}
# ends_after WHAT SECONDS COMMAND...: COMMAND, then Varo exits 0 that soon; ENDED: seconds taken.
ends_after() {
    local what=$1 limit=$2 sent=$EPOCHREALTIME status=0
    shift 2 && "$@" && ends_within "$what" "$limit"
    wait "$VARO_PID" || status=$?
    ENDED=$(seconds_since "$sent") VARO_PID=""
    check "exit status after $what" "$status" == 0
}
# ESC: the end after the quit fade, not at once.
quit_varo() { ends_after ESC 10 press Escape && check "seconds from ESC to the end" "$ENDED" '>=' 2.5; }

# open_window W H [--single]: a window made by $SAVER_WINDOW (saver_window), its id in $WIN.
open_window() {
    coproc WINDOW { exec "$SAVER_WINDOW" "$@"; }
    read -r WIN <&"${WINDOW[0]}" || fail "saver_window made no window"
}
end_window() { kill "$WINDOW_PID" && wait "$WINDOW_PID" || true; }

stop_varo() { [ -z "$VARO_PID" ] || { kill -CONT "$VARO_PID" && kill "$VARO_PID" && wait "$VARO_PID"; } 2>/dev/null || true; }
cleanup() { stop_varo; { [ -z "${WINDOW_PID:-}" ] || kill "$WINDOW_PID"; } 2>/dev/null || true; rm -rf "$SCRATCH"; }
trap cleanup EXIT

# --- Screenshots and measures (regions are ImageMagick geometries WxH+X+Y) -------------------
shot() { xwd -root -silent >"$E2E_OUT/$1.xwd" && echo "$E2E_OUT/$1.xwd"; }

# Fraction of a region's pixels brighter than 4 %.
lit() { convert "$1" -crop "$2" +repage -colorspace gray -threshold 4% -format '%[fx:mean]' info:; }

# Fraction of a region like text: neutral grey (stars, pictures are tinted), over 20% (plate: 10%).
texty() {
    convert "$1" -crop "$2" +repage \
        \( +clone -colorspace HSB -channel G -separate +channel -threshold 1% -negate \) \
        \( -clone 0 -colorspace gray -threshold 20% \) -delete 0 \
        -compose multiply -composite -format '%[fx:mean]' info:
}

# The back plate is 0.1 x brightness (25 at full): a region's commonest dark grey gauges fades (0: none).
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
