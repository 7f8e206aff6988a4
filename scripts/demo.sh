#!/usr/bin/env bash
# The demo: installs what is missing, builds, and runs the real monitor in a
# Wine prefix of its own with a simulated KR-470 (driver "NRV KR-470 Raster",
# port USB001, bidirectional support on) as the default printer, while lmsim
# plays the language monitor through a short tour: ready, printing a job,
# paper out, cover open, ready again (tools/lmsim/examples/tour.txt).
# With $DISPLAY it runs on that display and waits for Enter at the end; without
# one (or with --headless) it runs on an Xvfb of its own and saves a screenshot
# of each state into build/x64/screenshots. Either way it ends the monitor and
# leaves no process behind.
# usage: scripts/demo.sh [--headless]
set -euo pipefail
cd "$(dirname "$0")/.."
headless=0
[ "${1:-}" = "--headless" ] && headless=1
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then headless=1; fi

scripts/install-deps.sh
cmake --preset x64 >/dev/null
# The monitor, the scripted spooler beside it and the simulator: nothing else is needed here.
cmake --build --preset x64 --target kr470mon winspool_drv lmsim
build=build/x64
shots="$build/screenshots"

echo "preparing the Wine prefix $build/demo-prefix (the first time takes a minute)"
source scripts/sim-env.sh "$build" "$headless"
[ "$headless" = 1 ] && mkdir -p "$shots" && rm -f "$shots"/*.png

# lmsim installs the printer and plays the tour; its lines tell where it is.
exec 3< <(wine "$sim_bin/lmsim.exe" tools/lmsim/examples/tour.txt </dev/null 2>&1)
sim_pids="$sim_pids $!"
monitor_started=0
shot=0
while IFS= read -r line <&3; do
  line=${line%$'\r'}
  case "$line" in
    *"lmsim: installed")
      sim_start kr470mon.exe
      monitor_started=1
      ;;
    *"lmsim: tour: done")
      echo "tour done"
      break
      ;;
    *"lmsim: tour: "*)
      state=${line#*tour: }
      echo "state: $state"
      if [ "$headless" = 1 ]; then
        sleep 2  # a few ticks: the window comes up or goes away, and paints
        shot=$((shot + 1))
        file="$shots/$(printf %02d "$shot")-${state// /-}.png"
        import -window root "$file"
        echo "  $file"
      fi
      ;;
    *error*)
      echo "$line" >&2
      ;;
  esac
done
[ "$monitor_started" = 1 ] || { echo "lmsim did not set up the printer" >&2; exit 1; }

if [ "$headless" = 0 ]; then
  echo "The monitor keeps running: double-click its icon for a status inquiry, right-click it for its menu."
  read -r -p "Press Enter to end the demo. " _ || true
fi
# The language monitor's way to end the status monitor.
lm --display-mode 1 >/dev/null 2>&1 || true
sleep 1
echo "demo ended"
