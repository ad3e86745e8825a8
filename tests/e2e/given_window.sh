#!/usr/bin/env bash
# In a given window (also XSCREENSAVER_WINDOW): size, signals, ends, refusals. ARGS: SAVER_WINDOW
source "$(dirname "$0")/lib.sh"
readonly SAVER_WINDOW=$1
readonly WIDE=700 HIGH=750  # high enough that the title, shaking, stays below the message line
readonly STARS="${WIDE}x500+0+250" GROWN="300x${HIGH}+${WIDE}+0" SMALL=400x400+0+0

refused() {  # LINE COMMAND...: COMMAND ends at once, status 1, LINE (a pattern) alone on stderr
    local line=$1 status=0
    shift && timeout 10 "$@" 2>"$E2E_OUT/stderr.txt" || status=$?
    check "status for: $line" "$status" == 1
    [[ "$(<"$E2E_OUT/stderr.txt")" == $line ]] || fail "stderr is not: $line"
}
quiet() { [ ! -s "$E2E_OUT/stderr.txt" ] || fail "the program said: $(<"$E2E_OUT/stderr.txt")"; }
lit_in() { check "lit in the window" "$(lit "$SHOT" "$1")" '>' 0.001; }

open_window "$WIDE" "$HIGH"
run_varo --window-id "$WIN" --seed 7 && first_frame  # the stars above half, the board dark
check "stars" "$(convert "$SHOT" -crop "$STARS" -colorspace gray -threshold 50% -format '%[fx:mean]' info:)" '>' 0.001
check "no start message" "$(texty "$SHOT" "$MESSAGE")" '<' 0.01
check "the title, as at the start" "$(texty "$SHOT" 350x200+0+0)" '>' 0.005
board() { check "board drawn (back plate level)" "$(plate_level "$SHOT" "$STARS")" '>' 0; }
expect_soon board board
xdotool windowsize "$WIN" "$((WIDE + 300))" "$HIGH"
grown() { lit_in "$GROWN"; }
expect_soon grown grown
ends_after SIGTERM 5 kill -TERM "$VARO_PID"
end_window

for signal in INT HUP; do  # as SIGTERM, once the program has taken over the signals
    open_window 300 300
    run_varo --window-id "$WIN" && first_frame
    ends_after "SIG$signal" 5 kill "-$signal" "$VARO_PID"
    end_window
done

# A BadMatch from the preloaded library's request after the first frame leaves the frames coming.
open_window 400 400
E2E_BAD_REQUEST=1 run_varo --window-id "$WIN" 2>"$E2E_OUT/stderr.txt"
drawn() { lit_in "$SMALL"; }
expect_soon drawn drawn && first=$SHOT
moving() { check "pixels changed after the X error" "$(differing "$first" "$SHOT" "$SMALL")" '>' 100; }
expect_soon moving moving
ends_after SIGTERM 5 kill -TERM "$VARO_PID"
quiet && end_window

open_window "$WIDE" "$HIGH"
DISPLAY= XSCREENSAVER_WINDOW=$((WIN)) run_varo --root -display "$DISPLAY" --delay 10000000
first_frame && lit_in "${WIDE}x${HIGH}+0+0"  # the title at least
ends_after "the window's end" 5 kill "$WINDOW_PID"

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
end_window

# The X server lost: on a second server, ended under the show, the program ends quietly.
Xvfb -displayfd 3 -screen 0 400x400x24 -nolisten tcp -noreset 3>"$SCRATCH/display" 2>/dev/null &
VARO_PID=$! server=$!  # while waiting: fail at once if the server ends
answers() { DISPLAY=:$(cat "$SCRATCH/display" 2>/dev/null) xdotool getdisplaygeometry &>/dev/null; }
await "the second X server" answers
export DISPLAY=:$(<"$SCRATCH/display")
open_window 300 300
run_varo --window-id "$WIN" 2>"$E2E_OUT/stderr.txt" && first_frame
ends_after "the X server's end" 5 kill "$server"
quiet
