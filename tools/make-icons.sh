#!/usr/bin/env bash
# Makes the program's icons from its own picture: varo-capture renders the pin board square,
# paused in front of the camera (p), with the portrait on 10 x 20 pins (10 presses of <) seen
# from a little farther back (}), 15 seconds in, when the title has gone; ImageMagick scales
# it to each icon size. Run by hand after a change to the scene, then commit the files.
#   tools/make-icons.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
readonly CAPTURE=${1:-build}/tools/capture/varo-capture
readonly SIZES="48 64 128 256"
readonly KEYS='p<<<<<<<<<<}}}}}}}}}}}}'

[ -x "$CAPTURE" ] || { echo "no $CAPTURE: build the project first" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

display=()
[ -n "${DISPLAY:-}" ] || display=(tools/with-xvfb.sh)
"${display[@]}" "$CAPTURE" --data data --size 512x512 --time 15 --seed 7 --key "$KEYS" \
    --out "$scratch/board.png" >/dev/null
for size in $SIZES; do
    mkdir -p "packaging/icons/${size}x$size"
    # -strip leaves out the time stamps, so the same scene gives the same files.
    convert "$scratch/board.png" -filter Lanczos -resize "${size}x$size" -strip \
        "packaging/icons/${size}x$size/varo.png"
    echo "packaging/icons/${size}x$size/varo.png"
done
