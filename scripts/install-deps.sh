#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, if missing.
set -euo pipefail
need=()
have() { command -v "$1" >/dev/null 2>&1; }
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
have i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix)
have x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64)
have wine || need+=(wine wine64)
[ -e /usr/share/wine/fonts/marlett.ttf ] || dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
have Xvfb || need+=(xvfb xauth)
have xdotool || need+=(xdotool)
have import || need+=(imagemagick)
have xwininfo || need+=(x11-utils)
have cmake || need+=(cmake)
have ninja || need+=(ninja-build)
have localedef || need+=(locales)
[ -d /usr/src/googletest ] || need+=(googletest)
[ -e /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf ] || need+=(fonts-ipafont-gothic)
if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${need[@]}"
fi
