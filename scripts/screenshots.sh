#!/usr/bin/env bash
# Photographs the real monitor in its main states for the README, on an Xvfb
# of its own, with lmsim as the language monitor: the icon when ready, the
# window printing, out of paper (302), with the cover open (301) and with a
# data error (500, 印刷中止 the default), and the icon of each error.
# Writes docs/screenshots/*.png, cropped to the window or the icon.
# usage: scripts/screenshots.sh [BUILD_DIR]   (default: builds the x64 preset)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/docs/screenshots"
if [ $# -gt 0 ]; then
  build=$1
else
  scripts/install-deps.sh
  cmake --preset x64 >/dev/null
  cmake --build --preset x64
  build=build/x64
fi
source scripts/sim-env.sh "$build" 1
mkdir -p "$out"
log="$sim_build/screenshots-lmsim.log"

# Wine's stand-alone notification area: a framed window whose client area
# (160 pixels wide) holds 20-pixel icon cells from the left.
cell=20
tray_client_width=160
tray_cell() {  # sets X Y WIDTH HEIGHT to the tray window, and CELL_X CELL_Y to its first cell
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local side=$(( (WIDTH - tray_client_width) / 2 ))
  [ "$side" -ge 0 ] || side=0
  CELL_X=$side
  CELL_Y=$(( HEIGHT - side - cell ))
}
shot_window() {
  local id
  id=$(sim_window ' Status Monitor$') || { echo "no window for $1" >&2; exit 1; }
  sleep 1  # let the tick that brought it up finish painting
  import -window "$id" -strip "$out/$1.png"
  echo "docs/screenshots/$1.png"
}
shot_tray() {
  local id
  id=$(sim_tray_window) || { echo "no notification area for $1" >&2; exit 1; }
  sleep 0.5
  tray_cell "$id"
  import -window "$id" -crop "${cell}x${cell}+${CELL_X}+${CELL_Y}" +repage -filter point -resize 200% -strip "$out/$1.png"
  echo "docs/screenshots/$1.png"
}
click_tray_icon() {
  local id
  id=$(sim_tray_window)
  tray_cell "$id"
  xdotool mousemove --sync $((X + CELL_X + cell / 2)) $((Y + CELL_Y + cell / 2)) click --repeat 2 --delay 100 1
  xdotool mousemove 1000 700  # keep the pointer off the pictures
}
# Escape in the shown window puts it into the notification area.
hide_window() {
  local id
  id=$(sim_window ' Status Monitor$')
  xdotool windowfocus --sync "$id" key Escape
  for _ in $(seq 50); do xdotool search --onlyvisible --name ' Status Monitor$' >/dev/null || return 0; sleep 0.1; done
  echo "the window did not go" >&2; exit 1
}

# The language monitor's side that stays: the printer, and answers to inquiries.
sim_start lmsim.exe -c "install KR-470" -c "echo installed" --printer KR-470 --model KR-470 \
  --wait-monitor 60000 --status 0 --serve >"$log" 2>&1
for _ in $(seq 100); do grep -q installed "$log" && break; sleep 0.1; done
sim_start kr470mon.exe
sim_tray_window 60 >/dev/null || { echo "the monitor did not start" >&2; exit 1; }
for _ in $(seq 100); do grep -q "monitor is running" "$log" && break; sleep 0.1; done
shot_tray tray-ready

lm --user 山田太郎 --document 出荷ラベル_0412.pdf --job --status 2 >/dev/null
sleep 1
click_tray_icon  # the inquiry finds the job and shows the window after its wait
shot_window printing

lm --status 302 >/dev/null
sleep 1.5
shot_window paper-out-302
hide_window
shot_tray tray-paper-out-302

lm --status 301 >/dev/null
shot_window cover-open-301
hide_window

lm --status 500 >/dev/null
shot_window data-error-500
hide_window
shot_tray tray-data-error-500

lm --display-mode 1 >/dev/null
ls -l "$out"
