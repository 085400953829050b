#!/usr/bin/env bash
# Builds Navelo for Windows with MinGW-w64 (installing what it needs) and writes
# dist/Navelo-VERSION-windows-x64.zip: Navelo.exe (stripped) and Readme.txt, and beside it
# dist/Navelo-VERSION-setup.exe, the per-user installer of the same files (scripts/make-setup.sh).
# Prints their paths.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --windows
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target navelo_exe
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/Navelo"
x86_64-w64-mingw32-strip -o "$stage/Navelo/Navelo.exe" build/windows/navelo/Navelo.exe
cp build/windows/navelo/Readme.txt "$stage/Navelo/Readme.txt"
mkdir -p dist
zip="$PWD/dist/Navelo-$version-windows-x64.zip"
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "$zip" --format=zip Navelo)
echo "$zip"
bash scripts/make-setup.sh build/windows dist
