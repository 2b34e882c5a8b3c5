#!/usr/bin/env bash
# Times PD's zip packer against "zip -6 -r" on the same tree in the same run (the project's tree
# copied 20 times), and compares the archive sizes. Goal: at least 0.9 times zip's speed at no more
# than 1.01 times its size. Under Wine every file costs a fixed platform price: the floor line says
# how long bare open/read/close of every file takes there, and the threads line whether those calls
# overlap when two threads make them.
# Usage: bench/zip_bench.sh [copies of the tree, default 20]
# Needs a built tree (scripts/build.sh x64).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
copies=${1:-20}
[ -x "$build/bin/zipbench.exe" ] || { echo "build first: scripts/build.sh x64" >&2; exit 1; }
command -v zip >/dev/null && command -v unzip >/dev/null || { echo "needs zip and unzip (scripts/setup.sh)" >&2; exit 1; }

work=$(mktemp -d /tmp/zipbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:$1" | tr / '\\'; }
seconds() { python3 -c "import sys; print(f'{float(sys.argv[2]) - float(sys.argv[1]):.3f}')" "$1" "$2"; }
now() { date +%s.%N; }
least() { python3 -c "import sys; a=sys.argv[1]; print(min(float(a), float(sys.argv[2])) if a else sys.argv[2])" "$1" "$2"; }
# Processor time of the Wine server of this build tree's prefix, in clock ticks (it does the file
# calls of PD's threads, so it counts as PD's).
prefix="$build/wineprefix"
server_ticks() {
  local p
  for p in $(pgrep -f wineserver); do
    if { tr '\0' '\n' < "/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
      awk '{print $14 + $15}' "/proc/$p/stat"; return
    fi
  done
  echo 0
}
bench() { (cd "$build/bin" && "$build/wine-run" ./zipbench.exe "$@" </dev/null | tr -d '\r'); }

echo "copying the project's tree $copies times into $work"
. "$root/bench/project_tree.sh"
copy_project_tree "$work/tree" "$copies"
files=$(find "$work/tree" -type f | wc -l)
bytes=$(du -sb "$work/tree" | cut -f1)
echo "tree: $files files, $bytes bytes"

# A server that stays between the rounds, so that its processor time can be read around PD's run.
( BUILD_DIR="$build"; . "$root/scripts/wine-env.sh"; wineserver -p30 </dev/null >/dev/null 2>&1 ) || true
"$build/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true
# Shared machine: each side runs $rounds times, alternating, and its best time counts.
rounds=${PD_BENCH_ROUNDS:-3}
zip_s=; pd_s=; floor_s=; one_s=; two_s=; zip_cpu=0; pd_cpu=0; pd_server=0
for round in $(seq "$rounds"); do
  rm -f "$work/zip.zip" "$work/pd.zip"; sync
  /usr/bin/time -f "%e %U %S" -o "$work/ztime" sh -c 'cd "$1" && zip -q -6 -r "$2" .' - "$work/tree" "$work/zip.zip"
  read -r t zu zs < "$work/ztime"
  [ "$(least "$zip_s" "$t")" = "$t" ] && zip_cpu=$(python3 -c "print($zu + $zs)")
  zip_s=$(least "$zip_s" "$t")
  sync
  server=$(server_ticks)
  read -r t added cpu < <(bench zip "$(winpath "$work/tree")" "$(winpath "$work/pd.zip")")
  server=$(( $(server_ticks) - server ))
  [ "$added" = "$files" ] || { echo "PD packed $added files of $files" >&2; exit 1; }
  [ "$(least "$pd_s" "$t")" = "$t" ] && { pd_cpu=$cpu; pd_server=$server; }
  pd_s=$(least "$pd_s" "$t")
  read -r t _ < <(bench floor "$(winpath "$work/tree")")
  floor_s=$(least "$floor_s" "$t")
  read -r t1 t2 _ < <(bench threads "$(winpath "$work/tree")")
  one_s=$(least "$one_s" "$t1"); two_s=$(least "$two_s" "$t2")
done
unzip -tq "$work/pd.zip" >/dev/null || { echo "unzip finds PD's archive damaged" >&2; exit 1; }
rm -rf "$work/check"; mkdir -p "$work/check"
unzip -q "$work/pd.zip" -d "$work/check"
diff -r "$work/tree" "$work/check" >/dev/null || { echo "PD's archive does not give the tree back" >&2; exit 1; }
python3 - "$files" "$zip_s" "$pd_s" "$rounds" "$floor_s" "$(stat -c %s "$work/zip.zip")" "$(stat -c %s "$work/pd.zip")" \
  "$one_s" "$two_s" "$zip_cpu" "$pd_cpu" "$pd_server" "$(getconf CLK_TCK)" <<'PY'
import sys
files, zip_s, pd_s, rounds, floor = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3]), sys.argv[4], float(sys.argv[5])
zip_size, pd_size = int(sys.argv[6]), int(sys.argv[7])
one, two = float(sys.argv[8]), float(sys.argv[9])
zip_cpu, pd_cpu, server = float(sys.argv[10]), float(sys.argv[11]), float(sys.argv[12]) / float(sys.argv[13])
print(f"zip {files} files (best of {rounds}): zip -6 {zip_s:.3f} s, PD {pd_s:.3f} s, "
      f"PD speed = {zip_s / pd_s:.2f} x zip (goal >= 0.90)")
print(f"size: zip -6 {zip_size} bytes, PD {pd_size} bytes, PD size = {pd_size / zip_size:.4f} x zip (goal <= 1.01)")
print(f"platform floor: opening and reading {files} files under Wine takes {floor:.3f} s; "
      f"that alone is {floor / zip_s:.2f} x zip's whole time")
print(f"processor time of the best runs: zip -6 {zip_cpu:.3f} s; PD {pd_cpu:.3f} s in its threads "
      f"+ {server:.3f} s in the Wine server = {pd_cpu + server:.3f} s")
print(f"threads: the same reads (listing apart) take {one:.3f} s from one thread, {two:.3f} s from two")
PY
