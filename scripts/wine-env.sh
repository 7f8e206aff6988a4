# Sourced: the environment every Wine run of the project uses.
# usage: source scripts/wine-env.sh BUILD_DIR
_build=${1:?build folder}
export WINEPREFIX="$_build/wineprefix"
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export LOCPATH="$_build/locale"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# The scripted spooler DLL beside the monitor stands in for the system's; other
# programs fall back to Wine's own.
export WINEDLLOVERRIDES="winspool.drv=n,b;mscoree,mshtml="
