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

# The Wine tests keep about one core busy: the release build and clang-tidy take what is left
# meanwhile, each on its own, behind the tests in the queue, and report when the tests are done.
# Two of them, not one after the other: once the tests end, they have both cores.
mkdir -p build
release_log=build/release.log
tidy_log=build/tidy.log
setsid nice -n 19 cmake --build --preset windows-release -j 1 >"$release_log" 2>&1 &
release=$!
setsid nice -n 19 python3 scripts/tidy.py build/windows-check -j 1 >"$tidy_log" 2>&1 &
tidy=$!
# Ended with everything they started if this script ends first.
trap 'kill -- -"$release" -"$tidy" 2>/dev/null || true' EXIT
failed=0
bash scripts/with-wine.sh build/windows-check ctest --preset windows-check || failed=1
release_status=0
wait "$release" || release_status=$?
tidy_status=0
wait "$tidy" || tidy_status=$?
cat "$release_log" "$tidy_log"
if [ "$release_status" -ne 0 ] || [ "$tidy_status" -ne 0 ]; then
  echo "The release build or clang-tidy failed (above)." >&2
  exit 1
fi
bash scripts/with-wine.sh build/windows ctest --preset windows-release || failed=1
exit "$failed"
