#!/usr/bin/env bash
# Times the hex editor's load and find against cat and grep on the same file in the same run.
# Usage: bench/hexedit_bench.sh [MiB, default 256]
# Exit status: 0 when it measured (a missed goal is printed, not failed); non-zero when it could not
# run or the search found the pattern in the wrong place.
# Needs a built tree (scripts/build.sh x64); runs on its own, with or without a Wine session.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
size_mib=${1:-256}
[ -x "$build/bin/hexbench.exe" ] || { echo "build first: scripts/build.sh x64" >&2; exit 1; }
export BUILD_DIR="$build"
. "$root/scripts/wine-env.sh"

work=$(mktemp -d /tmp/pdhexbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
file="$work/random.bin"
pattern='PdHxBeNc'
echo "making a ${size_mib} MiB random file with \"$pattern\" in its last 8 bytes"
head -c $((size_mib * 1024 * 1024 - 8)) /dev/urandom > "$file"
printf '%s' "$pattern" >> "$file"
cat "$file" > /dev/null # into the page cache for every contender

best() { # command...: the best wall time of three runs, in seconds
  python3 - "$@" <<'PY'
import subprocess, sys, time
times = []
for _ in range(3):
    start = time.perf_counter()
    subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=False)
    times.append(time.perf_counter() - start)
print(f"{min(times):.4f}")
PY
}

cat_s=$(best sh -c "cat '$file' > /dev/null")
grep_s=$(LC_ALL=C best grep -c -F -a "$pattern" "$file")
grepi_s=$(LC_ALL=C best grep -c -i -F -a "$pattern" "$file")
winfile="Z:$(printf '%s' "$file" | tr / '\\')"
# Into a file, not a pipe: Wine's services, started by the first Wine process, keep a pipe open.
(cd "$build/bin" && "$build/wine-run" ./hexbench.exe "$winfile" "$pattern" </dev/null >"$work/out.txt" 2>&1) ||
  { cat "$work/out.txt" >&2; exit 1; }
out=$(tr -d '\r' < "$work/out.txt")
load_s=$(echo "$out" | awk '/^load/{print $2}')
find_s=$(echo "$out" | awk '/^find /{print $2}')
findi_s=$(echo "$out" | awk '/^find-i/{print $2}')
expected=$((size_mib * 1024 * 1024 - 8))
for where in $(echo "$out" | awk '/^find/{print $3}'); do
  [ "$where" = "$expected" ] || { echo "the search found the pattern at $where, not at $expected" >&2; exit 1; }
done

python3 - "$cat_s" "$grep_s" "$grepi_s" "$load_s" "$find_s" "$findi_s" "$size_mib" <<'PY'
import sys
cat, grep, grepi, load, find, findi = map(float, sys.argv[1:7])
mib = int(sys.argv[7])
rows = [("load", load, "cat", cat, 3.0), ("find, match case", find, "grep -F", grep, 2.0),
        ("find, any case", findi, "grep -i -F", grepi, 2.0)]
print(f"{mib} MiB, best of three runs each; the hex editor's times are taken inside the program")
for name, ours, label, theirs, goal in rows:
    ratio = ours / theirs if theirs > 0 else float("inf")
    met = ratio <= goal
    print(f"{name:17s} {ours:7.3f} s   {label:11s} {theirs:7.3f} s   ratio {ratio:5.2f} (goal <= {goal:.0f}) {'met' if met else 'MISSED'}")
PY
