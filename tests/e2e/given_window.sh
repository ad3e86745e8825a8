#!/usr/bin/env bash
# The program in a window another program made, as XScreenSaver runs it: drawn without the start
# message, following its size, ended by SIGTERM or the window's end with status 0, the window
# named by XSCREENSAVER_WINDOW or refused on stderr.   given_window.sh SAVER_WINDOW STOP_LIBRARY
source "$(dirname "$0")/lib.sh"
readonly SAVER_WINDOW=$1 STOP=$2
readonly WIDE=700 HIGH=750  # high enough that the title, shaking, stays below the message line
readonly STARS="${WIDE}x500+0+250" GROWN="300x${HIGH}+${WIDE}+0"
trap '{ kill -CONT "$VARO_PID"; } 2>/dev/null || true; stop_varo' EXIT  # stopped, it cannot end

refused() {  # LINE COMMAND...: COMMAND ends at once, status 1, LINE (a pattern) alone on stderr
    local line=$1 status=0
    shift && timeout 10 "$@" 2>"$E2E_OUT/stderr.txt" || status=$?
    check "status for: $line" "$status" == 1
    [[ "$(<"$E2E_OUT/stderr.txt")" == $line ]] || fail "stderr is not: $line"
}

open_window "$WIDE" "$HIGH"
VARO_PRELOAD=$STOP run_varo --window-id "$WIN" --seed 7
await "a stop after the first frame" grep -q '^State:.T' "/proc/$VARO_PID/status"
SHOT=$(shot first-frame)  # stars at full brightness (above half), the board still dark
check "stars" "$(convert "$SHOT" -crop "$STARS" -colorspace gray -threshold 50% -format '%[fx:mean]' info:)" '>' 0.001
check "no start message" "$(texty "$SHOT" "$MESSAGE")" '<' 0.01
kill -CONT "$VARO_PID" && await_fade_in
board() { check "board drawn (back plate level)" "$(plate_level "$SHOT" "$STARS")" '>' 0; }
expect_soon board board
xdotool windowsize "$WIN" "$((WIDE + 300))" "$HIGH"
grown() { check "lit where the window grew" "$(lit "$SHOT" "$GROWN")" '>' 0.001; }
expect_soon grown grown
ends_after SIGTERM 0.5 kill -TERM "$VARO_PID"
kill "$WINDOW_PID" && wait

open_window "$WIDE" "$HIGH"
DISPLAY= XSCREENSAVER_WINDOW=$((WIN)) run_varo --root -display "$DISPLAY"
in_saver_window() { check "lit in XSCREENSAVER_WINDOW" "$(lit "$SHOT" "$STARS")" '>' 0.001; }
expect_soon root in_saver_window
ends_after "the window's end" 1 kill "$WINDOW_PID"

refused "varo: window $WIN does not exist" "$E2E_VARO" --window-id "$WIN"
refused "varo: XSCREENSAVER_WINDOW is not a window id: '12ab'" env XSCREENSAVER_WINDOW=12ab "$E2E_VARO" --root
refused "varo: cannot open display ''" env DISPLAY= "$E2E_VARO" --root
open_window 100 100 --single
refused "varo: GL cannot draw into window $WIN: its visual * is not RGBA, double-buffered, *" \
    "$E2E_VARO" --window-id "$WIN"
