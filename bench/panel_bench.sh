#!/usr/bin/env bash
# Times a panel over big directories (listing, refresh with marks, marking, sorting, clearing,
# memory per row) and the start to the first listing, each beside its floor measured in the same run.
# Usage: bench/panel_bench.sh [files, default 100000] [second size, default 20000]
# Needs a built tree (scripts/build.sh x64) and a running Wine session with a display
# (bench/run.sh provides both). Prints one line per figure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
big=${1:-100000}
small=${2:-20000}
repeats=${PD_BENCH_REPEATS:-3}
[ -x "$build/bin/panelbench.exe" ] || { echo "build first: scripts/build.sh x64" >&2; exit 1; }

work=$(mktemp -d /tmp/pdpanel.XXXXXX)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:$1" | tr / '\\'; }

# Names of mixed length and extension, sizes up to a megabyte (sparse: no data written) and
# dates over ten years, so that every sort mode has real work.
make_dir() { # directory count
  python3 - "$1" "$2" <<'PY'
import os, random, sys
root, count = sys.argv[1], int(sys.argv[2])
os.makedirs(root)
rng = random.Random(12)
exts = ["txt", "c", "h", "cpp", "jpeg", "tar.gz", "doc", "", "log", "x"]
letters = "abcdefghijklmnopqrstuvwxyz0123456789_-"
for i in range(count):
    stem = "".join(rng.choice(letters) for _ in range(rng.randint(3, 24))) + f"{i}"
    ext = rng.choice(exts)
    path = os.path.join(root, stem + ("." + ext if ext else ""))
    with open(path, "wb") as f:
        f.truncate(rng.randint(0, 1 << 20))
    t = 1.3e9 + rng.random() * 3.15e8
    os.utime(path, (t, t))
for i in range(count // 100):
    os.makedirs(os.path.join(root, f"dir{i:05d}"))
PY
}

run_panel() { # name count
  make_dir "$work/$1" "$2"
  (cd "$build/bin" && "$build/wine-run" ./panelbench.exe "$(winpath "$work")" "$1" "$repeats" $(($2 / 10))) \
    2>/dev/null | tr -d '\r' > "$work/$1.out"
  rm -rf "${work:?}/$1"
}

run_panel big "$big"
run_panel small "$small"

# Start to the first listing, Wine already running: the wall clock at the start of the process
# against the program's own clock when both panels have painted their rows.
"$build/wine-run" cmd /c exit </dev/null >/dev/null 2>&1 || true
: > "$work/startup.out"
for _ in $(seq "$repeats"); do
  start=$(date +%s.%N)
  listed=$(cd "$build/bin" && "$build/wine-run" ./panelbench.exe "$(winpath "$work")" --startup 2>/dev/null |
    tr -d '\r' | sed -n 's/^startup.listed //p')
  echo "$start $listed" >> "$work/startup.out"
done

python3 - "$work" "$big" "$small" <<'PY'
import statistics, sys
work, big, small = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])

def load(name):
    values, phases = {}, {}
    for line in open(f"{work}/{name}.out"):
        parts = line.split()
        if len(parts) >= 2 and parts[0].endswith(".phases"):
            phases[parts[0]] = dict(p.split("=") for p in parts[1:])
        elif len(parts) == 2:
            values[parts[0]] = float(parts[1])
        elif len(parts) == 3:
            values[parts[0]] = (int(parts[1]), int(parts[2]))
    return values, phases

def ms(s): return f"{s * 1000:8.1f} ms"

def line(label, program, floor=None, floor_name="", goal=None):
    text = f"{label:<44} {ms(program)}"
    if floor is not None:
        ratio = program / floor if floor > 0 else float("inf")
        text += f"   {floor_name} {ms(floor)}   ratio {ratio:5.2f}"
    if goal is not None:
        text += f"   goal {goal}"
    print(text)

for name, count in (("big", big), ("small", small)):
    v, phases = load(name)
    n = f"{count:,}"
    print(f"-- panel, {n} files and {count // 100:,} directories ({int(v['rows']) - 1:,} rows)")
    line(f"list {n}, sorted by name, painted", v["list.panel"], v["list.bare"], "bare listing",
         "<= 2.00 x bare" + (", < 200 ms" if count <= 20000 else ""))
    print("   phases of the first listing: " + " ".join(f"{k}={float(x) * 1000:.1f}ms" for k, x in phases["list.phases"].items())
          + f" paint={v['list.paint'] * 1000:.1f}ms")
    line(f"refresh {n} with {count // 10:,} marked", v["marked.panel"], v["marked.bare"], "bare listing", "<= 2.00 x bare")
    print("   phases of the refresh: " + " ".join(f"{k}={float(x) * 1000:.1f}ms" for k, x in phases["marked.phases"].items())
          + f" paint={v['marked.paint'] * 1000:.1f}ms; marks before/after {v['marked.count'][0]}/{v['marked.count'][1]}")
    line("clear the rows", v["clear.entries"], goal="< 200 ms")
    line("leave the directory (clear + small listing)", v["clear.leave"], goal="< 200 ms")
    line("close the program with the panel open", v["clear.close"], goal="< 200 ms")
    line("mark all", v["select.all"], goal="< 100 ms")
    line("invert", v["select.invert"], goal="< 100 ms")
    line("unmark all", v["select.none"], goal="< 100 ms")
    line("mark by mask *1.txt", v["select.mask"], v["select.mask.floor"], "system's listing of the mask", "< 100 ms")
    line("selection line", v["select.line"], goal="< 100 ms")
    for key in ("search", "end", "home", "up", "pagedown", "space"):
        line(f"key: {key} (with repaint)", v[f"keys.{key}"], goal="immediate")
    for mode in ("name", "extension", "size", "date"):
        for d in ("asc", "desc"):
            line(f"sort by {mode}, {d} (with repaint)", v[f"sort.{mode}.{d}"], goal="< 300 ms")
    print(f"{'memory per row beyond the name':<44} {v['memory.perrow']:8.0f} B    goal <= 200 B")

runs = [tuple(map(float, l.split())) for l in open(f"{work}/startup.out") if len(l.split()) == 2]
if runs:
    line("start to first listing (Wine running)", statistics.median(b - a for a, b in runs), goal="< 1 s")
PY
