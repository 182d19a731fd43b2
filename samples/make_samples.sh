#!/usr/bin/env bash
# Regenerates the bundled sample job with groff (Debian's groff-base), a third-party
# program, so the sample is PostScript as real drivers write it. Output is committed.
set -euo pipefail
cd "$(dirname "$0")"
src=$(mktemp)
trap 'rm -f "$src"' EXIT
cat > "$src" <<'MAN'
.TH ZELK-SAMPLE 7 "2026" "Prepress" "Sample job"
.SH NAME
zelk-sample \- a one-page job for trying Zelk
.SH DESCRIPTION
This page was set by groff for A4 paper.
Zelk reads its DSC comments: title, creator, creation date, page count
and bounding box, and draws the page on the imagesetter's plate.
MAN
groff -man -Tps -dpaper=a4 -P-pa4 "$src" > sample.ps
