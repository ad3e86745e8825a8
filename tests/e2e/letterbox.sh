#!/usr/bin/env bash
# Letterbox: each 'l' moves the bars one level along 1, 2, ... 6, 5, ... 0; the bars are black
# and exactly as high as the level says, with the picture right up to them.
source "$(dirname "$0")/lib.sh"

readonly TEXT_X=340  # the message line and the title stay left of this, pixels
readonly BAND=30     # rows next to each bar where the picture (stars at least) must show
readonly BLEED=2     # rows of a bar next to the picture that the scene may touch: Mesa keeps
                     # 2-pixel stars at the viewport's edge whole, and rounds polygon edges

# Bars of a level: each is level x 5 % of the screen height; the top one takes the odd pixel.
bars_at() {
    local level=$1 bottom top width=$((SCREEN_W - TEXT_X))
    bottom=$(awk -v l="$level" -v h="$SCREEN_H" 'BEGIN { print int(l * 0.05 * h) }')
    top=$(awk -v l="$level" -v h="$SCREEN_H" 'BEGIN { print h - int((1 - l * 0.05) * h) }')
    local bottom_bar="${SCREEN_W}x$((bottom - BLEED))+0+$((SCREEN_H - bottom + BLEED))"
    local top_bar="${width}x$((top - BLEED))+$TEXT_X+0"
    if [ "$level" -gt 0 ]; then
        check "level $level: bottom bar ($bottom rows) black" "$(peak "$SHOT" "$bottom_bar")" \
            '<' 0.02
        check "level $level: top bar ($top rows) black" "$(peak "$SHOT" "$top_bar")" '<' 0.02
    fi
    local above_bottom="${SCREEN_W}x$BAND+0+$((SCREEN_H - bottom - BAND))"
    local below_top="${width}x$BAND+$TEXT_X+$top"
    check "level $level: picture right above the bottom bar" "$(lit "$SHOT" "$above_bottom")" \
        '>' 0.0005
    check "level $level: picture right below the top bar" "$(lit "$SHOT" "$below_top")" \
        '>' 0.0005
}

start_varo
expect_soon letterbox-none bars_at 0
for level in 1 2 3 4 5 6 5 4 3 2 1 0; do
    command_keys l
    expect_soon "letterbox-$level" bars_at "$level"
done
quit_varo
