#!/usr/bin/env bash
# Makes the Windows installer of an already built windows tree and prints its path:
#   make-setup.sh BUILD_DIR OUT_DIR   ->  OUT_DIR/Navelo-VERSION-setup.exe
# The installer (packaging/windows/navelo.nsi, made with NSIS's makensis) holds the stripped
# Navelo.exe and Readme.txt; the version is the build's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)

cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
version=$(cache CMAKE_PROJECT_VERSION)
strip=$(cache CMAKE_STRIP)
[ -n "$version" ] || { echo "make-setup.sh: $build is not a configured build tree" >&2; exit 1; }
if ! command -v makensis >/dev/null; then
  echo "make-setup.sh: makensis (package nsis) is not installed" >&2
  exit 1
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
"${strip:-x86_64-w64-mingw32-strip}" -o "$stage/Navelo.exe" "$build/navelo/Navelo.exe"
cp "$build/navelo/Readme.txt" "$stage/Readme.txt"
setup="$out/Navelo-$version-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" \
  -DICON="$root/assets/navelo.ico" -DOUTFILE="$setup" "$root/packaging/windows/navelo.nsi" >&2
echo "$setup"
