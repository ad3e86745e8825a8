#!/usr/bin/env bash
# Display modes, on a still scene in front of the board: 'w' cycles filled, wire-frame and point
# drawing, 'u' hides and shows the stars, SPACE stops clearing (hyperspace), '?' and '/' open
# and close the help page, 'f' switches to a 512 x 512 window and back to full screen.
source "$(dirname "$0")/lib.sh"

readonly HELP="470x320+28+232"      # the help page's lower lines, clear of the title
readonly IN_WINDOW="440x440+36+36"  # inside the 512 x 512 window at the top-left corner
readonly OUTSIDE="480x200+540+560"  # outside it: the bare root window

plate() { plate_pixels "$1" "$BELOW_TITLE"; }
changed_from() { differing "$1" "$SHOT" "$BELOW_TITLE"; }

start_varo
sleep_until 3.2  # faded in
face_the_board
still=$SHOT

# Polygon modes, told apart by how much of the back plate shows in its grey.
wire_frame() {
    check "plate pixels in wire-frame mode" "$(plate "$SHOT")" '<' \
        "$(times 0.4 "$(plate "$still")")"
    check "lit in wire-frame mode: board still drawn" "$(lit "$SHOT" "$BELOW_TITLE")" '>' 0.01
}
command_keys w
expect_soon lines wire_frame
lines=$SHOT
point_mode() {
    check "plate pixels in point mode" "$(plate "$SHOT")" '<' "$(times 0.1 "$(plate "$still")")"
    check "pixels changed from wire-frame" "$(changed_from "$lines")" '>' 1000
}
command_keys w
expect_soon points point_mode
points=$SHOT

# Stars off and on again, seen between the points of the board.
stars_gone() {
    check "pixels changed when the stars go" "$(changed_from "$points")" '>' 1000
    check "lit without stars" "$(lit "$SHOT" "$BELOW_TITLE")" '<' "$(lit "$points" "$BELOW_TITLE")"
}
command_keys u
expect_soon no-stars stars_gone
as_points() {
    check "pixels changed from the points with stars" "$(changed_from "$points")" '<' "$STILL_PIXELS"
}
command_keys u
expect_soon stars-back as_points
as_at_first() {
    check "pixels changed from the first picture" "$(changed_from "$still")" '<' "$STILL_PIXELS"
}
command_keys w
expect_soon as-at-first as_at_first

# Hyperspace: nothing is cleared, so wire-frame and points drawn over the filled board leave it
# on screen; blanking again (with the stars off a moment) shows the points alone.
command_keys space w
command_keys w
hyper=$(shot hyperspace)
check "plate pixels in point mode in hyperspace: still filled" "$(plate "$hyper")" '>' \
    "$(times 0.5 "$(plate "$still")")"
command_keys space u
blanked=$(shot blanking)
check "plate pixels once blanking again: points only" "$(plate "$blanked")" '<' \
    "$(times 0.1 "$(plate "$still")")"
command_keys u
expect_soon points-again as_points
command_keys w
expect_soon filled-again as_at_first

# Help page.
help_shown() { check "text on the help page" "$(texty "$SHOT" "$HELP")" '>' 0.04; }
press question
expect_soon help help_shown
help_gone() {
    check "text where the help page was" "$(texty "$SHOT" "$HELP")" '<' 0.001
    check "pixels changed there from the first picture" \
        "$(differing "$still" "$SHOT" "$HELP")" '<' "$STILL_PIXELS"
}
press slash
expect_soon help-closed help_gone

# A 512 x 512 window and back.
in_window_only() {
    check "lit inside the 512 x 512 window" "$(lit "$SHOT" "$IN_WINDOW")" '>' 0.005
    check "lit outside it" "$(lit "$SHOT" "$OUTSIDE")" '==' 0
}
press f
wait_for_window_size 512x512
expect_soon window in_window_only
full_screen_again() {
    check "lit where the window did not reach" "$(lit "$SHOT" "$OUTSIDE")" '>' 0.0005
}
press f
wait_for_window_size "${SCREEN_W}x${SCREEN_H}"
expect_soon full-screen full_screen_again

quit_varo
