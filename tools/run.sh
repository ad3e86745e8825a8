#!/usr/bin/env bash
# Installs what is missing, builds Varo and runs it (it finds its pictures from any folder).
# Without a display it runs on a virtual one for a few seconds and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target varo
if [ -n "${DISPLAY:-}" ]; then
    exec build/varo "$@"
fi
shot="$PWD/build/varo-screenshot.png"
echo "No display: running Varo on a virtual 1024 x 768 display for a few seconds."
tools/with-xvfb.sh bash -c '
    build/varo "${@:2}" & pid=$!
    sleep 2.5
    import -window root "$1"
    kill "$pid"; wait "$pid" 2>/dev/null || true' screenshot "$shot" "$@"
echo "Screenshot saved: $(realpath "$shot")"
