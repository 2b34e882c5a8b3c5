#!/usr/bin/env bash
# Times the file search (the real walk and content test, inside the program) against the Unix tools
# and a bare Win32 pass over the same data, one warm run each:
#   (a) 100,000 empty files in 2,000 directories, mask "*.txt"     vs find -name, bare walk
#   (b) 20,000 text files of 8-12 KB, the term in 1 of 100         vs grep -rli, bare open/read/match
#   (c) a 1 GiB file with the term at its end                       vs grep -li, a byte-at-a-time loop
# Usage: bench/search_bench.sh
# Exit status: 0 when it measured (a missed goal is printed, not failed); non-zero when it could not run.
set -euo pipefail
# The Unix tools in the C locale: a UTF-8 locale makes grep -i several times slower.
export LC_ALL=C
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
[ -x "$build/bin/searchbench.exe" ] || { echo "build first: scripts/build.sh x64" >&2; exit 1; }
export BUILD_DIR="$build"
. "$root/scripts/wine-env.sh"

work=$(mktemp -d /tmp/pdsearchbench.XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "making the data in $work"
python3 - "$work" <<'PY'
import os, random, sys
work = sys.argv[1]
rnd = random.Random(11)
# (a) 2,000 directories of 50 empty files, half of them .txt
for d in range(2000):
    p = os.path.join(work, "a", f"d{d // 50:02d}", f"e{d:04d}")
    os.makedirs(p)
    for f in range(50):
        open(os.path.join(p, f"f{f:02d}.{'txt' if f % 2 == 0 else 'dat'}"), "w").close()
# (b) 20,000 text files of 8-12 KB in 200 directories; every hundredth holds the term
words = "the of and to in is that for it as with was on be by at this from have or an are not but".split()
text = "\n".join(" ".join(rnd.choice(words) for _ in range(12)) for _ in range(3500))
for i in range(20000):
    p = os.path.join(work, "b", f"d{i // 100:03d}")
    os.makedirs(p, exist_ok=True)
    size = rnd.randint(8192, 12288)
    start = rnd.randrange(0, len(text) - size)
    body = text[start:start + size]
    if i % 100 == 37:
        at = rnd.randrange(0, size - 20)
        body = body[:at] + " zebrafinch " + body[at + 12:]
    open(os.path.join(p, f"t{i:05d}.txt"), "w").write(body)
# (c) one 1 GiB file of text, the term at its very end
chunk = (text * 3)[:1 << 20].encode()
with open(os.path.join(work, "c.txt"), "wb") as f:
    for _ in range(1023):
        f.write(chunk)
    f.write(chunk[:(1 << 20) - 11] + b"zebrafinch\n")
PY
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
# Warm the page cache.
cat "$work/c.txt" > /dev/null; find "$work/a" -name "*.txt" > /dev/null; grep -rli zebrafinch "$work/b" > /dev/null || true
timed() { python3 -c 'import subprocess,sys,time; s=time.perf_counter(); subprocess.run(sys.argv[1:],stdout=subprocess.DEVNULL,check=False); print(f"{time.perf_counter()-s:.3f}")' "$@"; }
run() { # searchbench in Wine; its own clock; into a file, not a pipe (Wine's services keep pipes open)
  (cd "$build/bin" && "$build/wine-run" ./searchbench.exe "$@" </dev/null >"$work/out.txt" 2>&1) || { cat "$work/out.txt" >&2; exit 1; }
  tr -d '\r' < "$work/out.txt"
}
timed find "$work/a" -name '*.txt' >/dev/null # each tool once before its timed run: the cache is warm for it
find_s=$(timed find "$work/a" -name '*.txt')
run walk "$(winpath "$work/a")" "*.txt" >/dev/null  # warms Wine's view of the tree
walk=$(run walk "$(winpath "$work/a")" "*.txt")
bare=$(run barewalk "$(winpath "$work/a")")
timed grep -rli zebrafinch "$work/b" >/dev/null
grep_r_s=$(timed grep -rli zebrafinch "$work/b")
run text "$(winpath "$work/b")" "*.txt" zebrafinch >/dev/null
text=$(run text "$(winpath "$work/b")" "*.txt" zebrafinch)
bareread=$(run bareread "$(winpath "$work/b")" zebrafinch)
timed grep -li zebrafinch "$work/c.txt" >/dev/null
grep_s=$(timed grep -li zebrafinch "$work/c.txt")
run file "$(winpath "$work/c.txt")" zebrafinch >/dev/null
file=$(run file "$(winpath "$work/c.txt")" zebrafinch)
loop=$(run byteloop "$(winpath "$work/c.txt")" zebrafinch)
python3 - "$find_s" "$walk" "$bare" "$grep_r_s" "$text" "$bareread" "$grep_s" "$file" "$loop" <<'PY'
import sys
a = sys.argv[1:]
find_s = float(a[0]); walk, walk_n = a[1].split(); bare, bare_n = a[2].split()
grep_r = float(a[3]); text, text_n = a[4].split(); bareread, bareread_n = a[5].split()
grep_s = float(a[6]); file, file_n = a[7].split(); loop, loop_n = a[8].split()
walk, bare, text, bareread, file, loop = map(float, (walk, bare, text, bareread, file, loop))
def goal(x, floor): return f"ratio {x / floor:5.2f} (goal <= 1.5) {'met' if x <= 1.5 * floor else 'MISSED'}"
print("one warm run each; the program's figures are taken inside it")
print(f"(a) 100,000 files, *.txt: search {walk:6.3f} s ({walk_n} found)   bare walk {bare:6.3f} s ({bare_n})   find {find_s:6.3f} s   {goal(walk, bare)} vs the bare walk")
print(f"(b) 20,000 files, text:   search {text:6.3f} s ({text_n} found)   bare read {bareread:6.3f} s ({bareread_n})   grep -rli {grep_r:6.3f} s   {goal(text, bareread)} vs the bare read")
print(f"(c) 1 GiB, term at end:  search {file:6.3f} s (found {file_n})   byte loop {loop:6.3f} s (found {loop_n})   grep -li {grep_s:6.3f} s   {goal(file, grep_s)} vs grep -li")
PY
