#!/usr/bin/env bash
# Installs what is missing, builds the presets and runs every test: host unit tests under
# the sanitizers, the fuzz targets over their seed corpus, then the Windows-side and
# end-to-end tests under Wine, from the check build (undefined behaviour traps, the C++
# library's checks, Wine's heap checks, Wine as an ordinary user), clang-tidy over the product
# code as built for Windows, and the release package's tests on the release build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset windows-check >/dev/null
cmake --build --preset windows-check
cmake --preset windows >/dev/null

# The Wine tests keep about one core busy: the release build and clang-tidy take the other
# meanwhile, behind them in the queue, and report when the tests are done.
mkdir -p build
side_log=build/release-and-tidy.log
setsid nice -n 10 bash -c 'cmake --build --preset windows-release -j 1 &&
                           python3 scripts/tidy.py build/windows-check -j 1' >"$side_log" 2>&1 &
side=$!
# Ended with everything it started if this script ends first.
trap 'kill -- -"$side" 2>/dev/null || true' EXIT
failed=0
bash scripts/with-wine.sh build/windows-check ctest --preset windows-check || failed=1
side_status=0
wait "$side" || side_status=$?
cat "$side_log"
if [ "$side_status" -ne 0 ]; then
  echo "The release build or clang-tidy failed (above)." >&2
  exit 1
fi
bash scripts/with-wine.sh build/windows ctest --preset windows-release || failed=1
exit "$failed"
