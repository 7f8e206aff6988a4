#!/usr/bin/env bash
# Makes the Wine prefix and the private Japanese locale of the current
# environment (scripts/wine-env.sh) ready, once.
set -euo pipefail
if [ ! -e "$LOCPATH/ja_JP.UTF-8/LC_CTYPE" ]; then
  mkdir -p "$LOCPATH"
  localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" >/dev/null 2>&1 || [ -e "$LOCPATH/ja_JP.UTF-8/LC_CTYPE" ]
fi
# The stamp follows this script, so a changed setting reaches old prefixes too.
stamp="$WINEPREFIX/.kr470-ready-$(md5sum < "$0" | cut -c1-12)"
[ -e "$stamp" ] && exit 0
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1 || true
wineserver -w
reg="$(mktemp --suffix=.reg)"
# The dialog font of the status window and the message boxes' font map to IPA fonts.
cat > "$reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"Tahoma"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"=-

; Xvfb has no window manager: managed windows make Wine wait about two
; seconds for every hide. Unmanaged, Wine draws the caption itself.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
iconv -f UTF-8 -t UTF-16LE "$reg" | { printf '\xff\xfe'; cat; } > "$reg.u16"
wine regedit /S "$reg.u16" >/dev/null 2>&1
wineserver -w
rm -f "$reg" "$reg.u16"
touch "$stamp"
