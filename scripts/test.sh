#!/usr/bin/env bash
# Builds both targets and runs every test under Wine and Xvfb.
# Installs what is missing first (Debian).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset x86 >/dev/null
cmake --build --preset x86
cmake --preset x64 >/dev/null
cmake --build --preset x64
scripts/with-test-env.sh build/x64 ctest --preset x64 "$@"
