#!/usr/bin/env bash
# The Debian package as a user gets it: cpack builds it, dpkg-deb unpacks it into a scratch
# root, its menu entry and man page are checked, and the installed program runs from the
# installed data folder, draws the board and its text, and quits cleanly.
#   package.sh BUILD_DIR
source "$(dirname "$0")/lib.sh"

readonly BUILD=$1
readonly MESSAGE="262x24+6+3"  # "Press ? key for Help Screen" at (10, 25)

need cpack cmake
need dpkg-deb dpkg
need desktop-file-validate desktop-file-utils
need lexgrog man-db

scratch=$(mktemp -d)
trap 'stop_varo; rm -rf "$scratch"' EXIT

cpack --config "$BUILD/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" ||
    { cat "$scratch/cpack.log"; fail "cpack could not build the package"; }
deb=$(ls "$scratch"/pkg/varo_*.deb)
note "ok   built $(basename "$deb")"
dpkg-deb -x "$deb" "$scratch/root"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libglut3.12 libglu1-mesa libgl1 libpng16-16; do
    [[ ", $depends," == *", $library"[\ ,]* ]] || fail "the package does not depend on $library"
done
note "ok   depends on: $depends"

root=$scratch/root
data=$root/usr/share/varo
for file in usr/bin/varo usr/bin/varo-capture usr/share/varo/font.bmp usr/share/varo/fisheye.bmp \
    usr/share/varo/monacolor128.bmp usr/share/applications/varo.desktop \
    usr/share/man/man6/varo.6.gz; do
    [ -s "$root/$file" ] || fail "the package has no $file"
done
note "ok   programs, pictures, menu entry and man page are in place"

desktop=$root/usr/share/applications/varo.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the menu entry"
grep -qx 'Path=/usr/share/varo' "$desktop" ||
    fail "the menu entry does not start in /usr/share/varo"
grep -qx 'Exec=varo' "$desktop" || fail "the menu entry does not run varo"
note "ok   the menu entry is valid and starts varo in its data folder"

manual=$root/usr/share/man/man6/varo.6.gz
lexgrog "$manual" | grep -q 'varo - ' || fail "lexgrog finds no NAME line in the man page"
page=$(MANWIDTH=100 man -l "$manual" 2>&1)
for control in ESC SPACE Letterbox 'Page Up' Home 'Left button' monacolor128.bmp /usr/share/varo; do
    grep -q -- "$control" <<<"$page" || fail "the man page does not mention $control"
done
note "ok   the man page reads and lists the controls"

# shellcheck disable=SC2034  # read by start_varo
E2E_VARO=$root/usr/bin/varo
start_varo "$data"
sleep_until 2
SHOT=$(shot installed)
check "installed program: back plate drawn" "$(plate_level "$SHOT" "$BELOW_TITLE")" '>' 0
check "installed program: start message in the installed font" "$(texty "$SHOT" "$MESSAGE")" \
    '>' 0.05
check "installed program: not as solid blocks" "$(texty "$SHOT" "$MESSAGE")" '<' 0.4
quit_varo
