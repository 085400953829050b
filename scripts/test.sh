#!/usr/bin/env bash
# Builds and runs the whole test suite: a format check, the release build with warnings as errors,
# then the ASan + UBSan build with the fuzzers. Provides its own X desktop (Xvfb and openbox). With CI=true
# a skipped test fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --test
echo "== format"
# Every C++ source as .clang-format lays it out.
find src tests tools \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run -Werror
jobs=$(nproc)
for preset in release debug; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
for preset in release debug; do
  echo "== $preset tests"
  log="build/$preset/ctest.log"
  scripts/with-desktop.sh ctest --preset "$preset" -j "$jobs" | tee "$log"
  # A test that could not run (no display, no browser) is reported skipped; in CI that is a failure.
  if [ "${CI:-}" = true ] && grep -q '(Skipped)' "$log"; then
    echo "CI: the tests above marked (Skipped) did not run; CI must run every test" >&2
    exit 1
  fi
done
echo "== windows build and tests (MinGW-w64, Wine)"
bash scripts/test-windows.sh
