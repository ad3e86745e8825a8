#!/usr/bin/env bash
# Regenerates the data files into a scratch folder and compares them byte for byte with the
# checked-in ones.   check-data-files.sh TOOL DATA_FOLDER [FONT_FILE]
set -uo pipefail
tool=$1
data=$2
font=${3:-/usr/share/consolefonts/Lat15-TerminusBold16.psf.gz}
if [ ! -r "$font" ]; then
    echo "SKIP: font $font is missing (Debian package console-setup-linux)"
    exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$tool" "$scratch" "$font" || exit 1
status=0
for name in font.bmp fisheye.bmp monacolor128.bmp; do
    size=$(stat -c %s "$data/$name" 2>/dev/null || echo missing)
    if [ "$size" != 49206 ]; then
        echo "$data/$name: $size bytes, not 49206"
        status=1
    fi
    cmp "$scratch/$name" "$data/$name" || status=1
done
exit $status
