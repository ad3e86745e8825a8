#!/usr/bin/env bash
# One session of the real program, for what only the real process shows: the full-screen window
# and its start message, real keys (the help page, the 512 x 512 window and back), the real
# pointer turning the manual camera, and ESC: 'r' cancels the fade, and ESC again ends the
# process with status 0 about three seconds later.
source "$(dirname "$0")/lib.sh"

readonly HELP="470x320+28+232"                                # the help page's lower lines
readonly IN_WINDOW="440x440+36+36" OUTSIDE="480x200+540+560"  # the 512 x 512 window and beyond

start_varo "$E2E_DATA"
early=$(shot early)
check "start message legible" "$(texty "$early" "$MESSAGE")" '>' 0.05
check "start message in glyphs, not blocks" "$(texty "$early" "$MESSAGE")" '<' 0.4

press question
help_shown() { check "help page text" "$(texty "$SHOT" "$HELP")" '>' 0.04; }
expect_soon help help_shown
press slash

press f
await "the 512 x 512 window" has_size 512x512
in_window() {
    check "lit inside the 512 x 512 window" "$(lit "$SHOT" "$IN_WINDOW")" '>' 0.005
    check "lit outside it" "$(lit "$SHOT" "$OUTSIDE")" == 0
}
expect_soon window in_window

# Full screen again, with the manual camera; 'p' and Page Down hold the rest of the motion.
xdotool key --delay 1 f p $(printf 'Next %.0s' $(seq 70))
await "the full screen again" has_size "${SCREEN_W}x${SCREEN_H}"
full_screen() { check "lit where the window did not reach" "$(lit "$SHOT" "$OUTSIDE")" '>' 0.0005; }
expect_soon full-screen full_screen
sleep 0.5 && await_fade_in
still=$(shot still) && sleep 0.5
check "pixels changed while the pointer rests" "$(differing "$still" "$(shot still-2)" "$BELOW_TITLE")" '<' 3000
xdotool mousemove_relative 40 0
turned() { check "pixels changed once the pointer moved" "$(differing "$still" "$SHOT" "$BELOW_TITLE")" '>' 20000; }
expect_soon turned turned

press Escape
sleep 1.5
press r
sleep 2.2
kill -0 "$VARO_PID" 2>/dev/null || fail "'r' during the fade did not cancel the quit"
note "ok   still running 3.7 s after ESC and 'r'"
quit_varo
check "seconds from ESC to the end" "$QUIT_SECONDS" '>=' 2.5
check "seconds from ESC to the end" "$QUIT_SECONDS" '<=' 3.5
