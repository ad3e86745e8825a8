#!/usr/bin/env python3
# Writes into the working folder the pictures bench/run-all.sh decodes: a 12-megapixel photo,
# baseline and progressive, a progressive grey one, and hostile files that claim little and
# give a lot (ImageMagick's convert makes the photos).
import os, struct, subprocess, zlib

def convert(*args):
    subprocess.run(['convert', '-seed', '1', *args], check=True)

convert('-size', '4000x3000', 'plasma:', '-quality', '90', 'photo.jpg')  # full colour (4:4:4)
convert('-size', '4000x3000', 'plasma:', '-quality', '75', 'photo-75.jpg')  # colour halved
convert('-size', '4000x3000', 'plasma:', '-quality', '90', '-interlace', 'JPEG', 'progressive.jpg')
convert('-size', '5000x5000', 'plasma:', '-colorspace', 'gray', '-quality', '90', '-interlace',
        'JPEG', 'grey.jpg')
convert('-size', '16x16', 'xc:gray', 'small.jpg')

def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

def bomb(name, w, h, depth, colour, interlace, rows):  # the rows' bytes, then 4 GiB of zeros
    z = zlib.compressobj(9)
    stream = z.compress(rows) + b''.join(z.compress(bytes(1 << 24)) for _ in range(256)) + z.flush()
    head = struct.pack('>IIBBBBB', w, h, depth, colour, 0, 0, interlace)
    with open(name, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', head))
        for at in range(0, len(stream), 1 << 16):
            f.write(chunk(b'IDAT', stream[at:at + (1 << 16)]))
        f.write(chunk(b'IEND', b''))

bomb('bomb-grey.png', 1, 1, 8, 0, 0, b'\0\x80')
bomb('bomb-rgba16.png', 1, 1, 16, 6, 0, b'\0' + bytes(8))
bomb('bomb-rgb.png', 2, 2, 8, 2, 0, bytes(14))
bomb('bomb-bits.png', 8, 8, 1, 0, 0, bytes(16))
bomb('bomb-interlaced.png', 1, 1, 8, 0, 1, b'\0\x80')
small = open('small.jpg', 'rb').read()
sos = small.index(b'\xff\xda')  # the scan's header, then zeros to 10 GiB (sparse)
open('sparse.jpg', 'wb').write(small[:sos + 2 + int.from_bytes(small[sos + 2:sos + 4], 'big')])
os.truncate('sparse.jpg', 10 << 30)
with open('app1.jpg', 'wb') as f:  # 12,000 APP1 segments of 64 KiB before the picture
    f.write(small[:2] + (b'\xff\xe1\xff\xff' + bytes(65533)) * 12000 + small[2:])
grey = open('grey.jpg', 'rb').read()  # its 6 scans, then 494 refinements of all its AC
component = grey[grey.index(b'\xff\xc2') + 10]  # coefficients in end-of-band runs
table = b'\xff\xc4\x00\x14\x11' + bytes([1] + [0] * 15) + b'\xe0'
scan = b'\xff\xda\x00\x08\x01' + bytes([component, 0x01, 1, 63, 0x10]) + bytes(64)
open('scans.jpg', 'wb').write(grey[:-2] + table + scan * 494 + grey[-2:])
