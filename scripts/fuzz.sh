#!/usr/bin/env bash
# Fuzzes the parsers of outside input with libFuzzer under AddressSanitizer and UBSan (native clang build).
# Usage: fuzz.sh [TARGET|all] [SECONDS]    (default: all targets, 1800 s each at most)
#        fuzz.sh --replay                  (replays fuzz/corpus and fuzz/regressions once, as the tests do)
#        fuzz.sh --build                   (builds the replay only; scripts/build.sh all does this)
#        fuzz.sh --seeds                   (writes fuzz/corpus again from the generators)
# Each target stops after PD_FUZZ_RUNS executions (default 1000000) or SECONDS, whichever comes first;
# an input over 1 s or an allocation over 256 MiB counts as a fault. Faults are written to
# build/fuzz/crashes/TARGET/ and minimised; copy the minimised input to fuzz/regressions/TARGET/
# once the parser is mended. The last line of each run (executions, cov, ft) goes to build/fuzz/summary.txt.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
runs=${PD_FUZZ_RUNS:-1000000}
jobs=${PD_JOBS:-1}

configure() {
  command -v clang++ >/dev/null || { echo "clang++ is missing: run scripts/setup.sh" >&2; exit 1; }
  CC=clang CXX=clang++ cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPD_FUZZERS="$1" >/dev/null || exit 1
}

case "${1:-all}" in
  --build)
    configure OFF
    exec cmake --build "$build" -j "$jobs" --target pdfuzz_replay ;;
  --replay)
    configure OFF
    cmake --build "$build" -j "$jobs" --target pdfuzz_replay >/dev/null || exit 1
    exec "$build/bin/pdfuzz_replay" "$root/fuzz" ;;
  --seeds)
    configure OFF
    cmake --build "$build" -j "$jobs" --target pdfuzz_seeds >/dev/null || exit 1
    rm -rf "$root/fuzz/corpus"
    exec "$build/bin/pdfuzz_seeds" "$root/fuzz/corpus" ;;
esac

target=${1:-all}
seconds=${2:-1800}
configure ON
cmake --build "$build" -j "$jobs" || exit 1
if [ "$target" = all ]; then
  targets=$(cd "$build/bin" && ls fuzz_* | sed 's/^fuzz_//')
else
  targets=$target
  [ -x "$build/bin/fuzz_$target" ] || { echo "no such target: $target" >&2; exit 2; }
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for t in $targets; do
  work="$build/work/$t" crashes="$build/crashes/$t"
  mkdir -p "$work" "$crashes" "$root/fuzz/corpus/$t"
  log="$build/log-$t.txt"
  echo "== $t: up to $runs executions or $seconds s"
  # The working corpus comes first: new inputs go there, the seeds in the repository stay as they are.
  nice -n 19 "$build/bin/fuzz_$t" "$work" "$root/fuzz/corpus/$t" -runs="$runs" -max_total_time="$seconds" \
    -timeout=1 -malloc_limit_mb=256 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$crashes/" >"$log" 2>&1
  rc=$?
  last=$(grep -E '^#[0-9]+' "$log" | tail -1)
  execs=$(grep -E 'stat::number_of_executed_units' "$log" | awk '{print $2}')
  echo "$t rc=$rc executions=${execs:-?} $last" | tee -a "$build/summary.txt"
  if [ $rc -ne 0 ]; then
    status=1
    for crash in "$crashes"/crash-* "$crashes"/timeout-* "$crashes"/oom-* "$crashes"/leak-*; do
      [ -f "$crash" ] || continue
      case "$crash" in *.min) continue ;; esac
      # Every try crashes: without symbolising, a minute is enough.
      ASAN_OPTIONS="$ASAN_OPTIONS:symbolize=0" UBSAN_OPTIONS="$UBSAN_OPTIONS:symbolize=0" \
        nice -n 19 "$build/bin/fuzz_$t" "$crash" -minimize_crash=1 -max_total_time=60 -timeout=1 \
        -malloc_limit_mb=256 -exact_artifact_path="$crash.min" >>"$log" 2>&1
      echo "   fault: $crash (minimised: $crash.min)"
    done
    tail -40 "$log" | grep -E 'ERROR|SUMMARY|property failed|runtime error' | head -5
  fi
done
exit $status
