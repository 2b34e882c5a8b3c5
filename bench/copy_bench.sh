#!/usr/bin/env bash
# Times PD's copy (through the real copy request) against the floor under this platform, a bare
# Win32 loop (CreateFile/ReadFile/WriteFile/SetFileTime per file, bench/CopyLoop.cpp), and against
# cp -r, all on the same data in the same run; the runs alternate and the medians are reported.
# Usage: bench/copy_bench.sh [big file MiB, default 1024] [small files, default 20000]
# Needs a built tree (scripts/build.sh x64); starts and stops its own Wine session when none runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
size_mib=${1:-1024}
small=${2:-20000}
repeats=${PD_BENCH_REPEATS:-3}
for exe in pdbench copyloop; do
  [ -x "$build/bin/$exe.exe" ] || { echo "build first: scripts/build.sh x64" >&2; exit 1; }
done

work=$(mktemp -d /tmp/pdbench.XXXXXX)
started_session=0
cleanup() {
  rm -rf "$work"
  [ "$started_session" = 1 ] && "$root/scripts/wine-session.sh" stop "$build" >/dev/null 2>&1 || true
}
trap cleanup EXIT

if [ ! -s "$build/session/display" ] || ! [ -e "/tmp/.X11-unix/X$(cut -c2- "$build/session/display")" ]; then
  "$root/scripts/wine-session.sh" start "$build" >/dev/null
  started_session=1
fi
export DISPLAY=$(cat "$build/session/display")

winpath() { echo "Z:$1" | tr / '\\'; }
seconds() { python3 -c "import sys; print(f'{float(sys.argv[2]) - float(sys.argv[1]):.3f}')" "$1" "$2"; }
now() { date +%s.%N; }

mkdir -p "$work/src"
echo "making a ${size_mib} MiB file and a tree of ${small} small files (0.5-2 KB, $((small / 200)) directories)"
head -c $((size_mib * 1024 * 1024)) /dev/urandom > "$work/src/big.bin"
python3 - "$work/src/tree" "$small" <<'PY'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    d = os.path.join(root, f"d{i // 200:03d}")
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, f"f{i:05d}.txt"), "wb") as f:
        f.write(os.urandom(512 + i % 1536))
PY
sync

# Warm Wine up so that its start does not count against the first copy.
"$build/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true

results="$work/results"
: > "$results"
one_round() { # entry
  local entry=$1 t start
  rm -rf "$work/cp" "$work/floor" "$work/pd"; mkdir -p "$work/cp" "$work/floor" "$work/pd"
  # Each tool is timed until the last byte is handed to the system, as the two Windows programs time themselves.
  start=$(now); cp -r "$work/src/$entry" "$work/cp/"; t=$(seconds "$start" "$(now)")
  sync; echo "$entry cp $t" >> "$results"
  t=$(cd "$build/bin" && "$build/wine-run" ./copyloop.exe "$(winpath "$work/src/$entry")" "$(winpath "$work/floor/$entry")" | tr -d '\r')
  sync; echo "$entry floor $t" >> "$results"
  t=$(cd "$build/bin" && "$build/wine-run" ./pdbench.exe "$(winpath "$work/src")" "$entry" "$(winpath "$work/pd")" 2>/dev/null | tr -d '\r')
  sync; echo "$entry pd $t" >> "$results"
  diff -r "$work/src/$entry" "$work/pd/$entry" >/dev/null || { echo "PD's copy of $entry differs" >&2; exit 1; }
}
# A first round of each is not counted: it waits for the write-back of the data just made.
for entry in tree big.bin; do
  one_round "$entry"
  : > "$results"
done
for _ in $(seq "$repeats"); do one_round tree; done
for _ in $(seq "$repeats"); do one_round big.bin; done
rm -rf "$work/cp" "$work/floor" "$work/pd"

python3 - "$results" "$(du -sb "$work/src/tree" | cut -f1)" "$(stat -c %s "$work/src/big.bin")" "$small" <<'PY'
import statistics, sys
path, tree_bytes, big_bytes, small = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
runs = {}
for line in open(path):
    entry, tool, seconds = line.split()
    runs.setdefault((entry, tool), []).append(float(seconds))
def med(entry, tool): return statistics.median(runs[(entry, tool)])
for entry, label, size in (("tree", f"copy {small:,} small files", tree_bytes), ("big.bin", "copy one big file", big_bytes)):
    pd, floor, cp = med(entry, "pd"), med(entry, "floor"), med(entry, "cp")
    mib = size / 1048576
    print(f"   runs (s): " + "; ".join(f"{tool} " + " ".join(f"{x:.3f}" for x in runs[(entry, tool)]) for tool in ("pd", "floor", "cp")))
    print(f"{label:<44} PD {pd:8.3f} s   bare Win32 loop {floor:8.3f} s   ratio {pd / floor:5.2f}   "
          f"cp -r {cp:8.3f} s   ratio {pd / cp:6.2f}   (PD {mib / pd:7.1f} MiB/s, cp {mib / cp:7.1f} MiB/s)")
print("goals: small files PD <= 1.2 x the bare loop; big file PD throughput >= 0.9 x cp "
      f"(here {med('big.bin', 'cp') / med('big.bin', 'pd'):.2f} x)")
PY
