#!/usr/bin/env bash
# Installs what is missing, builds both trees, and runs every test under Wine on a private display.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" || exit 1
"$root/scripts/build.sh" all || exit 1
build="$root/build/x64"
"$root/scripts/wine-session.sh" start "$build" || exit 1
export DISPLAY=$(cat "$build/session/display")
export BUILD_DIR="$build"
. "$root/scripts/wine-env.sh"
# FTP test servers and other helpers read this to find the build tree.
export PD_BUILD_DIR="$build"
"$root/scripts/ftp-servers.sh" start "$build" || exit 1
# Directory links for the tests that must not follow them (made here: a Wine process cannot).
links="$build/linkfixture"
rm -rf "$links"
mkdir -p "$links/copy/T" "$links/delete/T" "$links/delete/victim"
printf keep > "$links/copy/T/keep.txt"; printf keep > "$links/delete/T/keep.txt"; printf v > "$links/delete/victim/v.txt"
ln -s "$links/copy/T" "$links/copy/T/loop"
ln -s "$links/delete/T" "$links/delete/T/loop"
ln -s "$links/delete/victim" "$links/delete/T/out"
# Other ways into one directory: into/alias -> into/D, into/subalias -> into/D/sub.
mkdir -p "$links/into/D/sub"; printf f > "$links/into/D/sub/f.txt"
ln -s "$links/into/D" "$links/into/alias"
ln -s "$links/into/D/sub" "$links/into/subalias"
# The file search: search/T/sub/up -> search/T.
mkdir -p "$links/search/T/sub"; printf t > "$links/search/T/top.txt"; printf l > "$links/search/T/sub/low.txt"
ln -s "$links/search/T" "$links/search/T/sub/up"
export PD_LINK_FIXTURE="Z:$(printf '%s' "$links" | tr / '\\')"
# Two names that differ only in case (a Wine process cannot make the second one).
twins="$build/casefixture"
rm -rf "$twins"; mkdir -p "$twins"; : > "$twins/Twin.txt"; : > "$twins/twin.txt"
export PD_CASE_FIXTURE="Z:$(printf '%s' "$twins" | tr / '\\')"
rm -rf "$build/results"; mkdir -p "$build/results"
cd "$build"
ctest --output-on-failure --timeout 300 "$@" </dev/null > "$build/ctest.log" 2>&1
rc=$?
"$root/scripts/ftp-servers.sh" stop "$build" >/dev/null 2>&1
"$root/scripts/wine-session.sh" stop "$build" >/dev/null 2>&1
cat "$build/ctest.log"
"$root/scripts/test-report.py" "$build/results"
exit $rc
