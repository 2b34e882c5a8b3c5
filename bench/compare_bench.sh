#!/usr/bin/env bash
# Times the file compare against diff on two generated 100,000-line files in the same run, and
# "Compare files" in the program to the first difference drawn.
# Usage: bench/compare_bench.sh [lines, default 100000]
# Exit status: 0 when it measured (a missed goal is printed, not failed); non-zero when it could not run.
# Needs a built tree (scripts/build.sh x64) and a display for the window figure (a private Xvfb is
# started when DISPLAY is unset).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
lines=${1:-100000}
[ -x "$build/bin/comparebench.exe" ] || { echo "build first: scripts/build.sh x64" >&2; exit 1; }
export BUILD_DIR="$build"
. "$root/scripts/wine-env.sh"

work=$(mktemp -d /tmp/pdcmpbench.XXXXXX)
xvfb=""
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 150 190); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 & xvfb=$!
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    export DISPLAY=:$n; break
  done
fi

mkdir -p "$work/left" "$work/right"
echo "making two files of $lines lines: 1,000 lines changed, 200 deleted, 200 inserted, a 500-line block moved"
python3 - "$lines" "$work/left/a.txt" "$work/right/b.txt" <<'PY'
import random, sys
n, left, right = int(sys.argv[1]), sys.argv[2], sys.argv[3]
rnd = random.Random(17)
words = "the of and to in is that for it as with was on be by at this from have or an are not but".split()
a = [f"{i:6d} " + " ".join(rnd.choice(words) for _ in range(rnd.randint(4, 10))) for i in range(n)]
b = list(a)
for i in rnd.sample(range(n), 1000):
    b[i] = b[i] + " changed"
start = rnd.randrange(n // 10, n // 2)
block = b[start:start + 500]
del b[start:start + 500]
b[len(b) - n // 10:len(b) - n // 10] = block
for i in sorted(rnd.sample(range(len(b)), 200), reverse=True):
    del b[i]
for i in sorted(rnd.sample(range(len(b)), 200), reverse=True):
    b.insert(i, "inserted " + " ".join(rnd.choice(words) for _ in range(6)))
open(left, "w").write("\r\n".join(a) + "\r\n")
open(right, "w").write("\r\n".join(b) + "\r\n")
PY
cat "$work/left/a.txt" "$work/right/b.txt" > /dev/null

diff_s=$(python3 - "$work/left/a.txt" "$work/right/b.txt" <<'PY'
import subprocess, sys, time
times = []
for _ in range(5):
    start = time.perf_counter()
    subprocess.run(["diff", sys.argv[1], sys.argv[2]], stdout=subprocess.DEVNULL, check=False)
    times.append(time.perf_counter() - start)
print(f"{sorted(times)[2]:.4f}")
PY
)
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
# Into a file, not a pipe: Wine's services, started by the first Wine process, keep a pipe open.
(cd "$build/bin" && "$build/wine-run" ./comparebench.exe "$(winpath "$work/left/a.txt")" "$(winpath "$work/right/b.txt")" window \
  </dev/null >"$work/out.txt" 2>&1) || { cat "$work/out.txt" >&2; exit 1; }
out=$(tr -d '\r' < "$work/out.txt")
engine_s=$(echo "$out" | awk '/^engine/{print $2}')
rows=$(echo "$out" | awk '/^engine/{print $3}')
window_s=$(echo "$out" | awk '/^window/{print $2}')
python3 - "$diff_s" "$engine_s" "$window_s" "$lines" "$rows" <<'PY'
import sys
diff, engine, window = map(float, sys.argv[1:4])
lines, rows = sys.argv[4], sys.argv[5]
ratio = engine / diff if diff > 0 else float("inf")
print(f"{lines} lines a file, {rows} rows a list; median of five runs each; the engine's time is taken inside the program")
print(f"compare, read to filled lists {engine:7.3f} s   diff {diff:7.3f} s   ratio {ratio:5.2f} (goal <= 1.5) {'met' if ratio <= 1.5 else 'MISSED'}")
print(f"Compare files to the first difference drawn {window:7.3f} s (goal <= 0.5) {'met' if window <= 0.5 else 'MISSED'}")
PY
