#!/usr/bin/env bash
# The monitor must run on a bare Windows: it may import only system DLLs, and
# it must be a GUI program with a wide entry point.
# usage: imports.sh OBJDUMP EXE
set -euo pipefail
objdump=$1 exe=$2
dump=$("$objdump" -p "$exe")
allowed='^(KERNEL32|USER32|GDI32|SHELL32|ADVAPI32|msvcrt|WINSPOOL)\.(dll|DLL|drv|DRV)$'
status=0
while read -r dll; do
  if ! [[ $dll =~ $allowed ]]; then echo "unexpected import: $dll"; status=1; fi
done < <(grep 'DLL Name:' <<<"$dump" | awk '{print $3}')
grep -q 'Subsystem.*(Windows GUI)' <<<"$dump" || { echo "not a GUI program"; status=1; }
grep -q 'DLL Name: WINSPOOL.DRV' <<<"$dump" || { echo "the spooler is not imported"; status=1; }
[ $status -eq 0 ] && echo "imports ok: $(grep 'DLL Name:' <<<"$dump" | awk '{print $3}' | tr '\n' ' ')"
exit $status
