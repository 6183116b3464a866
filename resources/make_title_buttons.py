#!/usr/bin/env python3
"""Draws the title-band button pictures (21 x 21 PNG, our own drawings) into buttons/.

Each of minimize, exit and close comes in three states: norm, over and pres. The button is a
rounded square with a soft vertical gradient and a glyph; edges are smoothed by sampling every
pixel 4 x 4 times. Run it again after changing a colour or a shape; the PNGs are committed.
"""

import math
import os
import struct
import zlib

SIZE = 21
SAMPLES = 4
HERE = os.path.dirname(os.path.abspath(__file__))

# (top fill, bottom fill, border, glyph) per look, as (red, green, blue).
LOOKS = {
    "norm": ((232, 237, 248), (190, 202, 230), (98, 116, 164), (38, 52, 96)),
    "over": ((250, 252, 255), (208, 222, 250), (58, 92, 178), (20, 44, 120)),
    "pres": ((168, 182, 216), (206, 216, 240), (52, 70, 126), (22, 32, 70)),
    "exit_over": ((246, 150, 140), (206, 64, 52), (150, 36, 28), (255, 255, 255)),
    "exit_pres": ((170, 44, 36), (214, 96, 86), (110, 24, 18), (255, 236, 232)),
}


def inside_rounded(x, y, radius=3.5):
    """Whether the point lies inside the button's rounded square (pixel edges at 0 and 21)."""
    lo, hi = 0.5, SIZE - 0.5
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_rounded_inset(x, y, inset=1.0, radius=2.5):
    lo, hi = 0.5 + inset, SIZE - 0.5 - inset
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def glyph_minimize(x, y):
    return 6.0 <= x <= 15.0 and 13.0 <= y <= 15.5


def glyph_cross(x, y):
    a = segment_distance(x, y, 6.5, 6.5, 14.5, 14.5)
    b = segment_distance(x, y, 14.5, 6.5, 6.5, 14.5)
    return min(a, b) <= 1.15


GLYPHS = {"minimize": glyph_minimize, "exit": glyph_cross, "close": glyph_cross}


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def render(glyph, look, offset):
    top, bottom, border, ink = look
    rows = []
    for py in range(SIZE):
        row = bytearray()
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0]
            cover = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    y = py + (sy + 0.5) / SAMPLES
                    if not inside_rounded(x, y):
                        continue
                    cover += 1
                    if not inside_rounded_inset(x, y):
                        colour = border
                    elif glyph(x - offset, y - offset):
                        colour = ink
                    else:
                        colour = mix(top, bottom, (y - 1.0) / (SIZE - 2.0))
                    for i in range(3):
                        acc[i] += colour[i]
            if cover:
                row += bytes(int(round(acc[i] / cover)) for i in range(3))
                row.append(int(round(255 * cover / SAMPLES ** 2)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def write_png(path, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def main():
    folder = os.path.join(HERE, "buttons")
    os.makedirs(folder, exist_ok=True)
    for name, glyph in GLYPHS.items():
        for state in ("norm", "over", "pres"):
            look = LOOKS.get(f"{name}_{state}", LOOKS[state])
            offset = 1.0 if state == "pres" else 0.0
            write_png(os.path.join(folder, f"{name}_{state}.png"), render(glyph, look, offset))


if __name__ == "__main__":
    main()
