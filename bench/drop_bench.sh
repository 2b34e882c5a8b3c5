#!/usr/bin/env bash
# Times the drop list of a dragged tree (100,000 files by default) against one bare
# FindFirstFile/FindNextFile walk of the same tree in the same prefix. Goal: at most 1.5 times.
# Usage: bench/drop_bench.sh [files, default 100000]
# Needs a built tree (scripts/build.sh x64) and a running Wine session (bench/run.sh provides both).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
files=${1:-100000}
repeats=${PD_BENCH_REPEATS:-3}
[ -x "$build/bin/dropbench.exe" ] || { echo "build first: scripts/build.sh x64" >&2; exit 1; }
work=$(mktemp -d /tmp/pddrop.XXXXXX)
trap 'rm -rf "$work"' EXIT

# 100 files a directory, directories three deep, some empty ones.
python3 - "$work/tree" "$files" <<'PY'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    d = os.path.join(root, f"a{i // 10000:02d}", f"b{i // 1000 % 10}", f"c{i // 100 % 10}")
    if i % 100 == 0:
        os.makedirs(d, exist_ok=True)
        os.makedirs(os.path.join(d, "empty"), exist_ok=True)
    with open(os.path.join(d, f"file{i:06d}.dat"), "wb") as f:
        f.write(b"x" * (i % 7))
PY
out=$(cd "$build/bin" && "$build/wine-run" ./dropbench.exe "Z:$(printf '%s' "$work/tree" | tr / '\\')" "$repeats" \
  2>/dev/null | tr -d '\r')
python3 - "$out" "$files" <<'PY'
import sys
values = {}
for line in sys.argv[1].splitlines():
    parts = line.split()
    values[parts[0]] = parts[1:]
listed = values["files"]
bare, drop = float(values["bare"][0]), float(values["droplist"][0])
print(f"drop list of {int(sys.argv[2]):,} files: {drop:.3f} s, bare walk {bare:.3f} s, ratio {drop / bare:.2f}"
      f" (goal 1.5){'' if listed[0] == listed[1] else '  FILE COUNTS DIFFER: ' + ' '.join(listed)}")
PY
