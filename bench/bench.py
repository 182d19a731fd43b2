#!/usr/bin/env python3
"""Speed and memory of zelk-inspect against `cat FILE > /dev/null`, side by side.

Generates its inputs deterministically into bench/data (git-ignored), warms the page cache,
then alternates the commands and prints for each file the median ratio of wall times, the
floor beside it (a bare memchr pass for the byte the scanner looks for, against the same cat
run) and zelk-inspect's peak memory. Ratios, not seconds: the machine's speed cancels out.

    python3 bench/bench.py [--size-mib N] [--runs N] [--inspect PATH] [--only ps,pdf,tif]
"""
import argparse
import os
import shutil
import statistics
import struct
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DATA = ROOT / "bench" / "data"


def write_ps(path, size, colours_in_header=True):
    """A DSC job: header, prolog, then pages of text until the size is reached. Without colours
    in the header and trailer, Zelk asks to read the whole file (and --yes says Yes)."""
    colours = ("%%DocumentProcessColors: Cyan Magenta Yellow Black\n"
               "%%CMYKCustomColor: 0 0.5 1 0 (PANTONE 151)\n") if colours_in_header else ""
    header = (
        "%!PS-Adobe-3.0\n%%Title: Benchmark job\n%%Creator: bench.py\n"
        "%%CreationDate: 2026-01-01\n%%LanguageLevel: 2\n%%BoundingBox: 0 0 595 842\n"
        "%%DocumentNeededResources: font Times-Roman\n%%+ font Helvetica\n" + colours +
        "%%Pages: (atend)\n%%EndComments\n"
        "%%BeginProlog\n/F { findfont exch scalefont setfont } bind def\n%%EndProlog\n"
    )
    line = "72 720 moveto (The quick brown fox jumps over the lazy dog 0123456789) show\n"
    body = line * 60 + "0.1 0.2 0.3 0.4 setcmykcolor 100 100 200 200 rectfill\n"
    with open(path, "w", newline="\n") as out:
        out.write(header)
        written, page = len(header), 0
        while written < size:
            page += 1
            chunk = f"%%Page: {page} {page}\n%%BeginPageSetup\n/Times-Roman 12 F\n%%EndPageSetup\n{body}showpage\n%%PageTrailer\n"
            out.write(chunk)
            written += len(chunk)
        out.write(f"%%Trailer\n%%Pages: {page}\n%%EOF\n")


def write_dense(path, size):
    """A job shaped like layout output: a page about every 23 KB with the usual page-level
    comments, and a "%" about every 270 bytes, as strings and comments carry them."""
    header = (
        "%!PS-Adobe-3.0\n%%Title: Dense layout job\n%%Creator: bench.py\n"
        "%%BoundingBox: 0 0 595 842\n%%Pages: (atend)\n%%EndComments\n"
        "%%BeginProlog\n/F { findfont exch scalefont setfont } bind def\n%%EndProlog\n"
    )
    block = ("% text frame: headline, body copy and captions\n"
             "72 720 moveto (Quarterly results up on last year) show\n"
             "0.1 0.2 0.3 0.4 setcmykcolor 100 100 200 200 rectfill\n"
             "/Helvetica-Bold 9 F 72 640 moveto (Save now) show\n"
             "gsave 0 0 1 0 setcmykcolor 36 36 523 770 rectstroke grestore\n")
    body = block * 85  # a page of about 23 KB, one "%" in every 270 bytes
    with open(path, "w", newline="\n") as out:
        out.write(header)
        written, page = len(header), 0
        while written < size:
            page += 1
            chunk = (f"%%Page: {page} {page}\n%%PageBoundingBox: 0 0 595 842\n%%BeginPageSetup\n"
                     f"%%PageOrientation: Portrait\n/Times-Roman 12 F\n%%EndPageSetup\n{body}"
                     f"showpage\n%%PageTrailer\n")
            out.write(chunk)
            written += len(chunk)
        out.write(f"%%Trailer\n%%Pages: {page}\n%%EOF\n")


def write_dense_untrailed(path, size):
    """The dense job without page trailers: nothing settles it early and no question is asked,
    so the window reads it whole by itself, counting pages as it goes."""
    write_dense(path, size)
    with open(path, "r+b") as job:
        data = job.read()
    data = data.replace(b"%%PageTrailer\n", b"%%PageEnd   \n")  # same size, no trailer
    with open(path, "wb") as job:
        job.write(data)


def write_colours(path, size):
    """A header of ten thousand custom colours, as some RIP exports write them."""
    with open(path, "w", newline="\n") as out:
        out.write("%!PS-Adobe-3.0\n%%Title: Ten thousand colours\n")
        for i in range(10000):
            out.write(f"%%CMYKCustomColor: 0.{i % 10} 0.5 1 0 (Spot {i})\n")
        out.write("%%EndComments\nshowpage\n%%EOF\n")


def write_pdf(path, size):
    """A PDF of many pages whose content streams hold text operators."""
    with open(path, "wb") as out:
        out.write(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
        content = b"BT /F1 12 Tf 72 720 Td (The quick brown fox jumps over the lazy dog) Tj ET\n" * 80
        obj, written = 3, out.tell()
        pages = []
        while written < size:
            pages.append(obj)
            out.write(b"%d 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents %d 0 R >>\nendobj\n" % (obj, obj + 1))
            out.write(b"%d 0 obj\n<< /Length %d >>\nstream\n" % (obj + 1, len(content)) + content + b"endstream\nendobj\n")
            obj += 2
            written = out.tell()
        kids = b" ".join(b"%d 0 R" % p for p in pages[:1000])
        out.write(b"2 0 obj\n<< /Type /Pages /Kids [%s] /Count %d >>\nendobj\n" % (kids, len(pages)))
        out.write(b"1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\ntrailer\n<< /Root 1 0 R >>\n%%EOF\n")


def write_crafted_pdf(path, size):
    """Runs of item beginnings that never complete ("/MediaBox [" without digits, "/Type
    /Pages " without ">"): each must cost the scanner no more than its own bytes."""
    runs = (b"/MediaBox [" * 5000, b"/Type /Pages " * 5000, b"/Type /Pages /Count " * 3000)
    with open(path, "wb") as out:
        out.write(b"%PDF-1.4\n")
        i = 0
        while out.tell() < size:
            out.write(runs[i % len(runs)])
            i += 1


def write_tif(path, size):
    """An uncompressed RGB TIFF; the directory sits after the image data, as many writers do."""
    width = 4096
    height = max(1, size // (width * 3))
    image = width * 3 * height
    entries = [(256, 4, 1, width), (257, 4, 1, height), (258, 3, 1, 8), (259, 3, 1, 1),
               (262, 3, 1, 2), (273, 4, 1, 8), (277, 3, 1, 3), (279, 4, 1, image),
               (282, 5, 1, 0), (283, 5, 1, 0), (296, 3, 1, 2)]
    ifd = 8 + image
    rational = ifd + 2 + 12 * len(entries) + 4
    with open(path, "wb") as out:
        out.write(b"II*\x00" + struct.pack("<I", ifd))
        row = bytes(range(256)) * (width * 3 // 256)
        for _ in range(height):
            out.write(row)
        out.write(struct.pack("<H", len(entries)))
        for tag, kind, count, value in entries:
            if tag in (282, 283):
                value = rational
            out.write(struct.pack("<HHII", tag, kind, count, value))
        out.write(struct.pack("<I", 0))
        out.write(struct.pack("<II", 300, 1))


# kind: (file name, writer, the byte a bare scan would look for)
KINDS = {
    "ps": ("header-colours.ps", write_ps, "%"),  # settled by header, trailer and first page
    "whole": ("whole.ps", lambda path, size: write_ps(path, size, colours_in_header=False), "%"),
    "dense": ("dense.ps", write_dense, "%"),  # comment-dense, read whole
    "pdf": ("job.pdf", write_pdf, "/"),
    "crafted-pdf": ("crafted.pdf", write_crafted_pdf, "/"),  # items that never complete
    "untrailed": ("untrailed.ps", write_dense_untrailed, "%"),
    "colours": ("colours.ps", write_colours, "%"),
    "tif": ("image.tif", write_tif, None),
}


def ensure(kind, size):
    name, writer, _ = KINDS[kind]
    path = DATA / f"{size >> 20}M-{name}"
    if not path.exists():
        DATA.mkdir(parents=True, exist_ok=True)
        print(f"generating {path.name} ...", file=sys.stderr)
        writer(path.with_suffix(".tmp"), size)
        path.with_suffix(".tmp").rename(path)
    return path


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def peak_kib(command):
    """Peak resident memory of one run. GNU time forks from a small C process, so unlike a
    child of Python the figure is not inflated by the parent's memory before the exec."""
    result = subprocess.run(["/usr/bin/time", "-f", "%M", *command], stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def tiffinfo_ratio(path, inspect, runs):
    """zelk-inspect against libtiff's tiffinfo on the same image (both read one directory)."""
    zelk = [inspect, "--json", str(path)]
    info = ["tiffinfo", str(path)]
    zs, ts = [], []
    for _ in range(runs):
        ts.append(timed(info))
        zs.append(timed(zelk))
    print(f"{path.name:<24}{'tiffinfo s':>12}{statistics.median(ts):>9.4f}"
          f"{'zelk s':>9}{statistics.median(zs):>9.4f}{'ratio':>8}{statistics.median(zs) / statistics.median(ts):>6.2f}")


def many_small_files(inspect, count=10000):
    """One zelk-inspect process over many small files: the cost per file."""
    folder = DATA / "many"
    fixtures = sorted(p for p in (ROOT / "tests" / "data").glob("*/*") if p.suffix in (".ps", ".eps", ".pdf", ".tif"))
    if not folder.exists():
        folder.mkdir(parents=True)
        for i in range(count):
            src = fixtures[i % len(fixtures)]
            (folder / f"{i:05d}{src.suffix}").write_bytes(src.read_bytes())
    files = sorted(str(p) for p in folder.iterdir())
    start = time.perf_counter()
    subprocess.run([inspect, "--json", *files], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    print(f"{len(files)} small files in one process: {elapsed:.3f} s, {1000 * elapsed / len(files):.4f} ms per file")


def window_against_cli(kinds, size, runs, arch):
    """Zelk.exe, window and all, against zelk-inspect.exe on the same file under Wine (run
    this under a display, or `xvfb-run -a`): what the window's hand-offs cost. A process's
    fixed cost (Wine, the window's creation, the snapshot) is measured on a one-line job and
    taken off both, so the ratio compares the scans."""
    wine = str(ROOT / "cmake" / "wine-run.sh")
    tree = ROOT / "build" / arch
    zelk = str(tree / "src" / "Zelk.exe")
    cli = str(tree / "cli" / "zelk-inspect.exe")
    windows = lambda p: "Z:" + str(p).replace("/", "\\")
    png = DATA / "window.png"
    DATA.mkdir(parents=True, exist_ok=True)
    tiny = DATA / "tiny.ps"
    tiny.write_text("%!PS-Adobe-3.0\n%%EndComments\n")

    def medians(path):
        window = [wine, zelk, windows(path), "--snapshot", windows(png)]
        inspect = [wine, cli, "--yes", "--json", windows(path)]
        ws, cs = [], []
        for _ in range(runs):
            cs.append(timed(inspect))
            ws.append(timed(window))
        return statistics.median(cs), statistics.median(ws)

    timed([wine, cli, windows(tiny)])  # Wine's server up
    cli0, window0 = medians(tiny)
    print(f"fixed cost of a process: cli {cli0:.2f} s, window {window0:.2f} s")
    print(f"{'file':<24}{'cli s':>9}{'window s':>10}{'ratio':>8}{'net ratio':>11}")
    for kind in kinds:
        path = ensure(kind, size)
        c, w = medians(path)
        net = max(w - window0, 0.0) / max(c - cli0, 0.01)
        print(f"{path.name:<24}{c:>9.2f}{w:>10.2f}{w / c:>8.2f}{net:>11.2f}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size-mib", type=int, default=1024)
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--inspect", default=str(ROOT / "build" / "native" / "cli" / "zelk-inspect"))
    parser.add_argument("--floor", default=str(ROOT / "build" / "native" / "bench" / "memchr-floor"))
    parser.add_argument("--only", default="dense,whole,ps,pdf,crafted-pdf,tif")
    parser.add_argument("--many", action="store_true", help="also time 10,000 small files in one process")
    parser.add_argument("--window", action="store_true",
                        help="instead: Zelk.exe against zelk-inspect.exe under Wine")
    parser.add_argument("--arch", default="win64", choices=["win64", "win32"],
                        help="with --window: which Windows build")
    args = parser.parse_args()
    if args.window:
        window_against_cli(["untrailed", "colours"], args.size_mib << 20, args.runs, args.arch)
        return
    print(f"{'file':<24}{'size MiB':>9}{'cat s':>9}{'zelk s':>9}{'ratio':>8}{'floor':>8}{'peak MiB':>10}")
    for kind in args.only.split(","):
        path = ensure(kind, args.size_mib << 20)
        byte = KINDS[kind][2]
        cat = ["sh", "-c", f"cat '{path}' > /dev/null"]
        zelk = [args.inspect, "--yes", "--json", str(path)]
        floor = [args.floor, byte, str(path)] if byte else None
        timed(cat)  # into the page cache
        ratios, floors, cats, zelks = [], [], [], []
        for _ in range(args.runs):
            cats.append(timed(cat))
            zelks.append(timed(zelk))
            ratios.append(zelks[-1] / cats[-1])
            if floor:
                floors.append(timed(floor) / cats[-1])
        floor_text = f"{statistics.median(floors):>8.2f}" if floors else f"{'-':>8}"
        print(f"{path.name:<24}{path.stat().st_size >> 20:>9}{statistics.median(cats):>9.3f}"
              f"{statistics.median(zelks):>9.3f}{statistics.median(ratios):>8.2f}{floor_text}"
              f"{peak_kib(zelk) / 1024:>10.1f}")
        if kind == "tif" and shutil.which("tiffinfo"):
            tiffinfo_ratio(path, args.inspect, args.runs)
    if args.many:
        many_small_files(args.inspect)


if __name__ == "__main__":
    main()
