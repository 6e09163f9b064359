#!/usr/bin/env python3
"""make_icon.py: draws the program's icon, a 32 x 32 image in the 16 standard colours: a small board
with black grid lines on white, blue crosses top left and in the centre, red rings top right and
bottom right. Writes an .ico file with that single image."""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, RED, BLUE, WHITE = 0, 9, 12, 15
SIZE = 32
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
    return pixels


def ico(pixels):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor = b""
    for row in reversed(pixels):  # bottom-up
        xor += bytes((row[x] << 4) | row[x + 1] for x in range(0, SIZE, 2))
    mask = b"\x00" * (SIZE * 4)  # every pixel opaque; rows are 32 bits wide
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(ico(draw()))
