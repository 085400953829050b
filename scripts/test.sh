#!/usr/bin/env bash
# Builds and runs the whole test suite: the release build with warnings as errors, then the
# ASan + UBSan build with the fuzzers. Provides its own X desktop (Xvfb and openbox).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --test
jobs=$(nproc)
for preset in release debug; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
for preset in release debug; do
  echo "== $preset tests"
  scripts/with-desktop.sh ctest --preset "$preset" -j "$jobs"
done
echo "== windows build and tests (MinGW-w64, Wine)"
bash scripts/test-windows.sh
