#!/usr/bin/env bash
# Builds the release preset and runs the delivery benchmark on a virtual X desktop (or the current
# one), then on a headless sway with a native Wayland Chromium, then the Windows program's under
# Wine: bash scripts/bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --test
cmake --preset release >/dev/null
cmake --build --preset release --target bench_delivery bench_sway navelo
scripts/with-desktop.sh build/release/bench/bench_delivery "${1:-50}"
scripts/with-sway.sh build/release/bench/bench_sway "${1:-30}"
bash scripts/bench-windows.sh "${1:-50}"
