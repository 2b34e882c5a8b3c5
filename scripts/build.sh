#!/usr/bin/env bash
# Builds the 64-bit tree (run and tested under Wine) and the 32-bit tree (compiled only); all also
# builds the native replay of the fuzzers' stored inputs (build/fuzz, clang), which the tests run.
# Usage: build.sh [x64|x86|all]   (default all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
jobs=${PD_JOBS:-2}
build_one() {
  local dir=$1 toolchain=$2 tests=$3
  cmake -S "$root" -B "$root/build/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" -DPD_TESTS=$tests >/dev/null
  cmake --build "$root/build/$dir" -j "$jobs"
}
case "$which" in
  x64) build_one x64 mingw-x86_64.cmake ON ;;
  x86) build_one x86 mingw-i686.cmake OFF ;;
  all) build_one x64 mingw-x86_64.cmake ON; build_one x86 mingw-i686.cmake OFF
    PD_JOBS=$jobs "$root/scripts/fuzz.sh" --build ;;
esac
