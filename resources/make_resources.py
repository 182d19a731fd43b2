#!/usr/bin/env python3
"""Writes the program's icon and hand cursor from the pictures below.

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
