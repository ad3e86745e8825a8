#!/usr/bin/env bash
# The Debian package: built by cpack, judged by Debian's checkers, unpacked and run from an empty
# folder, where it finds its pictures, draws them and ends on ESC.   ARGS: BUILD_DIR
source "$(dirname "$0")/lib.sh"
for tool in cpack:cmake dpkg-deb:dpkg lintian:lintian appstreamcli:appstream \
    desktop-file-validate:desktop-file-utils lexgrog:man-db; do need "${tool%:*}" "${tool#*:}"; done
root=$SCRATCH/root  # outside the build tree, which would lend the program its pictures

cpack --config "$1/CPackConfig.cmake" -B "$SCRATCH/pkg" >"$SCRATCH/cpack.log" 2>&1 ||
    { cat "$SCRATCH/cpack.log"; fail "cpack could not build the package"; }
deb=$(echo "$SCRATCH"/pkg/varo_*.deb)
lintian --fail-on error,warning "$deb" || fail "lintian finds errors or warnings"
dpkg-deb -f "$deb" Suggests | grep -qw xscreensaver || fail "the package does not suggest xscreensaver"
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
note "ok   lintian, metadata, desktop entry, icons and man pages"

# The unpacked program from an empty folder: the start message in the font's glyphs, and once
# the board has faded in (its back plate at full level), the portrait on the pins, not plain grey.
mkdir "$SCRATCH/empty"
E2E_VARO=$root/usr/bin/varo start_varo "$SCRATCH/empty"
in_glyphs
pictured() {
    check "board at full brightness (back plate level)" "$(plate_level "$SHOT" "$BELOW_TITLE")" '>=' 25
    check "picture on the pins, not plain grey" "$(texty "$SHOT" "$BELOW_TITLE")" '<' 0.05
}
expect_soon installed pictured
quit_varo
! grep 'not found' "$E2E_OUT/stderr.txt" || fail "the program missed a picture"
