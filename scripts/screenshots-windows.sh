#!/usr/bin/env bash
# Takes the Windows screenshots in docs/ under Wine, each window on a Wine virtual desktop of its
# own (so Wine draws the whole window, caption and menu bar included): the panel, the settings
# dialog, the about box and the password dialog.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --windows
bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target navelo_win_preview
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target navelo_screenshot

shots() {
  set -euo pipefail
  source scripts/wine-env.sh
  navelo_wine_locale
  wineserver -p &
  # The Wine server would hold this script's output open: it ends with the script, even on failure.
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
  wineboot -i >/dev/null 2>&1 || true
  navelo_wine_fonts
  local preview=build/windows/tools/navelo_win_preview.exe rect
  rect=$(mktemp -d)/rect
  for window in ${NAVELO_SHOTS:-panel settings about password}; do
    rm -f "$rect"
    wine explorer /desktop=NaveloShot,900x800 "$preview" "$window" \
      "$(printf 'Z:%s' "$rect" | tr / '\\')" >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 300); do [ -s "$rect" ] && break; sleep 0.1; done
    [ -s "$rect" ] || { echo "screenshots-windows.sh: $window did not show" >&2; return 1; }
    # Where the window is on the Wine desktop, frame included.
    read -r x y w h <"$rect"
    build/release/tools/navelo_screenshot "docs/windows-$window.png" "NaveloShot - Wine desktop" \
      10 "$x" "$y" "$w" "$h"
    wait "$pid" || true
  done
}
export -f shots
env -u DISPLAY scripts/with-desktop.sh bash -c shots
echo docs/windows-{panel,settings,about,password}.png
