#!/usr/bin/env bash
# Fails when a file includes a folder of its own layer or of a layer above it: the program's
# folders depend downward only (docs/ARCHITECTURE.md). Fails too when a file below app/, which
# alone hosts the window, calls the toolkit (glutSomething), Xlib (XSomething) or GLX
# (glXSomething) outside a comment, or includes their headers (GL/glut.h, GL/freeglut*.h,
# GL/glx.h, X11/...): the layers below take the program's own key and button codes.
#   check-layers.sh [SOURCE_DIR]
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
# Calls are looked for with comments (a block comment may span lines) and string literals
# aside; includes in the line as written.
awk 'function complain(what) { bad = 1; print FILENAME ":" FNR ": only app/ may " what ": " $0 }
     FNR == 1 { inBlock = 0 }
     { code = $0
       if (inBlock) { if (!sub(/^.*\*\//, "", code)) next; inBlock = 0 }
       gsub(/"([^"\\]|\\.)*"/, "\"\"", code)
       gsub(/\/\*([^*]|\*+[^*\/])*\*+\//, "", code)
       sub(/\/\/.*/, "", code)
       if (sub(/\/\*.*/, "", code)) inBlock = 1 }
     $0 ~ /^[ \t]*#[ \t]*include[ \t]*[<"](GL\/glut\.h|GL\/freeglut[^>"]*|GL\/glx\.h|X11\/[^>"]*)[>"]/ {
         complain("include the toolkit, Xlib or GLX"); next }
     code ~ /(^|[^A-Za-z0-9_])glut[A-Z]/ { complain("call the toolkit") }
     code ~ /(^|[^A-Za-z0-9_])(X|glX)[A-Z][A-Za-z]*[ \t]*\(/ { complain("call Xlib or GLX") }
     END { exit bad }' "${below_app[@]}" || status=1
[ $status = 0 ] &&
    echo "every include points down: ${layers[*]}; only app/ talks to the toolkit, Xlib and GLX"
exit $status
