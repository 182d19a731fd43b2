#!/usr/bin/env bash
# Writes the PDF and TIFF fixtures with third-party programs from Debian's packages:
# ghostscript, cairo (python3-cairo), qpdf, ImageMagick, libtiff's tools and icc-profiles-free. The outputs are
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
# Spot colours three ways (setcustomcolor, /Separation, /DeviceN with a process ink), page
# boxes and info set by pdfmark; then the same in object streams, and turned by /Rotate.
cat > "$tmp/spots.ps" <<'PS'
%!PS-Adobe-3.0
%%BoundingBox: 0 0 595 842
%%Pages: 1
%%EndComments
%%Page: 1 1
[ /CropBox [10 10 585 832] /TrimBox [20 20 575 822] /BleedBox [14 14 581 828] /PAGE pdfmark
[ /Title (Spot colour job) /Creator (make_pdf_tif_fixtures.sh) /DOCINFO pdfmark
/Helvetica findfont 24 scalefont setfont
0 0.5 1 0 (PANTONE 151 C) findcmykcustomcolor 0.8 setcustomcolor 100 100 200 200 rectfill
[/Separation (PANTONE 185 C) /DeviceCMYK {dup 0.91 mul exch dup 0.76 mul exch pop 0 0}]
setcolorspace 1 setcolor 100 400 200 200 rectfill
[/DeviceN [/Cyan /Gold] /DeviceCMYK {pop 0 0 0}] setcolorspace 1 1 setcolor
350 400 100 100 rectfill
0 0 0 1 setcmykcolor 72 760 moveto (Spot colours) show
showpage
%%EOF
PS
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile=gs-spots.pdf "$tmp/spots.ps"
qpdf --object-streams=generate gs-spots.pdf qpdf-spots-objstreams.pdf
qpdf --rotate=+90:1 --object-streams=generate gs-spots.pdf qpdf-rotated.pdf

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
# Separated with ink names (tiffset reads them, NUL-separated, from a file) and a mirrored
# orientation; RGB with an ICC profile and a turned orientation from ImageMagick
$IM -size 64x48 gradient:cyan-yellow -colorspace CMYK -depth 8 -compress None -units PixelsPerInch -density 72 cmyk-inknames-tiffset.tif
printf 'Cyan\0Magenta\0Yellow\0PANTONE 185 C\0' > "$tmp/names"
tiffset -sf 333 "$tmp/names" cmyk-inknames-tiffset.tif
tiffset -s 274 5 cmyk-inknames-tiffset.tif
$IM -size 64x48 gradient:red-blue -depth 8 -compress LZW -units PixelsPerInch -density 150 -profile /usr/share/color/icc/sRGB.icc -orient RightTop rgb-icc-orient-im.tif
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
