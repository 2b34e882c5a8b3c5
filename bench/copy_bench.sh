#!/usr/bin/env bash
# Times PD's copy (through the real copy request) against cp -r of the same data in the same run.
# Usage: bench/copy_bench.sh [big file MiB, default 1024] [small files, default 20000]
# Needs a built tree (scripts/build.sh x64); starts and stops its own Wine session.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
size_mib=${1:-1024}
small=${2:-20000}
[ -x "$build/bin/pdbench.exe" ] || { echo "build first: scripts/build.sh x64" >&2; exit 1; }

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

mkdir -p "$work/src" "$work/cp" "$work/pd"
echo "making a ${size_mib} MiB file and a tree of ${small} small files in $work"
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

run_pd() { # name
  local t
  t=$(cd "$build/bin" && "$build/wine-run" ./pdbench.exe "$(winpath "$work/src")" "$1" "$(winpath "$work/pd")" | tr -d '\r')
  echo "$t"
}

report() { # label bytes cp_seconds pd_seconds
  python3 - "$@" <<'PY'
import sys
label, size, cp, pd = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
mib = size / 1048576
print(f"{label}: cp -r {cp:.3f} s ({mib / cp:.1f} MiB/s), PD {pd:.3f} s ({mib / pd:.1f} MiB/s), "
      f"PD throughput = {cp / pd:.2f} x cp")
PY
}

# Warm Wine up so that its start does not count against the first copy.
"$build/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true

start=$(now); cp -r "$work/src/big.bin" "$work/cp/"; sync; cp_big=$(seconds "$start" "$(now)")
pd_big=$(run_pd big.bin); sync
cmp -s "$work/src/big.bin" "$work/pd/big.bin" || { echo "PD's copy of big.bin differs" >&2; exit 1; }
report "big file" "$(stat -c %s "$work/src/big.bin")" "$cp_big" "$pd_big"

start=$(now); cp -r "$work/src/tree" "$work/cp/"; sync; cp_tree=$(seconds "$start" "$(now)")
pd_tree=$(run_pd tree); sync
diff -r "$work/src/tree" "$work/pd/tree" >/dev/null || { echo "PD's copy of the tree differs" >&2; exit 1; }
report "tree of $small files" "$(du -sb "$work/src/tree" | cut -f1)" "$cp_tree" "$pd_tree"
