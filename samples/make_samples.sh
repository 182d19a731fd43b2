#!/usr/bin/env bash
# Regenerates the bundled sample job: a two-page A4 document set by groff and written as
# PostScript by ghostscript's ps2write, third-party programs from Debian's packages, so the
# sample is PostScript as real drivers write it. Output is committed.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cat > "$tmp/sample.man" <<'MAN'
.TH ZELK-SAMPLE 7 "2026" "Prepress" "Sample job"
.SH NAME
zelk-sample \- a two-page job for trying Zelk
.SH DESCRIPTION
This job was set by groff for A4 paper and written as PostScript by ghostscript.
Zelk reads its DSC comments: title, creator, creation date, page count
and bounding box, and draws the page on the imagesetter's plate.
.bp
The second page.
MAN
groff -man -Tps -dpaper=a4 -P-pa4 "$tmp/sample.man" > "$tmp/sample.ps"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="$tmp/sample.pdf" "$tmp/sample.ps"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=ps2write -sOutputFile=sample.ps "$tmp/sample.pdf"
