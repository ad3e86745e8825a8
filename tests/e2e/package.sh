#!/usr/bin/env bash
# The Debian package as a user gets it: cpack builds it from the build tree, Debian's own
# checkers judge it, and unpacked into a scratch root its program runs from an empty folder,
# finds the pictures installed beside it, draws them, and ends cleanly on ESC.
#   package.sh BUILD_DIR
source "$(dirname "$0")/lib.sh"

readonly BUILD=$1

for tool in cpack:cmake dpkg-deb:dpkg lintian:lintian appstreamcli:appstream \
    desktop-file-validate:desktop-file-utils lexgrog:man-db; do need "${tool%:*}" "${tool#*:}"; done

scratch=$(mktemp -d)  # outside the build tree, which would lend the program its pictures
note "package and unpacked root in $scratch, removed when the test passes"
root=$scratch/root

cpack --config "$BUILD/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack could not build the package"; }
deb=$(echo "$scratch"/pkg/varo_*.deb)
lintian --fail-on error,warning "$deb" || fail "lintian finds errors or warnings"
dpkg-deb -f "$deb" Suggests | grep -qw xscreensaver || fail "the package does not suggest xscreensaver"
note "ok   lintian: no errors, no warnings in $(basename "$deb")"

dpkg-deb -x "$deb" "$root"
# lintian reads a binary package's copyright file as free text: check its machine-readable
# form, a Format line and the text of every licence that a Files paragraph names.
unlicensed=$(awk -v RS= 'NR == 1 && !/^Format: / { bad = " Format" }
    /^Files:/ && match($0, /License: [^\n]+/) { used[substr($0, RSTART + 9, RLENGTH - 9)] }
    /^License: / && split($0, text, "\n") > 3 { sub(/\n.*/, ""); given[substr($0, 10)] }
    END { for (name in used) if (!(name in given)) bad = bad " " name; print bad }' \
    "$root/usr/share/doc/varo/copyright")
[ -z "$unlicensed" ] || fail "the copyright file lacks:$unlicensed"
appstreamcli validate-tree --no-net "$root" || fail "the AppStream metadata is not valid"
[ -f "$root/usr/share/xscreensaver/config/varo.xml" ] || fail "no config for the screensaver dialog"
desktop=$(echo "$root"/usr/share/applications/*.desktop)
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 48 64 128 256; do
    file=$root/usr/share/icons/hicolor/${size}x$size/apps/${icon:-none}.png
    [ "$(identify -format %wx%h "$file" 2>/dev/null)" = "${size}x$size" ] ||
        fail "no ${size}x$size icon for Icon=$icon"
done
manuals=("$root"/usr/share/man/man6/varo.6.gz "$root"/usr/share/man/man1/varo-capture.1.gz)
lexgrog "${manuals[@]}" || fail "lexgrog cannot read the man pages"
# The options that varo(6) gives an entry and those that --help lists are the same.
listed=$(zcat "${manuals[0]}" | sed -n '/^\.SH OPTIONS/,/^\.SH /s/^\.BI\{0,1\} \\-\\-\([a-z\\-]*\).*/--\1/p' |
    sed 's/\\-/-/g' | sort -u)
helped=$("$root/usr/bin/varo" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p' | sort -u)
[ "$listed" = "$helped" ] || fail "varo(6) and --help list other options: $(diff <(echo "$listed") <(echo "$helped") | grep '^[<>]' | tr '\n' ' ')"
note "ok   metadata, desktop entry, icons and man pages are valid"

# The unpacked program from an empty folder: the start message in the font's glyphs (solid
# blocks without it), the board drawn and the portrait on its pins (plain grey without it).
mkdir "$scratch/empty"
E2E_VARO=$root/usr/bin/varo start_varo "$scratch/empty" 2> >(tee "$scratch/stderr" >&2)
SHOT=$(shot installed)  # the start message shows for 3 s
check "start message drawn" "$(texty "$SHOT" "$MESSAGE")" '>' 0.05
check "start message as glyphs, not blocks" "$(texty "$SHOT" "$MESSAGE")" '<' 0.4
await_fade_in  # grey pins are too dark to tell from the picture while the board fades in
SHOT=$(shot installed-bright)
check "board drawn (back plate level)" "$(plate_level "$SHOT" "$BELOW_TITLE")" '>' 0
check "picture on the pins, not plain grey" "$(texty "$SHOT" "$BELOW_TITLE")" '<' 0.05
quit_varo
! grep 'not found' "$scratch/stderr" || fail "the program missed a picture"
rm -rf "$scratch"
