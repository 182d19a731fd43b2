#!/usr/bin/env python3
"""Fails when a source file includes from a folder above its own. The folders of src/, from
the bottom: analysis and settings, then ui, dialogs, window, app and kestrin; cli/ stands
where app does. A folder includes from itself and from folders below it, never from a
sibling at its own height. preflight (what zelk-inspect alone reads, with zlib) stands on
analysis, and only cli/ may include it: the window's analysis links no compression library."""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
HEIGHT = {"analysis": 0, "settings": 0, "ui": 1, "dialogs": 2, "window": 3, "app": 4,
          "kestrin": 5, "cli": 4, "preflight": 1}
ONLY_FROM = {"preflight": {"cli"}}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^/"]+)/[^"]+"', re.M)


def folder_of(path):
    parts = path.relative_to(ROOT).parts
    return parts[1] if parts[0] == "src" else parts[0]


def main():
    faults = []
    files = [p for p in (ROOT / "src").rglob("*") if p.suffix in (".cpp", ".h")]
    files += [p for p in (ROOT / "cli").glob("*") if p.suffix in (".cpp", ".h")]
    for path in sorted(files):
        own = folder_of(path)
        if own not in HEIGHT:
            faults.append(f"{path.relative_to(ROOT)}: the folder {own}/ has no place in the layers")
            continue
        for target in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            if target not in HEIGHT or target == own:
                continue
            if target in ONLY_FROM and own not in ONLY_FROM[target]:
                faults.append(f"{path.relative_to(ROOT)}: includes from {target}/, which only "
                              f"{', '.join(sorted(ONLY_FROM[target]))}/ may use")
            elif HEIGHT[target] >= HEIGHT[own]:
                faults.append(f"{path.relative_to(ROOT)}: includes from {target}/, which is not "
                              f"below {own}/")
    for fault in faults:
        print(fault, file=sys.stderr)
    print(f"layers: {len(files)} files, {len(faults)} includes from above")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
