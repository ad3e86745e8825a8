#!/usr/bin/env bash
# Fails when a file includes a folder of its own layer or of a layer above it: the program's
# folders depend downward only (docs/ARCHITECTURE.md). Fails too on a call of the toolkit
# (glutSomething) outside app/, which alone hosts the window; the toolkit's constants (GLUT_KEY_*)
# are plain numbers and may be used below.   check-layers.sh [SOURCE_DIR]
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 2
layers=("state" "motion images" "board view backdrop overlay" "input" "app")  # bottom first
declare -A level
for n in "${!layers[@]}"; do
    for folder in ${layers[$n]}; do level[$folder]=$n; done
done
status=0
for folder in "${!level[@]}"; do
    while IFS=: read -r file line used; do
        used=${used#*\"}; used=${used%%/*}
        [ "$used" = "$folder" ] || [ -z "${level[$used]+set}" ] && continue
        if [ "${level[$used]}" -ge "${level[$folder]}" ]; then
            echo "$file:$line: $folder/ may not include $used/ (same layer or above)"
            status=1
        fi
    done < <(grep -n '^#include "' "$folder"/*.cpp "$folder"/*.h 2>/dev/null)
done
shopt -s nullglob
below_app=()
for folder in "${!level[@]}"; do
    [ "$folder" = app ] || below_app+=("$folder"/*.cpp "$folder"/*.h)
done
awk '{ code = $0; sub(/\/\/.*/, "", code) }  # comments aside
     code ~ /(^|[^A-Za-z0-9_])glut[A-Z]/ { bad = 1
         print FILENAME ":" FNR ": only app/ may call the toolkit: " $0 }
     END { exit bad }' "${below_app[@]}" || status=1
[ $status = 0 ] && echo "every include points down: ${layers[*]}; only app/ calls the toolkit"
exit $status
