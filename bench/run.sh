#!/usr/bin/env bash
# Every benchmark in one go: builds what they need, then the panel, copy, archive, zip, FTP, hex editor,
# file compare and file search benchmarks, each printing one line per figure with the program's time, the floor or peer
# of the same run, the ratio.
# Usage: bench/run.sh
#   PD_BENCH_FILES=100000  PD_BENCH_FILES_SMALL=20000   panel directory sizes
#   PD_BENCH_SMALL=20000   PD_BENCH_BIG_MIB=1024          copy: small files, big file size
#   PD_BENCH_REPEATS=3     runs per figure (the median is shown)
#   PD_BENCH_DROP_FILES=100000  files in the dragged tree of the drop-list benchmark
#   PD_BENCH_MIB=64        FTP file size (bench/ftp_bench.sh)
# Figures measured here are recorded in bench/README.md. Not part of the tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/x64"
"$root/scripts/setup.sh" >/dev/null
"$root/scripts/build.sh" x64 >/dev/null

echo "== machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(free -g | awk '/^Mem:/ { print $2 " GB" }'), $(wine --version), load $(cut -d' ' -f1-3 /proc/loadavg)"

"$root/scripts/wine-session.sh" start "$build" >/dev/null
trap '"$root/scripts/wine-session.sh" stop "$build" >/dev/null 2>&1' EXIT
export DISPLAY=$(cat "$build/session/display")

echo "== panel"
"$root/bench/panel_bench.sh" "${PD_BENCH_FILES:-100000}" "${PD_BENCH_FILES_SMALL:-20000}"
echo "== copy"
"$root/bench/copy_bench.sh" "${PD_BENCH_BIG_MIB:-1024}" "${PD_BENCH_SMALL:-20000}"
echo "== drop list"
"$root/bench/drop_bench.sh" "${PD_BENCH_DROP_FILES:-100000}"
echo "== archives"
"$root/bench/archive_bench.sh"
echo "== zip"
"$root/bench/zip_bench.sh"
"$root/scripts/wine-session.sh" stop "$build" >/dev/null 2>&1
trap - EXIT
echo "== FTP"
"$root/bench/ftp_bench.sh"
echo "== hex editor"
"$root/bench/hexedit_bench.sh"
echo "== file compare"
"$root/bench/compare_bench.sh"
echo "== file search"
"$root/bench/search_bench.sh"
echo "== load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
