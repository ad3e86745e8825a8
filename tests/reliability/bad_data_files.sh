#!/usr/bin/env bash
# The running program started on bad data files: missing, empty, one byte, header only, cut
# off inside the pixels, longer than a picture, a folder under the file's name, random bytes,
# and pictures of another size or depth, three at a time under the three names, and once on
# the real files. Each time the program must come up, keep drawing, show text as solid blocks
# exactly when the font gave no glyphs, raise no sanitizer report, and end with status 0 on ESC.
#   bad_data_files.sh VARO DATA_FOLDER      (on a display: through tools/with-xvfb.sh)
set -uo pipefail
# shellcheck source=tests/reliability/lib.sh
source "$(dirname "$0")/lib.sh"
varo=$(realpath "$1")
data=$(realpath "$2")

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
    echo "FAIL ($case_name): $*" >&2
    tail -n 40 "$work/varo.log" >&2
    exit 1
}
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-}:print_stacktrace=1"


# make_file KIND PATH: one bad data file (or a folder, or nothing) of the given kind.
make_file() {
    local kind=$1 path=$2 picture=$data/fisheye.bmp
    case $kind in
    missing) ;;
    empty) : >"$path" ;;
    one-byte) printf 'B' >"$path" ;;
    header-only) head -c 54 "$picture" >"$path" ;;
    cut-inside-pixels) head -c 20000 "$picture" >"$path" ;;
    longer) { cat "$picture"; head -c 7000 "$data/font.bmp"; } >"$path" ;;
    folder) mkdir "$path" ;;
    random) head -c 49206 /dev/urandom >"$path" ;;
    # 64 x 64 24-bit: the real header with the size fields changed, and 12,288 pixel bytes
    other-size) { head -c 18 "$picture"; printf '\x40\0\0\0\x40\0\0\0'; tail -c +27 "$picture" |
        head -c 28; head -c 12288 /dev/urandom; } >"$path" ;;
    # 128 x 128 32-bit: 65,536 pixel bytes, the depth field 32
    other-depth) { head -c 28 "$picture"; printf '\x20\0'; tail -c +31 "$picture" | head -c 24;
        head -c 65536 /dev/urandom; } >"$path" ;;
    real) cp "$(dirname "$path")/../real/$(basename "$path")" "$path" ;;
    esac
}

# The first glyph cell of a message, 8 x 18 pixels inside the 10 x 20 cell whose bottom-left
# corner is 25 pixels below the window's top and 10 from its left: all white when the font
# gave no glyphs, so that each character is a solid block.
glyph_is_solid_block() {
    local x y
    read -r x y < <(xdotool getwindowgeometry "$win" | awk '/Position/ { split($2, p, ","); print p[1], p[2] }')
    import -window root -crop "8x18+$((x + 11))+$((y + 7))" +repage "$work/glyph.png"
    [ "$(convert "$work/glyph.png" -threshold 99% -format '%[fx:mean]' info:)" = 1 ]
}

run_case() {
    case_name="font $1, fisheye $2, portrait $3"
    local solid=$4 folder=$work/run
    rm -rf "$folder"
    mkdir -p "$folder"
    make_file "$1" "$folder/font.bmp"
    make_file "$2" "$folder/fisheye.bmp"
    make_file "$3" "$folder/monacolor128.bmp"
    (cd "$folder" && exec "$varo") >"$work/varo.log" 2>&1 &
    pid=$!
    wait_for_window
    sleep 1.5
    xdotool key --window "$win" n 2>/dev/null  # posts "# : 1"
    sleep 0.7
    alive || fail "ended after start-up"
    if glyph_is_solid_block; then shown=solid; else shown=not-solid; fi
    [ "$shown" = "$solid" ] || fail "text shows $shown, expected $solid"
    import -window root "$work/a.png"
    sleep 0.5
    import -window root "$work/b.png"
    differing=$(compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 | cut -d' ' -f1)
    awk -v d="$differing" 'BEGIN { exit !(d + 0 > 100) }' || fail "the picture does not change"
    xdotool key --window "$win" Escape 2>/dev/null
    for _ in $(seq 200); do
        alive || break
        sleep 0.1
    done
    alive && fail "ESC did not end the program within 20 s"
    wait "$pid"
    status=$?
    pid=""
    [ "$status" = 0 ] || fail "exit status $status"
    if grep -qE 'ERROR: AddressSanitizer|runtime error:' "$work/varo.log"; then
        fail "sanitizer report"
    fi
    echo "ok   $case_name: ran, text $shown, status 0"
}

mkdir -p "$work/real"
cp "$data"/*.bmp "$work/real/"
run_case real real real not-solid
run_case missing empty one-byte solid
run_case header-only cut-inside-pixels longer solid
run_case folder random other-depth solid
run_case other-size folder header-only not-solid
