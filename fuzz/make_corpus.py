#!/usr/bin/env python3
"""Builds the seed corpora from the test fixtures: each seed is one control byte (answers,
and a big-file flag in its top bit) followed by the file's bytes, cut to keep seeds small."""
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
LIMIT = 16384

CRAFTED = (b"%!PS-Adobe-3.0 EPSF-3.0\n%%Title: Crafted\n%%Creator: make_corpus\n%%For: Fuzz\n"
           b"%%BoundingBox: 0 0 612 792\n%%Pages: (atend)\n%%DocumentNeededResources: font A\n"
           b"%%+ font B\n%%DocumentProcessColors: Cyan Black\n%%CMYKCustomColor: 0 0 0 1 (A)\n"
           b"%%+ .5 1.2.3 0 0 (B)\n%%RGBCustomColor: 1 0 0 (C)\n%%BeginFeature: *PageSize A4\n"
           b"%%EndComments\n-1 1 scale\n%%Page: 1 1\n%%PlateColor: Cyan\n%%PageTrailer\n"
           b"%%Trailer\n%%Pages: 1\n%%EOF\n")


# Item beginnings that never complete, so every candidate's search runs to the chunk end.
CRAFTED_PDF = b"%PDF-1.4\n" + b"/MediaBox [" * 500 + b"/Type /Pages " * 400 + b"/Count 3"


def write(kind, name, data):
    folder = ROOT / "fuzz" / "corpus" / kind
    folder.mkdir(parents=True, exist_ok=True)
    for control in (0x00, 0x81, 0xF1):
        (folder / f"{name}-{control:02x}").write_bytes(bytes([control]) + data[:LIMIT])


def main():
    for path in sorted((ROOT / "tests" / "data" / "ps").glob("*.*ps")):
        write("dsc", path.stem, path.read_bytes())
    write("dsc", "crafted", CRAFTED)
    write("pdf", "crafted", CRAFTED_PDF)
    for kind, folder, pattern in (("pdf", "pdf", "*.pdf"), ("tiff", "tif", "*.tif")):
        for path in sorted((ROOT / "tests" / "data" / folder).glob(pattern)):
            write(kind, path.stem, path.read_bytes())
    # zelk-inspect's readers: the control byte picks the reader (0 PDF, 1 TIFF, 2 DSC).
    folder = ROOT / "fuzz" / "corpus" / "preflight"
    folder.mkdir(parents=True, exist_ok=True)
    for control, sub, pattern in ((0, "pdf", "*.pdf"), (1, "tif", "*.tif"), (2, "ps", "*.*ps")):
        for path in sorted((ROOT / "tests" / "data" / sub).glob(pattern)):
            (folder / path.stem).write_bytes(bytes([control]) + path.read_bytes()[:4 * LIMIT])


if __name__ == "__main__":
    main()
