#!/usr/bin/env bash
# One session of the real program as a person has it: the full-screen window fades the board in
# under the start message and the title; real keys switch the drawing mode, the help page and
# the 512 x 512 window; the real pointer turns the manual camera; ESC fades out,
# 'r' cancels, and ESC again ends the process with status 0 about three seconds later.
source "$(dirname "$0")/lib.sh"

readonly TITLE="300x190+30+30"             # "Varo" near (102, 153), 60 high, shaking
readonly HELP="470x320+28+232"             # the help page's lower lines
readonly IN_WINDOW="440x440+36+36" OUTSIDE="480x200+540+560"  # the 512 x 512 window and beyond

start_varo "$E2E_DATA"
early=$(shot early)
check "start message legible" "$(texty "$early" "$MESSAGE")" '>' 0.05
check "start message in glyphs, not blocks" "$(texty "$early" "$MESSAGE")" '<' 0.4
check "title shown" "$(texty "$early" "$TITLE")" '>' 0.01

sleep_until 3.6
faded_in=$(shot faded-in)
check "start message gone after three seconds" "$(texty "$faded_in" "$MESSAGE")" '<' 0.01
check "back plate at full brightness" "$(plate_level "$faded_in" "$BELOW_TITLE")" '>=' 22
check "back plate darker in the first frames" "$(plate_level "$early" "$BELOW_TITLE")" '<' \
    "$(plate_level "$faded_in" "$BELOW_TITLE")"

# Face the board: 'r' brings the camera home and 'p', in the same burst, holds it there;
# Page Down slows the pin wave to its slowest.
xdotool key --delay 0 r p
xdotool key --delay 1 $(printf 'Next %.0s' $(seq 70))
facing_board() { check "plate pixels facing the board" "$(plate_pixels "$SHOT" "$BELOW_TITLE")" '>' 50000; }
expect_soon facing facing_board
filled=$(plate_pixels "$SHOT" "$BELOW_TITLE")

press w
wire() { check "plate pixels in wire-frame" "$(plate_pixels "$SHOT" "$BELOW_TITLE")" '<' $((filled * 4 / 10)); }
expect_soon wire-frame wire
press w w

press question
help_shown() { check "help page text" "$(texty "$SHOT" "$HELP")" '>' 0.04; }
expect_soon help help_shown
press slash
help_gone() { check "help page text after '/'" "$(texty "$SHOT" "$HELP")" '<' 0.001; }
expect_soon help-closed help_gone

press f
await "the 512 x 512 window" has_size 512x512
in_window() {
    check "lit inside the 512 x 512 window" "$(lit "$SHOT" "$IN_WINDOW")" '>' 0.005
    check "lit outside it" "$(lit "$SHOT" "$OUTSIDE")" == 0
}
expect_soon window in_window
press f  # full screen again, with the manual camera
await "the full screen again" has_size "${SCREEN_W}x${SCREEN_H}"
full_screen() { check "lit where the window did not reach" "$(lit "$SHOT" "$OUTSIDE")" '>' 0.0005; }
expect_soon full-screen full_screen
sleep 0.5
still=$(shot still) && sleep 0.5
check "pixels changed while the pointer rests" "$(differing "$still" "$(shot still-2)" "$BELOW_TITLE")" '<' 3000
xdotool mousemove_relative 40 0
turned() { check "pixels changed once the pointer moved" "$(differing "$still" "$SHOT" "$BELOW_TITLE")" '>' 20000; }
expect_soon turned turned

xdotool key --delay 0 r p  # facing the board again
expect_soon facing-again facing_board
sleep_until 10.5
check "title gone after ten seconds" "$(texty "$(shot late)" "$TITLE")" '<' 0.002

bright=$(plate_level "$(shot bright)" "$BELOW_TITLE")
press Escape
sleep 1.5
dim=$(shot fading)
press r
check "back plate grey half way through the fade" "$(plate_level "$dim" "$BELOW_TITLE")" '<' \
    $((bright * 3 / 4))
sleep 2.2
kill -0 "$VARO_PID" 2>/dev/null || fail "'r' during the fade did not cancel the quit"
note "ok   still running 3.7 s after ESC and 'r'"
bright_again() { check "back plate after the reset" "$(plate_level "$SHOT" "$BELOW_TITLE")" '>=' 22; }
expect_soon reset bright_again
quit_varo
check "seconds from ESC to the end" "$QUIT_SECONDS" '>=' 2.5
check "seconds from ESC to the end" "$QUIT_SECONDS" '<=' 3.5
