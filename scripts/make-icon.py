#!/usr/bin/env python3
"""Draws Norvell's icon, a clock over a small window, as a 32 x 32 icon in the 16 standard
Windows colours, and writes it to editor/win/norvell.ico (or the path given). The icon is
committed; run this again only to change the picture."""
import math
import struct
import sys
from pathlib import Path

SIZE = 32
# The 16-colour palette of Windows, in its usual order: (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, SILVER, GREY, RED, YELLOW, BLUE, WHITE = 0, 4, 7, 8, 9, 11, 12, 15
CLEAR = None


def draw():
    pixels = [[CLEAR] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            pixels[y][x] = colour

    # The window: frame, title bar with a close box, a page with a few lines of text.
    left, top, right, bottom = 1, 13, 23, 30
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            edge = x in (left, right) or y in (top, bottom)
            put(x, y, BLACK if edge else (NAVY if y <= top + 3 else WHITE))
    for x in range(right - 4, right - 1):
        for y in range(top + 1, top + 3):
            put(x, y, SILVER)
    for y in (top + 7, top + 10, top + 13):
        for x in range(left + 3, left + 11):
            put(x, y, GREY)

    # The clock: a red rim with a black edge, a yellow face, ticks, hands at ten past ten.
    cx, cy, radius = 21.5, 10.5, 10.0
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x + 0.5 - cx - 0.5, y + 0.5 - cy - 0.5)
            if d <= radius - 3.0:
                put(x, y, YELLOW)
            elif d <= radius - 1.0:
                put(x, y, RED)
            elif d <= radius:
                put(x, y, BLACK)
    centre = (int(cx), int(cy))
    for hour in range(12):
        angle = math.radians(hour * 30)
        r = radius - 4.2 if hour % 3 else radius - 4.6
        put(round(centre[0] + r * math.sin(angle)), round(centre[1] - r * math.cos(angle)),
            BLUE if hour % 3 else BLACK)

    def hand(angle_degrees, length):
        angle = math.radians(angle_degrees)
        steps = int(length * 4)
        for step in range(steps + 1):
            t = length * step / steps
            put(round(centre[0] + t * math.sin(angle)), round(centre[1] - t * math.cos(angle)),
                BLACK)

    hand(300, 3.6)  # the hour hand towards ten
    hand(60, 5.2)   # the minute hand towards two
    put(centre[0], centre[1], RED)
    return pixels


def icon_bytes(pixels):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bitmaps run bottom-up
        for x in range(0, SIZE, 2):
            high, low = (c if c is not None else 0 for c in row[x:x + 2])
            xor.append(high << 4 | low)
        bits = 0
        for x, colour in enumerate(row):
            if colour is None:
                bits |= 1 << (SIZE - 1 - x)
        mask += bits.to_bytes(SIZE // 8, "big")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask),
                         0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else \
        Path(__file__).resolve().parent.parent / "editor" / "win" / "norvell.ico"
    out.write_bytes(icon_bytes(draw()))
    print(f"Wrote {out}")


if __name__ == "__main__":
    main()
