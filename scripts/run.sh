#!/usr/bin/env bash
# Builds Navelo, lays it out in dist/ and starts it. Without an X display it starts Navelo on a
# private virtual display, saves a screenshot of the panel and prints the file's path.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
cmake --install build/release --prefix "$PWD/dist" >/dev/null
program="$PWD/dist/lib/navelo/navelo"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$program"
fi

shot="$PWD/build/screenshots/panel.png"
mkdir -p "$(dirname "$shot")"
scripts/with-desktop.sh bash -c '
  "$1" & pid=$!
  "$2" "$3" Navelo 20; rc=$?
  kill -TERM "$pid"; wait "$pid" || true
  exit $rc' _ "$program" "$PWD/build/release/tools/navelo_screenshot" "$shot"
echo "No X display: Navelo ran on a virtual display. Screenshot of the panel: $shot"
