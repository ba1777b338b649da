#!/usr/bin/env python3
"""Draws the viewer's icon: a page with text lines and a footnote rule, in the 16-colour
palette, as one .ico with a 32x32 and a 16x16 image. Run it to regenerate scrivora.ico."""
import struct
import sys

# The standard VGA palette; index 0 black, 15 white.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, SILVER, WHITE, RED = 0, 4, 8, 7, 15, 9


def draw(size):
    """Pixels (row 0 at the top) and a transparency mask (True = transparent)."""
    s = size / 32.0
    px = [[0] * size for _ in range(size)]
    clear = [[True] * size for _ in range(size)]
    left, right = int(5 * s), int(26 * s)
    top, bottom = int(2 * s), size - 1 - int(1 * s)
    fold = int(6 * s)
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x > right - fold and y < top + fold and (x - (right - fold)) > (y - top):
                continue  # the folded corner
            clear[y][x] = False
            edge = x in (left, right) or y in (top, bottom)
            px[y][x] = BLACK if edge else WHITE
    for i in range(fold):  # the fold line
        x, y = right - fold + i, top + i
        px[y][x], clear[y][x] = BLACK, False
        px[top + fold][x], clear[top + fold][x] = BLACK, False
        px[y][right - fold], clear[y][right - fold] = BLACK, False
    step = max(2, int(3 * s))
    y = top + fold + step
    note_rule = bottom - int(8 * s)
    while y < note_rule - 1:
        for x in range(left + int(3 * s), right - int(3 * s)):
            px[y][x] = NAVY
        y += step
    for x in range(left + int(3 * s), left + int(11 * s)):
        px[note_rule][x] = GREY
    y = note_rule + step
    while y < bottom - 1:
        for x in range(left + int(3 * s), right - int(6 * s)):
            px[y][x] = SILVER
        y += step
    # The note marker: a red dot beside the text.
    d = max(1, int(2 * s))
    cx, cy = right - int(5 * s), note_rule - int(5 * s)
    for yy in range(cy, cy + d):
        for xx in range(cx, cx + d):
            px[yy][xx] = RED
    return px, clear


def dib(size):
    px, clear = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_row = (size // 2 + 3) & ~3
    and_row = ((size + 31) // 32) * 4
    xor = b''
    mask = b''
    for y in reversed(range(size)):  # bottom-up rows
        row = bytearray(xor_row)
        for x in range(size):
            v = 0 if clear[y][x] else px[y][x]
            row[x // 2] |= v << (4 if x % 2 == 0 else 0)
        xor += bytes(row)
        bits = bytearray(and_row)
        for x in range(size):
            if clear[y][x]:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + palette + xor + mask


def main(path):
    images = [dib(32), dib(16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'scrivora.ico')
