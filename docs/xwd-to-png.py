#!/usr/bin/env python3
# Turns an X window dump (ZPixmap, 32 bits per pixel) into an 8-bit RGB PNG:
#   docs/xwd-to-png.py DUMP.xwd OUT.png
# (so the scripts that photograph the viewer's window need no ImageMagick).
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', data[:100])
size, width, height, order, bpl, colours = h[0], h[4], h[5], h[7], h[12], h[19]
masks = h[14:17]
start = size + colours * 12
rows = []
for y in range(height):
    row = bytearray(b'\0')
    for x in range(width):
        at = start + y * bpl + 4 * x
        v = int.from_bytes(data[at:at + 4], 'little' if order == 0 else 'big')
        for m in masks:
            row.append((v & m) >> ((m & -m).bit_length() - 1))
    rows.append(bytes(row))
def chunk(kind, body):
    return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
with open(sys.argv[2], 'wb') as f:
    f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + chunk(b'IEND', b''))
