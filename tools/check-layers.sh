#!/usr/bin/env bash
# Fails when a file includes a folder of its own layer or of a layer above it: the program's
# folders depend downward only (docs/ARCHITECTURE.md).   check-layers.sh [SOURCE_DIR]
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
[ $status = 0 ] && echo "every include points down: ${layers[*]}"
exit $status
