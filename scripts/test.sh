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
cd "$build"
ctest --output-on-failure --timeout 300 --repeat until-pass:2 "$@" </dev/null > "$build/ctest.log" 2>&1
rc=$?
"$root/scripts/ftp-servers.sh" stop "$build" >/dev/null 2>&1
"$root/scripts/wine-session.sh" stop "$build" >/dev/null 2>&1
cat "$build/ctest.log"
exit $rc
