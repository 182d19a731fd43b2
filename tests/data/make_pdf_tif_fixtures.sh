#!/usr/bin/env bash
# Writes the PDF and TIFF fixtures with third-party programs from Debian's packages:
# ghostscript, cairo (python3-cairo), qpdf, ImageMagick and libtiff's tools. The outputs are
# committed; run this only to remake them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
IM=/usr/bin/convert

# --- PDF
cd "$here/pdf"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile=gs-pdfwrite.pdf "$here/ps/groff-letter.ps"
/usr/bin/python3 - <<'PY'
import cairo
surface = cairo.PDFSurface("cairo-a4.pdf", 595, 842)
ctx = cairo.Context(surface)
for page in range(3):
    ctx.set_source_rgb(0, 0, 0)
    ctx.move_to(72, 720)
    ctx.set_font_size(24)
    ctx.show_text("Page %d" % (page + 1))
    ctx.show_page()
surface.finish()
PY
qpdf --object-streams=disable cairo-a4.pdf qpdf-plain.pdf
qpdf --object-streams=generate cairo-a4.pdf qpdf-objstreams.pdf

# --- TIFF
cd "$here/tif"
$IM -size 64x48 gradient:red-blue -depth 8 -compress None -units PixelsPerInch -density 300 -define tiff:endian=lsb rgb-none-ii.tif
$IM -size 64x48 gradient:red-blue -depth 8 -compress LZW -units PixelsPerInch -density 300 -define tiff:endian=msb rgb-lzw-mm.tif
$IM -size 64x48 gradient: -colorspace Gray -depth 8 -compress RLE -units PixelsPerCentimeter -density 118.11 -define tiff:endian=msb grey-packbits-cm-mm.tif
$IM -size 64x48 gradient: -monochrome -compress Group4 -units PixelsPerInch -density 200 -define tiff:endian=lsb bilevel-g4-ii.tif
$IM -size 64x48 gradient: -monochrome -compress Fax -units Undefined -density 96 bilevel-fax-nounit.tif
$IM -size 64x48 gradient:red-blue -colorspace CMYK -depth 8 -compress LZW -units PixelsPerInch -density 150 cmyk-lzw.tif
$IM -size 64x48 gradient:red-blue -type Palette -compress None -units PixelsPerInch -density 72 palette.tif
$IM -size 64x48 gradient:red-blue -colorspace Lab -depth 8 -compress None -units PixelsPerInch -density 72 lab.tif
$IM -size 64x48 gradient:red-blue -depth 8 -compress None -units PixelsPerInch -density 72 "$tmp/rgb.tif"
tiffcp -c jpeg -r 16 -L "$tmp/rgb.tif" ycbcr-jpeg-tiffcp.tif
tiffcp -c packbits -B "$tmp/rgb.tif" rgb-packbits-tiffcp-mm.tif
tiffcp -c none rgb-none-ii.tif grey-packbits-cm-mm.tif multi-tiffcp.tif
# Text entries, set with libtiff's tiffset on a copy
cp "$tmp/rgb.tif" texts-tiffset.tif
tiffset -s 270 "A description of the image that runs on past the fifty characters" texts-tiffset.tif
tiffset -s 271 "HP" texts-tiffset.tif
tiffset -s 272 "ScanJet 8300" texts-tiffset.tif
tiffset -s 305 "An image editor with a rather long name, version 2.10" texts-tiffset.tif
tiffset -s 306 "2026:12:06 10:20:30" texts-tiffset.tif
tiffset -s 315 "Prepress department" texts-tiffset.tif
tiffset -s 316 "studio-mac" texts-tiffset.tif
tiffset -s 33432 "Copyright 2026 Example Print Shop" texts-tiffset.tif
