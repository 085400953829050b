#!/usr/bin/env bash
# An executable for Windows may import only DLLs that every Windows has: no runtime of the
# compiler (libstdc++, libgcc, winpthread) and nothing else that would have to ship beside it.
# Usage: check_imports.sh OBJDUMP EXE
set -uo pipefail
objdump=$1
exe=$2
command -v "$objdump" >/dev/null || { echo "skipped: $objdump is not installed"; exit 77; }

system='^(advapi32|comctl32|comdlg32|gdi32|imm32|kernel32|msvcrt|ole32|oleaut32|shell32|shlwapi|user32|uxtheme|version)\.dll$'
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$dlls" ] || { echo "FAILED: no import table read from $exe"; exit 1; }
others=$(tr 'A-Z' 'a-z' <<<"$dlls" | grep -Ev "$system")
if [ -n "$others" ]; then
  echo "FAILED: $exe imports DLLs that not every Windows has:"
  echo "$others"
  exit 1
fi
echo "passed: $(paste -sd' ' <<<"$dlls")"
