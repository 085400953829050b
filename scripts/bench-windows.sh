#!/usr/bin/env bash
# The delivery benchmark of Navelo for Windows, under Wine: builds the windows preset's program and
# the betting pages' stand-ins, then drives the real Navelo.exe as the end-to-end test does, RUNS
# rounds of an inquiry and a vote send (2 x RUNS sends), and prints the time from the click on the
# send button to the last field filled (median, p95), the exact deliveries of an ASCII, a symbol
# and a Japanese field, and the size of Navelo.exe:
#   bash scripts/bench-windows.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-50}

bash scripts/deps.sh --windows
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target navelo_exe ipat_pages >/dev/null

export WINEPREFIX="$PWD/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
times=$(mktemp)
trap 'rm -f "$times"' EXIT

ascii='Ab12345678'
symbols='p+^%~(){}[]!#$&*'
japanese='競馬ＩＰＡＴｱｲｳ'
export NAVELO_E2E_RUNS=$runs NAVELO_E2E_TIMES=$times NAVELO_E2E_IDS="$ascii|$symbols|$japanese"
drive() {
  mkdir -p "$WINEPREFIX"
  wineserver -p &
  wineboot -i >/dev/null 2>&1 || true
  local rc=0
  bash tests/windows/navelo_exe_e2e.sh build/windows/navelo/Navelo.exe \
    build/windows/tests/windows/ipat_pages.exe || rc=$?
  wineserver -k || true
  return $rc
}
export -f drive
scripts/with-desktop.sh bash -c drive

exe=build/windows/navelo/Navelo.exe
stripped=$(mktemp)
x86_64-w64-mingw32-strip -o "$stripped" "$exe"
size_kb=$(($(stat -c %s "$exe") / 1024))
stripped_kb=$(($(stat -c %s "$stripped") / 1024))
rm -f "$stripped"

# Each line: kind, milliseconds, the page's fields joined by |.
n=$(wc -l <"$times")
[ "$n" -gt 0 ] || { echo "no sends were measured" >&2; exit 1; }
percentile() { cut -f2 "$times" | sort -n | sed -n "$(((${1} * (n - 1) + 50) / 100 + 1))p"; }
exact() { cut -f3 "$times" | cut -d'|' -f"$1" | grep -cxF -- "$2" || true; }
complete=$(cut -f3 "$times" | cut -d'|' -f1-3 | grep -cxF -- "$ascii|$symbols|$japanese" || true)
printf '%-26s median %4d ms  p95 %4d ms  complete %3d/%d  ascii %3d/%d  symbols %3d/%d  japanese %3d/%d\n' \
  "Navelo.exe under Wine" "$(percentile 50)" "$(percentile 95)" "$complete" "$n" \
  "$(exact 1 "$ascii")" "$n" "$(exact 2 "$symbols")" "$n" "$(exact 3 "$japanese")" "$n"
printf 'Navelo.exe: %d KiB (%d KiB stripped)\n' "$size_kb" "$stripped_kb"
