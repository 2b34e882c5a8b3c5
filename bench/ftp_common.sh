# Shared by the FTP benchmarks (sourced): builds ftp_bench.exe in its own tree, starts a Wine session and the
# local FTP servers, and reads the server named by $1 (an env file under the tree's ftp/ folder) into
# port, user, pass and home. Sets build, exe and work; everything is stopped and removed on exit.
ftp_bench_setup() {
  local server=$1
  # Its own tree, so PD_BENCH never ends up in the cache of the tree the tests use.
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DPD_TESTS=OFF -DPD_BENCH=ON >/dev/null
  cmake --build "$build" --target ftp_bench -j "${PD_JOBS:-2}" >/dev/null
  build=$(cd "$build" && pwd)
  exe="$build/bin/ftp_bench.exe"
  work=$(mktemp -d "$build/bench-run.XXXXXX")
  trap ftp_bench_cleanup EXIT
  "$root/scripts/wine-session.sh" start "$build" --no-display
  "$root/scripts/ftp-servers.sh" start "$build"
  local env="$build/ftp/$server.env"
  port=$(sed -n 's/^port=//p' "$env")
  user=$(sed -n 's/^user=//p' "$env")
  pass=$(sed -n 's/^password=//p' "$env")
  home=$(sed -n 's/^home=//p' "$env")
}

ftp_bench_cleanup() {
  "$root/scripts/ftp-servers.sh" stop "$build"
  "$root/scripts/wine-session.sh" stop "$build"
  rm -rf "$work"
}

# Every copy must be byte-identical with the source, or the speeds mean nothing.
ftp_bench_same() {
  local f
  for f in "$@"; do
    cmp -s "$home/bench.bin" "$f" || { echo "copy differs from the source: $f" >&2; exit 1; }
  done
}
