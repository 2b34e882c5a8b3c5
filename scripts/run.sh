#!/usr/bin/env bash
# Installs what is missing, builds, and opens Pandect Commander under Wine.
# Without a display it starts a virtual one and saves a screenshot of the window.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" || exit 1
"$root/scripts/build.sh" x64 || exit 1
build="$root/build/x64"
if [ -n "${DISPLAY:-}" ]; then
  export BUILD_DIR="$build"
  . "$root/scripts/wine-env.sh"
  wineserver -p </dev/null >/dev/null 2>&1
  exec wine "$build/bin/PD.EXE"
fi
"$root/scripts/wine-session.sh" start "$build" || exit 1
export DISPLAY=$(cat "$build/session/display")
export BUILD_DIR="$build"
. "$root/scripts/wine-env.sh"
wine "$build/bin/PD.EXE" </dev/null >/dev/null 2>&1 &
sleep 6
import -window root "$build/screenshot.png"
echo "No display: Pandect Commander runs on the virtual display $DISPLAY."
echo "Screenshot of the window: $build/screenshot.png"
echo "Press Enter to close it."
read -r _ || true
"$root/scripts/wine-session.sh" stop "$build"
