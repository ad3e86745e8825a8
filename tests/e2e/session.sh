#!/usr/bin/env bash
# One session: full screen and message, keys (help, window and back), pointer camera, ESC, 'r', ESC.
source "$(dirname "$0")/lib.sh"

readonly HELP="470x320+28+232"                                # the help page's lower lines
readonly IN_WINDOW="440x440+36+36" OUTSIDE="480x200+540+560"  # the 512 x 512 window and beyond

start_varo "$E2E_DATA"
early=$E2E_OUT/first-frame.xwd  # the shot that found the start message: it goes after 3 s
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
# Motion held, the picture rests with the pointer: two shots alike once the key's message is gone.
calm() {
    local previous=$still
    still=$(shot still)
    awk -v t="$(texty "$still" "$MESSAGE")" 'BEGIN { exit !(t < 0.01) }' &&
        [ "$(differing "$previous" "$still" "$BELOW_TITLE")" -lt 3000 ]
}
still=$(shot still) && await "the picture at rest, without a message" calm
note "ok   two shots alike while the pointer rests"
xdotool mousemove_relative 40 0
turned() { check "pixels changed once the pointer moved" "$(differing "$still" "$SHOT" "$BELOW_TITLE")" '>' 20000; }
expect_soon turned turned

# ESC, 'r', 'l': the reset cancels the quit; Varo outlives the 3 s "Letterbox: 1" (fade: 2.7 s).
press Escape r l
message() { check "text in the message line" "$(texty "$SHOT" "$MESSAGE")" '>' 0.03; }
expect_soon letterbox message
no_message() { awk -v t="$(texty "$(shot letterbox-gone)" "$MESSAGE")" 'BEGIN { exit !(t < 0.01) }'; }
await "the message's end, alive" no_message
note "ok   still running when the message goes, three seconds after ESC, 'r' and 'l'"
quit_varo
