#!/usr/bin/env python3
"""make_icon.py: draws the program's icon, a small board with black grid lines on white, blue crosses
top left and in the centre, red rings top right and bottom right, in the sizes Windows asks for at 100
to 200 % scale: 16, 20, 24, 32, 40, 48, 64 and 256 pixels. The 32 x 32 image is drawn by hand in the 16
standard colours; the others are drawn from the same shapes at their size, the 256 one with smoothed
edges. Each image is stored in the smaller of two forms: a 16-colour bitmap or a PNG in 32-bit colour
(Windows reads both from Vista on); the 32 x 32 one always as its bitmap. Writes an .ico file."""
import struct
import sys
import zlib

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, RED, BLUE, WHITE = 0, 9, 12, 15
SIZE = 32
SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
CELL_STARTS = (0, 11, 22)  # each square is 10 pixels, with grid lines at 10 and 21


def draw():
    pixels = [[WHITE] * SIZE for _ in range(SIZE)]
    for line in (10, 21):
        for i in range(SIZE):
            pixels[line][i] = BLACK
            pixels[i][line] = BLACK

    def cross(row, col):
        top, left = CELL_STARTS[row], CELL_STARTS[col]
        for i in range(1, 9):
            for j in (i, i + 1):  # two pixels wide
                if j < 9:
                    pixels[top + i][left + j] = BLUE
                    pixels[top + i][left + 9 - j] = BLUE

    def ring(row, col):
        top, left = CELL_STARTS[row], CELL_STARTS[col]
        centre = 4.5
        for y in range(10):
            for x in range(10):
                distance = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
                if 2.2 <= distance <= 3.8:
                    pixels[top + y][left + x] = RED

    cross(0, 0)
    cross(1, 1)
    ring(0, 2)
    ring(2, 2)
    return [[PALETTE[p] for p in row] for row in pixels]


def draw_at(size, smooth):
    """The same board at another size, as (red, green, blue) rows: lines and squares in the 32 x 32
    image's proportions, crosses and rings measured on their square; with smooth, every pixel is the
    mix of 4 x 4 samples, in four steps from white to the colour."""
    width = max(1, round(size / 32))
    lines = [round(size * 10 / 32), round(size * 21 / 32)]
    starts, ends = [0, lines[0] + width, lines[1] + width], [lines[0], lines[1], size]
    marks = {(0, 0): BLUE, (1, 1): BLUE, (0, 2): RED, (2, 2): RED}

    def colour(x, y):  # at a point (x, y) in pixels from the top left corner
        for line in lines:
            if line <= x < line + width or line <= y < line + width:
                return BLACK
        col = next(i for i in range(3) if x < ends[i])
        row = next(i for i in range(3) if y < ends[i])
        mark = marks.get((row, col))
        if mark is None:
            return WHITE
        cell = ends[col] - starts[col]
        u, v = (x - starts[col]) / cell, (y - starts[row]) / cell
        if mark == BLUE:  # two diagonals 0.2 of the square wide, 0.1 inside its edges
            inside = 0.1 <= u <= 0.9 and 0.1 <= v <= 0.9
            return BLUE if inside and min(abs(u - v), abs(u + v - 1)) <= 0.1 * 2 ** 0.5 else WHITE
        # A ring 0.16 of the square wide, at least a pixel, its outer edge 0.38 from the centre; in
        # squares of a few pixels a little larger, so that it closes around the centre pixel.
        distance = ((u - 0.5) ** 2 + (v - 0.5) ** 2) ** 0.5 * cell
        outer = 0.38 * cell + (0.35 if cell < 8 else 0)
        return RED if outer - max(0.16 * cell, 1) <= distance <= outer else WHITE

    samples = [(i + 0.5) / 4 for i in range(4)] if smooth else [0.5]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            seen = [colour(x + dx, y + dy) for dy in samples for dx in samples]
            ink = max(set(seen) - {WHITE}, key=seen.count, default=WHITE)
            share = round(3 * seen.count(ink) / len(seen)) / 3 if ink != WHITE else 0
            row.append(tuple(round(255 + (c - 255) * share) for c in PALETTE[ink]))
        rows.append(row)
    return rows


def bitmap(rows):
    """An icon image as a 16-colour bitmap with an opaque mask, or None where a colour is not one of
    the 16."""
    size = len(rows)
    if any(p not in PALETTE for row in rows for p in row):
        return None
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    stride, mask_stride = (size + 7) // 8 * 4, (size + 31) // 32 * 4
    xor = b""
    for row in reversed(rows):  # bottom-up
        indices = [PALETTE.index(p) for p in row] + [0]
        line = bytes((indices[x] << 4) | indices[x + 1] for x in range(0, size, 2))
        xor += line.ljust(stride, b"\0")
    mask = b"\x00" * (mask_stride * size)  # every pixel opaque
    return header + palette + xor + mask


def png(rows):
    """An icon image as a PNG of 8-bit red, green, blue and alpha (every pixel opaque): Windows reads a
    PNG in an icon only in that form. Each row is stored as it is or as its difference to the row above,
    whichever of the two compresses smaller over the whole image."""
    size = len(rows)
    lines = [b"".join(bytes(p) + b"\xff" for p in row) for row in rows]
    above = [bytes(4 * size)] + lines[:-1]
    plain = b"".join(b"\0" + line for line in lines)
    up = b"".join(b"\2" + bytes((a - b) & 255 for a, b in zip(line, prev)) for line, prev in zip(lines, above))
    data = min((zlib.compress(raw, 9) for raw in (plain, up)), key=len)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", data) + chunk(b"IEND", b""))


def images():
    """(size, data, bit count) for every size, smallest first."""
    for size in SIZES:
        if size == SIZE:
            yield size, bitmap(draw()), 4
            continue
        rows = draw_at(size, smooth=size > 64)
        as_bitmap, as_png = bitmap(rows), png(rows)
        if as_bitmap is not None and len(as_bitmap) <= len(as_png):
            yield size, as_bitmap, 4
        else:
            yield size, as_png, 32


def ico():
    found = list(images())
    directory = struct.pack("<HHH", 0, 1, len(found))
    offset = 6 + 16 * len(found)
    entries, data = b"", b""
    for size, image, bits in found:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bits == 4 else 0, 0, 1, bits,
                               len(image), offset + len(data))
        data += image
    return directory + entries + data


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(ico())
