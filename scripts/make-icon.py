#!/usr/bin/env python3
"""Draws Vorlund's icon (a key cap with a gold star) as 16, 20, 24, 32 and 48 pixel images
(the small and large icon sizes at 100, 125 and 150 %) with a 256-colour palette, and
writes them as one .ico file. Deterministic: the same bytes each run.

    scripts/make-icon.py src/res/Vorlund.ico
"""
import math
import struct
import sys

PALETTE = [
    (0, 0, 0),        # 0 transparent (masked)
    (32, 56, 120),    # 1 key cap edge
    (58, 96, 180),    # 2 key cap face
    (120, 160, 225),  # 3 highlight
    (250, 200, 40),   # 4 star
    (180, 120, 10),   # 5 star outline
]


def inside_rounded(x, y, size, inset, radius):
    lo, hi = inset, size - 1 - inset
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and lo <= x <= hi and lo <= y <= hi


def star_points(cx, cy, outer, inner):
    pts = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = -math.pi / 2 + i * math.pi / 5
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def inside_polygon(x, y, pts):
    hit = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def draw(size):
    s = size / 32.0
    star = star_points(size / 2, size / 2 + 0.5 * s, 11 * s, 4.6 * s)
    star_in = star_points(size / 2, size / 2 + 0.5 * s, 9.2 * s, 3.6 * s)
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            c = 0
            if inside_rounded(x, y, size, 0, max(2, int(5 * s))):
                c = 1
                if inside_rounded(x, y, size, max(1, int(2 * s)), max(1, int(4 * s))):
                    c = 3 if y < size * 0.18 else 2
            if inside_polygon(px, py, star):
                c = 5
                if inside_polygon(px, py, star_in) or size <= 16:
                    c = 4
            row.append(c)
        pixels.append(row)
    return pixels


def bitmap(size):
    pixels = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    palette += b"\0\0\0\0" * (256 - len(PALETTE))
    xor = b"".join(bytes(pixels[y]) for y in reversed(range(size)))
    mask_row = ((size + 31) // 32) * 4
    mask = b""
    for y in reversed(range(size)):
        bits = 0
        row = bytearray(mask_row)
        for x in range(size):
            if pixels[y][x] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(row)
    return header + palette + xor + mask


def main(path):
    images = [(size, bitmap(size)) for size in (16, 20, 24, 32, 48)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
