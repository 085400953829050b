#!/usr/bin/env bash
# Takes the screenshots in docs/ on a virtual desktop: the panel, the settings dialog, the about box.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target navelo navelo_screenshot navelo_dialog_preview
env -u DISPLAY scripts/with-desktop.sh bash -c '
  set -e
  shot=build/release/tools/navelo_screenshot
  preview=build/release/tools/navelo_dialog_preview
  dir=$(mktemp -d); cp build/release/navelo/navelo build/release/navelo/Readme.txt "$dir"/
  "$dir/navelo" & pid=$!
  "$shot" docs/panel.png Navelo 20; kill -TERM $pid; wait $pid || true; rm -rf "$dir"
  "$preview" settings & pid=$!
  "$shot" docs/settings.png Navelo 20; kill $pid; wait $pid || true
  "$preview" about & pid=$!
  "$shot" docs/about.png "Naveloのﾊﾞｰｼﾞｮﾝ情報" 20; kill $pid; wait $pid || true'
echo "docs/panel.png docs/settings.png docs/about.png"
