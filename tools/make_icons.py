#!/usr/bin/env python3
"""Draws the installer's icons as .ico files (32-bit colour, sizes given per icon), so the
pictures are reproducible from this source. Usage: make_icons.py OUTPUT_FOLDER"""
import struct
import sys
from pathlib import Path


def ico(images):
    """images: list of (size, pixel function (x, y, size) -> (r, g, b, a))."""
    header = struct.pack('<HHH', 0, 1, len(images))
    entries, blobs = b'', b''
    offset = 6 + 16 * len(images)
    for size, pixel in images:
        rows = []
        for y in range(size - 1, -1, -1):   # bottom-up DIB
            rows.append(b''.join(struct.pack('BBBB', b, g, r, a)
                                 for r, g, b, a in (pixel(x, y, size) for x in range(size))))
        mask_row = b'\0' * (((size + 31) // 32) * 4)
        dib = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        blob = dib + b''.join(rows) + mask_row * size
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return header + entries + blobs


def application_icon(x, y, size):
    # A rounded slate-blue tile with a light drafting triangle.
    u, v = (x + 0.5) / size, (y + 0.5) / size
    r = 0.18
    dx, dy = max(abs(u - 0.5) - (0.5 - r), 0), max(abs(v - 0.5) - (0.5 - r), 0)
    if dx * dx + dy * dy > r * r:
        return (0, 0, 0, 0)
    if 0.22 < u < 0.78 and 0.22 < v < 0.78 and (u - 0.22) > (0.78 - v) * 0.0 and v > 1.0 - u:
        return (240, 236, 224, 255)
    shade = int(40 * v)
    return (46 + shade, 84 + shade, 140 + shade, 255)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / 'application.ico').write_bytes(ico([(s, application_icon) for s in (16, 32, 48)]))


if __name__ == '__main__':
    main()
