#!/usr/bin/env bash
# A long run of the release build on a virtual display: the program's resident memory sampled
# once a minute into a CSV file (minute,rss_kib), plotted beside it when gnuplot is there. See
# docs/RELIABILITY.md.
#   tools/soak.sh [MINUTES] [CSV_FILE] [VARO OPTION...]     (defaults: 60, build-release/soak.csv)
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-60}
csv=$(realpath -m "${2:-build-release/soak.csv}")
shift $(($# < 2 ? $# : 2))
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release -j"$(nproc)" --target varo >/dev/null
tools/with-xvfb.sh bash -c '
    minutes=$1 csv=$2; shift 2
    build-release/varo "$@" & pid=$!
    echo "minute,rss_kib" >"$csv"
    for minute in $(seq 0 "$minutes"); do
        [ "$minute" = 0 ] && sleep 5 || sleep 60
        kill -0 "$pid" 2>/dev/null || { echo "the program ended before minute $minute" >&2; exit 1; }
        echo "$minute,$(awk "/^VmRSS/ { print \$2 }" "/proc/$pid/status")" | tee -a "$csv"
    done
    kill "$pid"' soak "$minutes" "$csv" "$@"
if command -v gnuplot >/dev/null; then
    gnuplot -e "data='$csv'; output='${csv%.csv}.png'" tools/soak.gp && echo "plot: ${csv%.csv}.png"
fi
