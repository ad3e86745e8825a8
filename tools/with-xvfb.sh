#!/usr/bin/env bash
# Runs a command on a private virtual X display (Xvfb with Mesa's software GL), so it works on
# a machine without a screen and beside other runs. VARO_SCREEN sets the screen size; the
# server does not reset when a client leaves, so a program that connects then is not refused.
set -uo pipefail
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 "${VARO_SCREEN:-1024x768x24}" -nolisten tcp -noreset ${VARO_XVFB_ARGS:-} \
    3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 200); do
    grep -q . "$dir/display" 2>/dev/null && [ "$(wc -l <"$dir/display")" -ge 1 ] && break
    kill -0 "$xvfb" 2>/dev/null || { cat "$dir/xvfb.log" >&2; exit 1; }
    sleep 0.05
done
DISPLAY=":$(head -n 1 "$dir/display")"
export DISPLAY
"$@"
