# Sourced by demo.sh and screenshots.sh: runs the real monitor with the scripted
# spooler and lmsim in a Wine prefix of their own (BUILD/demo-prefix), on the
# user's display or on an Xvfb of its own, and stops everything it started on
# exit: the processes it was given, its prefix's wineserver, its Xvfb.
# usage: source scripts/sim-env.sh BUILD_DIR HEADLESS   (HEADLESS: 1 = Xvfb)
sim_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
sim_build=$(cd "$1" && pwd)
sim_headless=$2
sim_bin="$sim_build/bin"
sim_xvfb=""
sim_pids=""

source "$sim_here/wine-env.sh" "$sim_build"
# Not the tests' prefix: stopping this one's wineserver must not touch a test run.
export WINEPREFIX="$sim_build/demo-prefix"

sim_cleanup() {
  local pid
  for pid in $sim_pids; do kill "$pid" >/dev/null 2>&1 || true; done
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$sim_xvfb" ]; then kill "$sim_xvfb" >/dev/null 2>&1 || true; wait "$sim_xvfb" 2>/dev/null || true; fi
}
trap sim_cleanup EXIT
trap 'exit 130' INT TERM

if [ "$sim_headless" = 1 ]; then
  for n in $(seq 150 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { sim_display=":$n"; break; }
  done
  Xvfb "$sim_display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  sim_xvfb=$!
  export DISPLAY=$sim_display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

"$sim_here/prepare-prefix.sh"
# Captions draw their buttons with Marlett, which a prefix lacks unless the
# font was there when the prefix was made.
marlett=/usr/share/wine/fonts/marlett.ttf
if [ -e "$marlett" ] && [ ! -e "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
  cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
fi
# Xvfb has no window manager: Wine then manages the windows itself (and draws
# their captions); on the user's display the window manager does.
if [ "$sim_headless" = 1 ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
else
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >/dev/null 2>&1 || true
fi
# The setting is read when Wine's desktop process starts: start a fresh one,
# away from the script's output so that nothing keeps its pipes open.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
wineserver -p
wine wineboot </dev/null >/dev/null 2>&1 || true

# lmsim with its arguments, in the foreground.
lm() {
  wine "$sim_bin/lmsim.exe" "$@" </dev/null
}

# Starts a program of bin/ in the background; its pid is stopped on exit.
sim_start() {
  local program=$1; shift
  wine "$sim_bin/$program" "$@" </dev/null &
  sim_pids="$sim_pids $!"
}

# Waits up to $2 seconds for the visible X window named $1 (a regular expression).
sim_window() {
  local id
  for _ in $(seq $(( ${2:-10} * 10 ))); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

sim_tray_window() {
  sim_window '^Wine System Tray$' "${1:-10}"
}
