#!/usr/bin/env bash
# Builds the monitor for both targets and makes the release package (CPack): one ZIP
# with x64/kr470mon.exe, x86/kr470mon.exe, the shared record's header
# (connection_block.h) and the language monitor's contract (language-monitor.md).
# Writes build/package/kr470-status-monitor-VERSION.zip and prints its path.
# usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
for preset in x64 x86; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target kr470mon
done

# CPack of the x64 build gathers both exes (stripped), the header and the note.
cpack --config build/x64/CPackConfig.cmake -B build/package >/dev/null
echo "$PWD/build/package/kr470-status-monitor-$(sed -n 's/^project([^)]*VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt).zip"
