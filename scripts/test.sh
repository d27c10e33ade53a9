#!/usr/bin/env bash
# Installs what is missing, builds the presets and runs every test: host unit tests under
# the sanitizers, the fuzz targets over their seed corpus, then the Windows-side and
# end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset windows >/dev/null
cmake --build --preset windows
bash scripts/with-wine.sh build/windows ctest --preset windows
