#!/usr/bin/env bash
# Quitting: ESC fades the board out and ends the process with status 0 about three seconds
# later; 'r' during the fade cancels it.
source "$(dirname "$0")/lib.sh"

readonly FADE_LOOK=1.5  # seconds after ESC: the board is at half brightness
readonly PAST_END=3.6   # seconds after ESC: a fade that ran on would have ended the process

start_varo
sleep_until 3.2  # faded in
freeze_scene
bright=$SHOT

send_quit
sleep "$FADE_LOOK"
dim=$(shot fading)
press r  # before the fade ends, 2.7 s after ESC; the measures can wait
check "back plate grey during the fade" "$(plate_level "$dim" "$BELOW_TITLE")" '<' \
    "$(times 0.75 "$(plate_level "$bright" "$BELOW_TITLE")")"
sleep_until_after_quit "$PAST_END"
kill -0 "$VARO_PID" 2>/dev/null || fail "'r' during the fade did not cancel the quit"
note "ok   still running $PAST_END s after ESC and 'r'"
bright_again() {
    check "back plate grey after the reset" "$(plate_level "$SHOT" "$BELOW_TITLE")" '>=' 25
}
expect_soon cancelled bright_again

send_quit
wait_for_exit
check "seconds from ESC to the end" "$QUIT_SECONDS" '>=' 2.5
check "seconds from ESC to the end" "$QUIT_SECONDS" '<=' 3.5
check "exit status" "$QUIT_STATUS" '==' 0
