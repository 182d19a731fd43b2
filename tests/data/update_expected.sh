#!/usr/bin/env bash
# Writes NAME.json and NAME.txt beside each fixture: what zelk-inspect prints for it with
# --json and without, with the file date (which a checkout changes) masked, as the golden test
# masks it. Review the diff before committing: these files are the expected results.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
inspect=${INSPECT:-$here/../../build/native/cli/zelk-inspect}
for fixture in "$here"/ps/*.ps "$here"/ps/*.eps "$here"/pdf/*.pdf "$here"/tif/*.tif; do
  [ -e "$fixture" ] || continue
  (cd "$(dirname "$fixture")" && "$inspect" --json "$(basename "$fixture")" || true) |
    python3 -c '
import json, re, sys
j = json.load(sys.stdin)
j["report"] = re.sub(r"\*File date: [^\n]*\n\r", "*File date: <date>\n\r", j["report"])
print(json.dumps(j, indent=2, ensure_ascii=False))' > "${fixture%.*}.json"
  # The text output, its date masked likewise; its first line, the path, is the file name.
  (cd "$(dirname "$fixture")" && "$inspect" "$(basename "$fixture")" || true) |
    sed 's/\*File date: .*/*File date: <date>/' > "${fixture%.*}.txt"
done
# And layout.txt: every window's controls as data, as the layout test compares them.
ZELK_UPDATE_LAYOUT=1 "${TESTS:-$here/../../build/native/tests/zelk_tests}" --gtest_filter='Layout.*' > /dev/null
