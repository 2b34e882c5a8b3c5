#!/usr/bin/env bash
# Times PD's extraction of a zip of a source tree against unzip's in the same run, and PD's listing
# of a zip of 100,000 members. Goals: extraction at least 0.8 times unzip's speed; listing under 1 s.
# Usage: bench/archive_bench.sh [copies of the tree, default 20] [members, default 100000]
# Needs a built tree (scripts/build.sh x64); starts and stops its own Wine session when none runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
copies=${1:-20}
members=${2:-100000}
[ -x "$build/bin/archbench.exe" ] || { echo "build first: scripts/build.sh x64" >&2; exit 1; }
command -v zip >/dev/null && command -v unzip >/dev/null || { echo "needs zip and unzip (scripts/setup.sh)" >&2; exit 1; }

work=$(mktemp -d /tmp/archbench.XXXXXX)
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
bench() { (cd "$build/bin" && "$build/wine-run" ./archbench.exe "$@" </dev/null | tr -d '\r'); }

echo "copying the project's tree $copies times and zipping it (zip -6) in $work"
. "$root/bench/project_tree.sh"
copy_project_tree "$work/tree" "$copies"
( cd "$work/tree" && zip -q -r -6 "$work/tree.zip" . )
files=$(find "$work/tree" -type f | wc -l)
bytes=$(du -sb "$work/tree" | cut -f1)
echo "tree.zip: $files files, $bytes bytes unpacked, $(stat -c %s "$work/tree.zip") bytes packed"

# Warm Wine up so that its start does not count against the first run.
"$build/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true
# The machine is shared: each side runs $rounds times, alternating, and its best time counts. Both
# write into the page cache; each run starts after a sync so that none pays for another's writes.
rounds=${PD_BENCH_ROUNDS:-3}
unzip_s=; pd_s=; floor_s=
for round in $(seq "$rounds"); do
  rm -rf "$work/floor"; mkdir -p "$work/floor"; sync
  read -r t _ < <(bench floor "$(winpath "$work/floor")" "$files")
  floor_s=$(python3 -c "import sys; a=sys.argv[1]; print(min(float(a), float(sys.argv[2])) if a else sys.argv[2])" "$floor_s" "$t")
  rm -rf "$work/unzip" "$work/pd"; mkdir -p "$work/pd"; sync
  start=$(now); unzip -q "$work/tree.zip" -d "$work/unzip"; t=$(seconds "$start" "$(now)")
  unzip_s=$(python3 -c "import sys; a=sys.argv[1]; print(min(float(a), float(sys.argv[2])) if a else sys.argv[2])" "$unzip_s" "$t")
  sync
  read -r t _ < <(bench extract "$(winpath "$work/tree.zip")" "$(winpath "$work/pd")")
  pd_s=$(python3 -c "import sys; a=sys.argv[1]; print(min(float(a), float(sys.argv[2])) if a else sys.argv[2])" "$pd_s" "$t")
  diff -r "$work/unzip" "$work/pd" >/dev/null || { echo "PD's extraction differs from unzip's" >&2; exit 1; }
done
python3 - "$files" "$unzip_s" "$pd_s" "$rounds" "$floor_s" <<'PY'
import sys
files, unzip, pd, rounds, floor = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3]), sys.argv[4], float(sys.argv[5])
print(f"extract {files} files (best of {rounds}): unzip {unzip:.3f} s ({files / unzip:.0f} files/s), "
      f"PD {pd:.3f} s ({files / pd:.0f} files/s), PD speed = {unzip / pd:.2f} x unzip (goal >= 0.80)")
print(f"platform floor: creating {files} files of 4 KB under Wine takes {floor:.3f} s ({files / floor:.0f} files/s), "
      f"PD reaches {floor / pd:.2f} of it")
PY

python3 - "$work/many.zip" "$members" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    for i in range(int(sys.argv[2])):
        z.writestr(f"d{i // 1000:03d}/f{i:06d}.txt", b"")
PY
read -r list_s rows < <(bench list "$(winpath "$work/many.zip")")
[ "$rows" = "$members" ] || { echo "PD listed $rows members of $members" >&2; exit 1; }
echo "list $members members: PD $list_s s (goal < 1 s)"
