#!/usr/bin/env bash
# Start-up as a person sees it: the window fills the screen, the board fades in, the start
# message shows top-left for three seconds and the title for ten.
source "$(dirname "$0")/lib.sh"

readonly MESSAGE="262x24+6+3"   # "Press ? key for Help Screen" at (10, 25), glyphs 20 high
readonly TITLE="300x190+30+30"  # "Varo" near (102, 153), 60 high, shaking by up to 60
readonly MESSAGE_SECONDS=3
readonly LAG=1  # seconds a loaded machine may take to show the next frame

message_shown() { awk -v t="$(texty "$1" "$MESSAGE")" 'BEGIN { exit !(t > 0.05) }'; }

start_varo
first_frame=$(since_start)
note "window fills the ${SCREEN_W}x${SCREEN_H} screen, first frame after $first_frame s"

early=$(shot early)
check "start message legible early" "$(texty "$early" "$MESSAGE")" '>' 0.05
check "start message is glyphs, not blocks" "$(texty "$early" "$MESSAGE")" '<' 0.4
check "title visible early" "$(big_text "$early" "$TITLE")" '>' 0.006

# Follow the message until it goes. Our clock starts a little before the program's, so the
# message goes at 3 s or a little later on ours.
last_seen=$first_frame
while :; do
    at=$(since_start)
    SHOT=$(shot message)
    message_shown "$SHOT" || break
    last_seen=$at
    awk -v t="$at" -v l=$((MESSAGE_SECONDS + LAG)) 'BEGIN { exit !(t < l) }' ||
        fail "start message still shown at $at s"
done
# A start slower than two seconds leaves too little time to see the message last.
shown_until=$(awk -v s=$MESSAGE_SECONDS -v f="$first_frame" \
    'BEGIN { print (f < s - 1 ? s - 0.6 : f) }')
check "start message still shown" "$last_seen" '>=' "$shown_until"
check "start message gone after" "$at" '>=' $MESSAGE_SECONDS

sleep_until 3.8
faded_in=$(shot faded-in)
# The plate's grey is 0.1 x the board's brightness: 25 in full, a little less if the last frame
# of the fade-in came a little before its end.
faded_level=$(plate_level "$faded_in" "$BELOW_TITLE")
check "back plate grey once faded in" "$faded_level" '>=' 22
check "back plate grey in the first frames: fading in" "$(plate_level "$early" "$BELOW_TITLE")" \
    '<' "$(times 0.85 "$faded_level")"

sleep_until 10.5
late=$(shot late)
check "title gone after 10 s" "$(texty "$late" "$TITLE")" '<' 0.001

quit_varo
