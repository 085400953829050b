#!/usr/bin/env bash
# Takes the screenshots in docs/ on virtual desktops: the panel, the settings dialog and the about
# box under openbox; the four windows once more under xfwm4, which draws only the title-bar buttons
# each window asks for (openbox keeps iconify and close on every window).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test
cmake --preset release >/dev/null
cmake --build --preset release --target navelo navelo_screenshot navelo_dialog_preview
shoot='
  set -e
  shot=build/release/tools/navelo_screenshot
  preview=build/release/tools/navelo_dialog_preview
  prefix=$1; shift
  dir=$(mktemp -d); cp build/release/navelo/navelo build/release/navelo/Readme.txt "$dir"/
  "$dir/navelo" & pid=$!
  "$shot" "docs/${prefix}panel.png" Navelo 20; kill -TERM $pid; wait $pid || true; rm -rf "$dir"
  for dialog in "$@"; do
    case $dialog in
      settings) title=Navelo ;;
      about) title="Naveloのﾊﾞｰｼﾞｮﾝ情報" ;;
      password) title="【Navelo】パスワード入力" ;;
    esac
    "$preview" "$dialog" & pid=$!
    "$shot" "docs/${prefix}${dialog}.png" "$title" 20; kill $pid; wait $pid || true
  done'
env -u DISPLAY scripts/with-desktop.sh bash -c "$shoot" - "" settings about
env -u DISPLAY NAVELO_WM=xfwm4 scripts/with-desktop.sh bash -c "$shoot" - xfwm4- settings about password
echo docs/{,xfwm4-}{panel,settings,about}.png docs/xfwm4-password.png
