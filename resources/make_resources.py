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


# The about box's picture, 326 x 227 with 256 colours: the window's own motifs, a hatched
# imagesetter plate with a page on it, crop and registration marks, the colour bar and the
# emulsion mark, under the name in block letters.
def about_picture():
    palette = [(236, 236, 236), BLACK, WHITE, (200, 0, 0), CYAN, MAGENTA, YELLOW, (120, 120, 120)]
    bg, ink, paper, red, cyan, magenta, yellow, grey = range(8)
    w, h = 326, 227
    px = [[bg] * w for _ in range(h)]

    def rect(x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(h, y1)):
            for x in range(max(0, x0), min(w, x1)):
                px[y][x] = c

    # the plate: a black backward-diagonal hatch inside a red outline
    for y in range(40, 210):
        for x in range(30, 160):
            if (x + y) % 8 == 0:
                px[y][x] = ink
    for x in range(30, 160):
        px[40][x] = px[209][x] = red
    for y in range(40, 210):
        px[y][30] = px[y][159] = red
    rect(40, 60, 110, 160, paper)  # the page, with crop marks at its corners
    for cx, cy in ((40, 60), (110, 60), (40, 160), (110, 160)):
        rect(cx - 10, cy, cx - 2, cy + 1, ink)
        rect(cx + 2, cy, cx + 10, cy + 1, ink)
        rect(cx, cy - 10, cx + 1, cy - 2, ink)
        rect(cx, cy + 2, cx + 1, cy + 10, ink)
    for i, c in enumerate((cyan, magenta, yellow, ink)):  # the colour bar
        rect(172, 40 + i * 42, 190, 40 + i * 42 + 40, c)
    rect(196, 40, 214, 120, (grey))
    # the emulsion mark
    rect(230, 150, 238, 200, ink)
    for y0 in (150, 171, 192):
        rect(230, y0, 262 if y0 != 171 else 254, y0 + 8, ink)
    # registration mark
    for y in range(60, 101):
        for x in range(226, 267):
            d = ((x - 246) ** 2 + (y - 80) ** 2) ** 0.5
            if 13 <= d <= 15 or x == 246 or y == 80:
                px[y][x] = ink
    # "ZELK" in 5 x 7 block letters, four pixels a dot
    letters = {
        'Z': ["#####", "    #", "   # ", "  #  ", " #   ", "#    ", "#####"],
        'E': ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
        'L': ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
        'K': ["#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"],
    }
    for i, ch in enumerate("ZELK"):
        for row, line in enumerate(letters[ch]):
            for col, dot in enumerate(line):
                if dot == '#':
                    rect(190 + i * 28 + col * 4, 196 + row * 4 - 190, 194 + i * 28 + col * 4,
                         200 + row * 4 - 190, red)
    return palette, px


def bitmap8(palette, px):
    """An 8-bit BMP with its palette, rows stored bottom up, each padded to four bytes."""
    height, width = len(px), len(px[0])
    stride = (width + 3) // 4 * 4
    table = b''.join(bytes((b, g, r, 0)) for r, g, b in palette + [(0, 0, 0)] * (256 - len(palette)))
    pixels = b''.join(bytes(line) + b'\0' * (stride - width) for line in reversed(px))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return header + info + table + pixels


(HERE / 'about.bmp').write_bytes(bitmap8(*about_picture()))
