#!/usr/bin/env bash
# Writes the PostScript fixtures with third-party programs from Debian's packages (groff,
# enscript, ghostscript). The outputs are committed; run this only to remake them.
set -euo pipefail
cd "$(dirname "$0")/ps"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cat > "$tmp/page.man" <<'MAN'
.TH FIXTURE 7 "2026" "Prepress" "Fixture"
.SH NAME
fixture \- two pages set by groff
.SH DESCRIPTION
First page.
.bp
Second page.
MAN
groff -man -Tps -dpaper=letter -P-pletter "$tmp/page.man" > groff-letter.ps

printf 'Line one of a listing\nLine two\n' > "$tmp/listing.txt"
enscript --quiet --media=A4 --title="Listing" -o enscript-a4.ps "$tmp/listing.txt"

# ghostscript's own writers, from a groff job turned into a PDF first
groff -man -Tps -dpaper=a4 -P-pa4 "$tmp/page.man" > "$tmp/a4.ps"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="$tmp/a4.pdf" "$tmp/a4.ps"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ps2write -sOutputFile=gs-ps2write.ps "$tmp/a4.pdf"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=eps2write -dFirstPage=1 -dLastPage=1 \
   -sOutputFile=gs-eps2write.eps "$tmp/a4.pdf"
