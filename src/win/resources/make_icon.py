#!/usr/bin/env python3
"""Draws the program icon, a calendar page, at 16, 32 and 48 pixels and
writes it as a Windows .ico (32-bit images with an alpha channel).

    python3 make_icon.py vntra.ico
"""
import struct
import sys

RED = (200, 40, 40, 255)
DARK_RED = (140, 20, 20, 255)
PAGE = (255, 255, 255, 255)
EDGE = (90, 90, 90, 255)
DAY = (110, 110, 110, 255)
SUNDAY = (220, 60, 60, 255)
TODAY = (255, 200, 0, 255)
RING = (60, 60, 60, 255)
CLEAR = (0, 0, 0, 0)


def draw(size):
    px = [[CLEAR] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(size, y1)):
            for x in range(max(0, x0), min(size, x1)):
                px[y][x] = colour

    s = size / 16.0
    left, top, right, bottom = int(1 * s), int(2 * s), size - int(1 * s), size - int(1 * s)
    rect(left, top, right, bottom, EDGE)
    rect(left + 1, top + 1, right - 1, bottom - 1, PAGE)
    header = top + max(3, int(4 * s))
    rect(left + 1, top + 1, right - 1, header, RED)
    rect(left + 1, header - 1, right - 1, header, DARK_RED)
    # binding rings above the header
    for cx in (int(4 * s), size - int(5 * s)):
        rect(cx, top - max(1, int(1 * s)), cx + max(1, int(s)), top + max(2, int(2 * s)), RING)
    # a grid of days: 4 rows of 5, the first column a Sunday, one day marked today
    cols, rows = 5, 4
    grid_left, grid_top = left + 2, header + 1
    cell_w = max(2, (right - 2 - grid_left) // cols)
    cell_h = max(2, (bottom - 2 - grid_top) // rows)
    dot = max(1, cell_w - 1) if size > 16 else 1
    doth = max(1, cell_h - 1) if size > 16 else 1
    for r in range(rows):
        for c in range(cols):
            x = grid_left + c * cell_w
            y = grid_top + r * cell_h
            colour = SUNDAY if c == 0 else DAY
            if (r, c) == (2, 3):
                colour = TODAY
                rect(x, y, x + max(dot, 2), y + max(doth, 2), colour)
                continue
            rect(x, y, x + dot, y + doth, colour)
    return px


def image_bytes(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in reversed(range(size)):
        for r, g, b, a in px[y]:
            xor += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    and_mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(mask_row)
        for x in range(size):
            if px[y][x][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        and_mask += bits
    return header + bytes(xor) + bytes(and_mask)


def main(out):
    sizes = (16, 32, 48)
    images = [image_bytes(s) for s in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        data += img
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
