#!/usr/bin/env python3
"""Draws the program's icon, a clock face, and writes it as resources/a_main.ico: one 32x32 image
in 16 colours and one in 256, as the icon group A_MAIN carries them.

    python3 resources/make_icon.py [output]
"""
import math
import struct
import sys

SIZE = 32

# The 16-colour palette of the classic VGA console, as (blue, green, red).
VGA = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
       (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255),
       (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]


def draw():
    """Returns rows of (shade, opaque): shade 0 face, 1 rim, 2 hands, 3 centre, 4 ticks."""
    c = (SIZE - 1) / 2
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            dx, dy = x - c, c - y
            r = math.hypot(dx, dy)
            if r > 15.6:
                row.append((0, False))
                continue
            shade = 1 if r > 13.2 else 0
            angle = math.degrees(math.atan2(dx, dy)) % 360
            if 10.5 < r <= 13.2 and min(angle % 30, 30 - angle % 30) < 4:
                shade = 4
            # Hands at ten past ten: along a direction, within a width, up to a length.
            for deg, length in ((300, 7.5), (60, 11.0)):
                ux, uy = math.sin(math.radians(deg)), math.cos(math.radians(deg))
                along = dx * ux + dy * uy
                across = abs(dx * uy - dy * ux)
                if 0 <= along <= length and across < 1.1:
                    shade = 2
            if r < 1.8:
                shade = 3
            row.append((shade, True))
        rows.append(row)
    return rows


def image(rows, bits, palette, index_of):
    """A BITMAPINFOHEADER image with its colour table, XOR bits and AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bits, 0, 0, 0, 0, len(palette), 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for b, g, r in palette)
    xor, mask = b"", b""
    for row in reversed(rows):  # bottom-up
        indices = [index_of(shade) if opaque else 0 for shade, opaque in row]
        if bits == 4:
            line = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, SIZE, 2))
        else:
            line = bytes(indices)
        xor += line + b"\0" * (-len(line) % 4)
        bitsrow = 0
        for shade, opaque in row:
            bitsrow = (bitsrow << 1) | (0 if opaque else 1)
        mask += bitsrow.to_bytes(SIZE // 8, "big") + b"\0" * (-(SIZE // 8) % 4)
    return header + table + xor + mask


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/a_main.ico"
    rows = draw()
    # 16 colours: white face, navy rim, black hands, red centre, grey ticks.
    vga_index = {0: 15, 1: 1, 2: 0, 3: 12, 4: 8}
    small = image(rows, 4, VGA, vga_index.get)
    # 256 colours: the same drawing in softer colours, the rest of the table a grey ramp.
    colours = [(250, 244, 236), (120, 60, 20), (40, 30, 30), (40, 40, 220), (150, 140, 130)]
    palette = colours + [(i, i, i) for i in range(256 - len(colours))]
    large = image(rows, 8, palette, lambda shade: shade)
    images = [(16, 4, small), (0, 8, large)]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for colour_count, bits, blob in images:
        data += struct.pack("<BBBBHHII", SIZE, SIZE, colour_count, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    data += b"".join(blob for _, _, blob in images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
