#!/usr/bin/env bash
# Makes the seed pictures of picture_file_fuzzer with ImageMagick (run by hand; the files are kept):
# small PNG and JPEG files of every kind the decoder reads, and broken ones.
set -euo pipefail
cd "$(dirname "$0")/corpus/picture_file"
make() { convert -size 8x8 gradient:red-blue "$@"; }
make -strip PNG24:rgb.png && make -strip PNG8:palette.png && make -strip -depth 16 PNG48:rgb16.png
make -strip -colorspace gray PNG:grey.png && make -strip -alpha set -channel A -fx 'i/8' PNG32:rgba.png
make -strip -colorspace gray -alpha set -channel A -fx 'j/8' PNG:grey-alpha.png
make -strip -interlace PNG PNG24:interlaced.png && make -strip -quality 80 baseline.jpg
make -strip -interlace JPEG progressive.jpg && make -strip -colorspace gray grey.jpg
make -strip -colorspace CMYK cmyk.jpg
head -c 60 rgb.png >truncated.png && head -c 200 baseline.jpg >truncated.jpg
{ head -c 29 rgb.png && printf '\0\0\0\0' && tail -c +34 rgb.png; } >bad-crc.png
python3 -c 'import struct, sys, zlib; d = open("grey.png", "rb").read(); h = d[12:16] + struct.pack(">II", 100000, 100000) + d[24:29]
sys.stdout.buffer.write(d[:12] + h + struct.pack(">I", zlib.crc32(h)) + d[33:])' >bomb-header.png
