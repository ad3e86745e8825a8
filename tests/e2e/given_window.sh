#!/usr/bin/env bash
# The program in a window another program made, as XScreenSaver runs it: drawn with the title
# but without the start message, following its size; ended with status 0 by SIGTERM, SIGINT and
# SIGHUP, by the window's end (within a ten-second wait for a frame too) and by the X server's,
# but not by another X error; the window named by XSCREENSAVER_WINDOW (decimal, or hexadecimal
# after 0x: never octal) or refused on stderr.   given_window.sh SAVER_WINDOW STOP_LIBRARY
source "$(dirname "$0")/lib.sh"
readonly SAVER_WINDOW=$1 STOP=$2
readonly WIDE=700 HIGH=750  # high enough that the title, shaking, stays below the message line
readonly STARS="${WIDE}x500+0+250" GROWN="300x${HIGH}+${WIDE}+0" SMALL=400x400+0+0
trap '{ kill -CONT "$VARO_PID"; } 2>/dev/null || true; stop_varo' EXIT  # stopped, it cannot end

refused() {  # LINE COMMAND...: COMMAND ends at once, status 1, LINE (a pattern) alone on stderr
    local line=$1 status=0
    shift && timeout 10 "$@" 2>"$E2E_OUT/stderr.txt" || status=$?
    check "status for: $line" "$status" == 1
    [[ "$(<"$E2E_OUT/stderr.txt")" == $line ]] || fail "stderr is not: $line"
}
quiet() { [ ! -s "$E2E_OUT/stderr.txt" ] || fail "the program said: $(<"$E2E_OUT/stderr.txt")"; }

open_window "$WIDE" "$HIGH"
VARO_PRELOAD=$STOP run_varo --window-id "$WIN" --seed 7
await "a stop after the first frame" grep -q '^State:.T' "/proc/$VARO_PID/status"
SHOT=$(shot first-frame)  # stars at full brightness (above half), the board still dark
check "stars" "$(convert "$SHOT" -crop "$STARS" -colorspace gray -threshold 50% -format '%[fx:mean]' info:)" '>' 0.001
check "no start message" "$(texty "$SHOT" "$MESSAGE")" '<' 0.01
check "the title, as at the start" "$(texty "$SHOT" 350x200+0+0)" '>' 0.005
kill -CONT "$VARO_PID"
board() { check "board drawn (back plate level)" "$(plate_level "$SHOT" "$STARS")" '>' 0; }
expect_soon board board
xdotool windowsize "$WIN" "$((WIDE + 300))" "$HIGH"
grown() { check "lit where the window grew" "$(lit "$SHOT" "$GROWN")" '>' 0.001; }
expect_soon grown grown
ends_after SIGTERM 0.5 kill -TERM "$VARO_PID"
kill "$WINDOW_PID" && wait

for signal in INT HUP; do  # as SIGTERM
    open_window 300 300
    VARO_PRELOAD=$STOP run_varo --window-id "$WIN"
    await "a stop after the first frame" grep -q '^State:.T' "/proc/$VARO_PID/status"
    kill -CONT "$VARO_PID" && ends_after "SIG$signal" 0.5 kill "-$signal" "$VARO_PID"
    kill "$WINDOW_PID" && wait
done

# A BadMatch, from a request that the preloaded library makes after the first frame, leaves the
# frames coming.
open_window 400 400
E2E_BAD_REQUEST=1 VARO_PRELOAD=$STOP run_varo --window-id "$WIN" 2>"$E2E_OUT/stderr.txt"
drawn_small() { check "lit in the window" "$(lit "$SHOT" "$SMALL")" '>' 0.001; }
expect_soon drawn drawn_small && first=$SHOT
moving() { check "pixels changed after the X error" "$(differing "$first" "$SHOT" "$SMALL")" '>' 100; }
expect_soon moving moving
ends_after SIGTERM 0.5 kill -TERM "$VARO_PID"
quiet && kill "$WINDOW_PID" && wait

open_window "$WIDE" "$HIGH"
DISPLAY= XSCREENSAVER_WINDOW=$((WIN)) run_varo --root -display "$DISPLAY" --delay 10000000
in_saver_window() { check "lit in XSCREENSAVER_WINDOW" "$(lit "$SHOT" "$STARS")" '>' 0.001; }
expect_soon root in_saver_window
ends_after "the window's end" 1 kill "$WINDOW_PID"

refused "varo: window $WIN does not exist" "$E2E_VARO" --window-id "$WIN"
for id in 010:0xa 09:0x9 0X1F:0x1f; do  # decimal, or hexadecimal after 0x: never octal
    refused "varo: window ${id#*:} does not exist" env XSCREENSAVER_WINDOW="${id%:*}" "$E2E_VARO" --root
done
for id in 0x -1 ''; do
    refused "varo: XSCREENSAVER_WINDOW is not a window id: '$id'" env XSCREENSAVER_WINDOW="$id" "$E2E_VARO" --root
done
refused "varo: cannot open display ''" env DISPLAY= "$E2E_VARO" --root
open_window 100 100 --single
refused "varo: GL cannot draw into window $WIN: its visual * is not RGBA, double-buffered, *" \
    "$E2E_VARO" --window-id "$WIN"
kill "$WINDOW_PID" && wait

# The X server lost: on a second server, ended under the show, the program ends quietly.
rm -f "$E2E_OUT/display"
Xvfb -displayfd 3 -screen 0 400x400x24 -nolisten tcp -noreset 3>"$E2E_OUT/display" 2>/dev/null &
VARO_PID=$! server=$!  # while waiting: fail at once if the server ends
answers() { DISPLAY=:$(cat "$E2E_OUT/display" 2>/dev/null) xdotool getdisplaygeometry &>/dev/null; }
await "the second X server" answers
export DISPLAY=:$(<"$E2E_OUT/display")
open_window 300 300
VARO_PRELOAD=$STOP run_varo --window-id "$WIN" 2>"$E2E_OUT/stderr.txt"
await "a stop after the first frame" grep -q '^State:.T' "/proc/$VARO_PID/status"
kill "$server" && wait "$server" 2>/dev/null || true
ends_after "the X server's end" 1 kill -CONT "$VARO_PID"
quiet
