#!/usr/bin/env python3
"""Writes the paper notice's icon: a yellow warning triangle with a black
exclamation mark, 32x32 and 16x16 pixels, 16 colours (4 bits per pixel).
Usage: notice_icon.py <output.ico>"""
import struct
import sys

# The standard Windows 16-colour palette, as (red, green, blue).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, YELLOW, TRANSPARENT = 0, 11, None


def pixel(size, x, y):
    """Colour index at (x, y), y downwards; None outside the triangle."""
    s = size / 32.0
    cx, top, bottom = size / 2.0, 1 * s, size - 2 * s
    half_width = (y + 0.5 - top) / (bottom - top) * (size / 2.0 - s)
    dx = abs(x + 0.5 - cx)
    if y + 0.5 < top or y + 0.5 > bottom or dx > half_width:
        return TRANSPARENT
    if dx > half_width - 1.6 * s or y + 0.5 > bottom - 1.6 * s:
        return BLACK
    mark_half = 1.6 * s
    if dx < mark_half and (10 * s <= y < 21 * s or 23 * s <= y < 26 * s):
        return BLACK
    return YELLOW


def image(size):
    rows, mask = [], []
    for y in reversed(range(size)):  # bitmaps are stored bottom-up
        indices = [pixel(size, x, y) for x in range(size)]
        colour = bytes(((indices[x] or 0) << 4) | (indices[x + 1] or 0) for x in range(0, size, 2))
        rows.append(colour.ljust((len(colour) + 3) // 4 * 4, b"\0"))
        bits = bytearray((size + 7) // 8)
        for x, index in enumerate(indices):
            if index is TRANSPARENT:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask.append(bytes(bits).ljust((len(bits) + 3) // 4 * 4, b"\0"))
    pixels = b"".join(rows) + b"".join(mask)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + pixels


def main():
    images = [image(32), image(16)]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, data in zip((32, 16), images):
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + b"".join(images))


if __name__ == "__main__":
    main()
