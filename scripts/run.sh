#!/usr/bin/env bash
# Builds Navelo, lays it out in dist/ and starts it. Without an X display it starts Navelo on a
# private virtual display, saves a screenshot of the panel and prints the file's path.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake --preset release >/dev/null
# Only what is started here: the program, and the screenshot tool for a run without a display
# (the test suite's programs are built by scripts/test.sh).
cmake --build --preset release --target navelo navelo_screenshot
cmake --install build/release --prefix "$PWD/dist" >/dev/null
program="$PWD/dist/lib/navelo/navelo"

# Outside a desktop session (a console, ssh, a container) nothing provides the runtime folder Qt
# expects, and Qt warns about it; a private one (mode 0700, as Qt requires) keeps it quiet.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$PWD/build/runtime"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 0700 "$XDG_RUNTIME_DIR"
fi

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
