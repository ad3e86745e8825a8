#!/usr/bin/env bash
# A data file missing: the program runs from a copy of the data folder without it and still
# draws, untextured where the file was needed, and quits cleanly.
#   missing_data.sh font.bmp          text shows as solid blocks
#   missing_data.sh monacolor128.bmp  the pins show plain grey instead of the portrait
source "$(dirname "$0")/lib.sh"

readonly MISSING=$1
readonly MESSAGE="262x24+6+3"  # "Frame/Second Clock On" at (10, 25), 20 pixels high

folder=$(mktemp -d)
trap 'stop_varo; rm -rf "$folder"' EXIT
cp "$E2E_DATA"/*.bmp "$folder"/
rm "$folder/$MISSING"

start_varo "$folder"
case $MISSING in
    font.bmp)
        blocks() { check "message drawn as solid blocks" "$(texty "$SHOT" "$MESSAGE")" '>' 0.4; }
        command_keys c
        expect_soon blocks blocks
        ;;
    monacolor128.bmp)
        sleep_until 2.0  # the board at two thirds of its brightness, well above the text level
        SHOT=$(shot untextured)
        # The portrait has no grey at all; plain pins are grey.
        check "grey share of the scene: plain grey pins" "$(texty "$SHOT" "$SCENE")" '>' 0.005
        ;;
    *) fail "no check for a missing $MISSING" ;;
esac
quit_varo
