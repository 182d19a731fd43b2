#!/usr/bin/env python3
"""Writes the program's icon, hand cursor and colour-model pictures from the pictures below.

Run it after changing a picture; its outputs are committed beside it.
"""
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent

# 32 x 32; '#' black, '+' white, '-' hatch grey, 'r' red, ' ' transparent.
ICON = """
rrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrr
r-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+r
r+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-r
r-+##########################+-r
r+-##########################-+r
r-+##########################+-r
r+-#####+++++++++++++++++++++-+r
r-+#####+++++++++++++++++++++-+r
r+-#####+++++++++++++++++++++-+r
r-+#####+++++++++++++++++++++-+r
r+-#####+++++++++++++++++++++-+r
r-+##################+++++++++-r
r+-##################+++++++++-r
r-+##################+++++++++-r
r+-##################+++++++++-r
r-+#####+++++++++++++++++++++-+r
r+-#####+++++++++++++++++++++-+r
r-+#####+++++++++++++++++++++-+r
r+-#####+++++++++++++++++++++-+r
r-+#####+++++++++++++++++++++-+r
r+-##########################+-r
r-+##########################-+r
r+-##########################+-r
r-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+r
r+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-r
r-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+r
r+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-r
r-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+r
r+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-r
r-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+r
r+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-r
rrrrrrrrrrrrrrrrrrrrrrrrrrrrrrrr
"""

# The pointing hand; its hot spot is the finger tip at (6, 0).
HAND = """
     ##
    #++#
    #++#
    #++#
    #++#
    #++###
    #++#++###
    #++#++#++##
 ## #++#++#++#+#
#++##++++++++#+#
#+++#++++++++++#
 #++++++++++++++#
  #+++++++++++++#
  #++++++++++++#
   #+++++++++++#
   #++++++++++#
    #+++++++++#
    #+++++++++#
    ###########
"""

COLOURS = {'#': (0, 0, 0), '+': (255, 255, 255), '-': (160, 160, 160), 'r': (255, 0, 0)}


def rows(picture):
    lines = picture.strip('\n').split('\n')
    return [(line + ' ' * 32)[:32] for line in lines] + [' ' * 32] * (32 - len(lines))


def image_entry(picture, kind, hotspot):
    grid = rows(picture)
    pixels = b''
    mask = b''
    for line in reversed(grid):  # bottom row first
        bits = 0
        for x, ch in enumerate(line):
            r, g, b = COLOURS.get(ch, (0, 0, 0))
            pixels += bytes((b, g, r, 0 if ch == ' ' else 255))
            if ch == ' ':
                bits |= 1 << (31 - x)
        mask += struct.pack('>I', bits)
    header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    data = header + pixels + mask
    planes, bpp = (1, 32) if kind == 1 else hotspot
    directory = struct.pack('<HHH', 0, kind, 1)
    entry = struct.pack('<BBBBHHII', 32, 32, 0, 0, planes, bpp, len(data), 6 + 16)
    return directory + entry + data


(HERE / 'zelk.ico').write_bytes(image_entry(ICON, 1, None))
(HERE / 'hand.cur').write_bytes(image_entry(HAND, 2, (6, 0)))


# The colour-model pictures of the colour bar: 213 rows, top row first, drawn stretched to
# 40 x 213. Each is given as (row, colour) stops: a colour holds from its row to the next
# stop's, or fades to it where the stop says so.
WHITE, BLACK = (255, 255, 255), (0, 0, 0)
RED, GREEN, BLUE = (255, 0, 0), (0, 255, 0), (0, 0, 255)
CYAN, MAGENTA, YELLOW = (0, 255, 255), (255, 0, 255), (255, 255, 0)


def bands(*stops):
    """Solid bands: (first row, colour), ... up to row 212."""
    column = []
    for i, (first, colour) in enumerate(stops):
        last = stops[i + 1][0] - 1 if i + 1 < len(stops) else 212
        column += [colour] * (last - first + 1)
    return column


def fades(*stops):
    """Colours fading linearly from stop to stop: (row, colour), ..., the last at row 212."""
    column = []
    for (r0, c0), (r1, c1) in zip(stops, stops[1:]):
        for row in range(r0, r1):
            t = (row - r0) / (r1 - r0)
            column.append(tuple(round(a + (b - a) * t) for a, b in zip(c0, c1)))
    return column + [stops[-1][1]]


def alpha_cross():
    """Black with a white cross: one white column in the middle, three wide in its middle."""
    grid = []
    for row in range(213):
        line = [BLACK] * 5
        if 50 <= row <= 162:
            line[2] = WHITE
        if 89 <= row <= 123:
            line[1] = line[3] = WHITE
        grid.append(line)
    return grid


PICTURES = {
    'gr': bands((0, WHITE), (37, (212, 212, 212)), (72, (170, 170, 170)), (108, (128, 128, 128)),
                (142, (85, 85, 85)), (177, BLACK)),
    'bw': bands((0, WHITE), (108, BLACK)),  # "B&"
    'cm': bands((0, CYAN), (54, MAGENTA), (107, YELLOW), (160, WHITE), (169, (204, 204, 204)),
                (178, (153, 153, 153)), (187, (102, 102, 102)), (196, (51, 51, 51)), (205, BLACK)),
    'rg': fades((0, RED), (60, BLACK), (100, GREEN), (114, GREEN), (150, BLACK), (212, BLUE)),
    'in': bands((0, BLACK), (3, RED), (70, BLACK), (73, GREEN), (140, BLACK), (143, BLUE),
                (210, BLACK)),
    'yc': fades((0, (0, 0, 128)), (60, (128, 192, 255)), (96, WHITE), (118, WHITE),
                (165, (255, 182, 193)), (212, RED)),
    'ci': fades((0, RED), (30, (128, 128, 0)), (70, GREEN), (98, WHITE), (112, WHITE),
                (130, (255, 255, 192)), (150, YELLOW), (180, (112, 128, 160)), (212, BLUE)),
    'al': alpha_cross(),
}


def bitmap(grid):
    """A 24-bit BMP, rows stored bottom up, each padded to four bytes."""
    width, height = len(grid[0]), len(grid)
    stride = (width * 3 + 3) // 4 * 4
    pixels = b''
    for line in reversed(grid):
        row = b''.join(bytes((b, g, r)) for r, g, b in line)
        pixels += row + b'\0' * (stride - len(row))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


for name, picture in PICTURES.items():
    grid = picture if isinstance(picture[0], list) else [[colour] for colour in picture]
    assert len(grid) == 213, name
    (HERE / f'{name}.bmp').write_bytes(bitmap(grid))
