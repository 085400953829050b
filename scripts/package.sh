#!/usr/bin/env bash
# Builds the Debian package dist/navelo_VERSION_ARCH.deb (installs what it needs, builds the
# release preset, then packages it) and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --package
cmake --preset release >/dev/null
cmake --build --preset release --target navelo
bash scripts/make-deb.sh build/release dist
