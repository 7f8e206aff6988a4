#!/usr/bin/env bash
# ctest's emulator: runs a Windows test program under Wine in the environment
# that scripts/with-test-env.sh prepared (WINEPREFIX, locale, DISPLAY).
exec wine "$@"
