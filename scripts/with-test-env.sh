#!/usr/bin/env bash
# Runs a command inside the test environment of a build folder: a private Wine
# prefix (BUILD/wineprefix) with the Japanese locale (code page 932) and the
# font replacements, an Xvfb display of its own, and a running wineserver.
# Everything it starts is stopped when the command ends.
# usage: scripts/with-test-env.sh BUILD_DIR command [args...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd); shift
source "$here/wine-env.sh" "$build"

"$here/prepare-prefix.sh"

started_x=""
if [ -z "${KR470_KEEP_DISPLAY:-}" ] || [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || { display=":$n"; break; }
  done
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  started_x=$!
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
wineserver -p
# Wine's own background processes (services, the desktop) start with the first
# program of a session and keep its output handles: start them here, away from
# the command's output, or ctest waits for its pipe until the test times out.
wine wineboot </dev/null >/dev/null 2>&1 || true
wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  [ -n "$started_x" ] && kill "$started_x" >/dev/null 2>&1 || true
}
trap cleanup EXIT
"$@"
