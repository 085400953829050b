#!/usr/bin/env bash
# Navelo.exe is one self-contained program: it may import only DLLs every Windows has.
set -euo pipefail
exe="$1"
allowed=" ADVAPI32.dll COMCTL32.dll GDI32.dll IMM32.dll KERNEL32.dll msvcrt.dll SHELL32.dll USER32.dll "
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ -n "$dlls" ] || { echo "no import table read from $exe"; exit 1; }
status=0
for dll in $dlls; do
  case "$allowed" in
    *" $dll "*) echo "ok: $dll" ;;
    *) echo "not a system DLL: $dll"; status=1 ;;
  esac
done
exit $status
