#!/usr/bin/env bash
# Builds the monitor for both targets and makes the release package: one ZIP
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

version=$(sed -n 's/^project([^)]*VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name="kr470-status-monitor-$version"
out="$PWD/build/package"
stage="$out/$name"
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage/x64" "$stage/x86"
cp build/x64/bin/kr470mon.exe "$stage/x64/"
cp build/x86/bin/kr470mon.exe "$stage/x86/"
# Symbols are of no use to the operator.
x86_64-w64-mingw32-strip "$stage/x64/kr470mon.exe"
i686-w64-mingw32-strip "$stage/x86/kr470mon.exe"
cp src/connection/connection_block.h docs/language-monitor.md "$stage/"
(cd "$out" && cmake -E tar cf "$name.zip" --format=zip "$name")
rm -rf "$stage"
echo "$out/$name.zip"
