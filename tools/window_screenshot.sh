#!/usr/bin/env bash
# Photographs the status window showing the paper-out message, to look at its
# layout and Japanese text by eye. Not a test: nothing is compared.
# usage: tools/window_screenshot.sh BUILD_DIR [OUTPUT.png]   (BUILD_DIR built with tests)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
out=$(realpath -m "${2:-$build/status-window.png}")
"$here/scripts/with-test-env.sh" "$build" bash -c '
  wine "$0/tests/window_tests.exe" --gtest_also_run_disabled_tests \
    --gtest_filter="*HoldsThePaperOutWindowForAScreenshot" >"$0/screenshot-run.log" 2>&1 &
  sleep 5
  import -window root "$1"
  wait
' "$build" "$out"
echo "$out"
