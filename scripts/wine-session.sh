#!/usr/bin/env bash
# Starts or stops the display, window manager and Wine services of a build tree.
# Usage: wine-session.sh start|stop BUILD_DIR [--no-display]
set -uo pipefail
action=$1; export BUILD_DIR=$(cd "$2" && pwd); nodisplay=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
state="$BUILD_DIR/session"
mkdir -p "$state"

start_display() {
  local n
  for n in $(seq 91 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    echo $! > "$state/xvfb.pid"
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    if [ -e /tmp/.X11-unix/X$n ]; then echo ":$n" > "$state/display"; return 0; fi
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
  done
  echo "no free X display found" >&2; return 1
}

case "$action" in
start)
  if [ -z "$nodisplay" ]; then
    start_display || exit 1
    export DISPLAY=$(cat "$state/display")
    openbox --sm-disable </dev/null >/dev/null 2>&1 &
    echo $! > "$state/openbox.pid"
  else
    unset DISPLAY; : > "$state/display"
  fi
  wineserver -p </dev/null >/dev/null 2>&1
  if [ ! -f "$WINEPREFIX/.pd-ready" ]; then
    wineboot -i </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    wine reg add 'HKLM\Software\Classes\.txt' /ve /d txtfile /f </dev/null >/dev/null 2>&1
    wine reg add 'HKLM\Software\Classes\txtfile\shell\open\command' /ve /d 'notepad.exe "%1"' /f </dev/null >/dev/null 2>&1
    touch "$WINEPREFIX/.pd-ready"
  fi
  wine cmd /c exit </dev/null >/dev/null 2>&1
  # One GUI process for the whole run keeps later GUI starts fast.
  if [ -z "$nodisplay" ]; then
    wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &
  fi
  ;;
stop)
  wineserver -k </dev/null >/dev/null 2>&1
  for f in openbox xvfb; do
    [ -f "$state/$f.pid" ] && kill "$(cat "$state/$f.pid")" 2>/dev/null
    rm -f "$state/$f.pid"
  done
  ;;
esac
exit 0
