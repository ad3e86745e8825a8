#!/usr/bin/env bash
# Makes the animated picture at the top of README.md: six seconds of the real show from its
# start (the board fading in, the title shaking and fading), rendered by varo-capture at
# 12 frames a second and joined into a looping animated WebP (img2webp, Debian package webp).
# Run by hand after a change to the scene, then commit docs/varo.webp.
#   tools/make-readme-animation.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
readonly CAPTURE=${1:-build}/tools/capture/varo-capture
readonly OUT=docs/varo.webp
readonly SIZE=640x480 FROM=0.5 TO=6.5 FRAMES=73  # 12 frames a second
readonly FRAME_MS=83
readonly MAX_BYTES=$((4 * 1024 * 1024))  # a page that still loads quickly

[ -x "$CAPTURE" ] || { echo "no $CAPTURE: build the project first" >&2; exit 1; }
command -v img2webp >/dev/null || { echo "img2webp is missing (Debian package webp)" >&2; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

display=()
[ -n "${DISPLAY:-}" ] || display=(tools/with-xvfb.sh)
"${display[@]}" "$CAPTURE" --data data --size "$SIZE" --seed 7 --from "$FROM" --to "$TO" \
    --frames "$FRAMES" --out "$scratch/frame.png" >/dev/null
img2webp -loop 0 -lossy -q 70 -m 4 -d "$FRAME_MS" "$scratch"/frame-*.png -o "$OUT" >/dev/null
bytes=$(stat -c %s "$OUT")
echo "$OUT: $FRAMES frames, $bytes bytes"
[ "$bytes" -le "$MAX_BYTES" ] || { echo "$OUT is over $MAX_BYTES bytes" >&2; exit 1; }
