#!/usr/bin/env bash
# The manual camera on a still scene: a pointer move turns the view once, a drag with the left
# button too, a right click does nothing; holding Down walks the camera back and Up forward,
# and the walk stops when the key is let go.
source "$(dirname "$0")/lib.sh"

readonly TURNED=5000  # pixels that change at least when the view turns by six degrees
readonly HOLD=1.0     # seconds an arrow key is held: the camera walks 2 units a second
readonly HOME_X=449 HOME_Y=349  # where the program keeps the pointer: (450, 350) in its window

turned_from() {
    check "pixels changed by the turn" "$(differing "$1" "$SHOT" "$SCENE")" '>' $TURNED
}
stays() {
    local before=$SHOT
    settle
    SHOT=$(shot "$1")
    check "$2: pixels changed since" "$(differing "$before" "$SHOT" "$SCENE")" '<' "$STILL_PIXELS"
}
board_lit() { lit "$1" "$SCENE"; }

start_varo
sleep_until 3.2
command_keys v
freeze_scene
still=$SHOT

xdotool mousemove $((HOME_X + 60)) $HOME_Y
expect_soon turned turned_from "$still"
stays turned-once "pointer moved"
turned=$SHOT

xdotool click 3
stays right-click "right click"

xdotool mousedown 1 mousemove $HOME_X $((HOME_Y + 60)) mouseup 1
expect_soon dragged turned_from "$turned"
stays dragged-once "left-button drag"
dragged=$SHOT

# The walk shows as the board getting smaller or larger.
xdotool keydown Down sleep "$HOLD" keyup Down
await_still walked-back
check "lit after walking back" "$(board_lit "$SHOT")" '<' "$(times 0.9 "$(board_lit "$dragged")")"
stays stopped-back "Down let go"
back=$SHOT

xdotool keydown Up sleep "$HOLD" keyup Up
await_still walked-forward
check "lit after walking forward" "$(board_lit "$SHOT")" '>' "$(times 1.1 "$(board_lit "$back")")"
stays stopped-forward "Up let go"

quit_varo
