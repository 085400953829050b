#!/usr/bin/env bash
# Builds Navelo for Windows with Debian's MinGW-w64 and packs it for users:
# dist/Navelo-1.2.4-windows-x64.zip holds Navelo.exe (one self-contained program) and Readme.txt.
# The settings file is created beside Navelo.exe, or in %APPDATA%\Navelo when that folder is
# not writable.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --windows
command -v zip >/dev/null || bash scripts/deps.sh --zip
cmake --preset windows >/dev/null
cmake --build --preset windows --target navelo_exe -j "$(nproc)"
version=$(sed -n 's/^project(Navelo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
out="dist/Navelo-${version}-windows-x64.zip"
mkdir -p dist
rm -f "$out"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/Navelo"
x86_64-w64-mingw32-strip -o "$stage/Navelo/Navelo.exe" build/windows/navelo/Navelo.exe
# Readme.txt with Windows line ends, as Notepad everywhere shows it.
sed 's/\r*$/\r/' assets/Readme.txt > "$stage/Navelo/Readme.txt"
(cd "$stage" && zip -q -r -X - Navelo) > "$out"
echo "$out"
