#!/usr/bin/env bash
# Times Brightwick as a whole process under Wine, over a day file of 10,000 records none of
# which is due and over a typical day of 20 records of which 5 start the test probe, with its
# logon history written as at a logon, as ratios of the mean wall and CPU times to an empty
# Windows program's start and exit in the same run, and prints the sizes of the small programs.
# Not a test: the figures depend on what else the machine is doing.
#   scripts/bench-launcher.sh [WINDOWS_BUILD_DIR [HOST_BENCH_BUILD_DIR [benchmark flags]]]
# The build folders default to build/windows and build/bench.
set -euo pipefail
cd "$(dirname "$0")/.."
windows=${1:-build/windows}
host=${2:-build/bench}
shift $(($# < 2 ? $# : 2))
bash scripts/deps.sh
cmake --preset windows -B "$windows" >/dev/null
cmake --build "$windows" -j2 --target Brightwick copyfle clrfle empty_program starts_alone probe
cmake --preset bench -B "$host" >/dev/null
cmake --build "$host" -j2 --target launcher_bench

echo "== Sizes, against the empty program's $(stat -c %s "$windows/bench/empty_program.exe") bytes"
for program in Brightwick.exe copyfle.com clrfle.com; do
  size=$(stat -c %s "$windows/dist/$program")
  echo "$program: $size bytes"
  echo "@figure|$program, bytes|$size|65536|"
done
echo "== Brightwick against an empty program, under Wine: 10,000 records none due; 20 records 5 due, also against its 5 starts alone"
bash scripts/with-wine.sh "$windows" "$host/bench/launcher_bench" \
  "$windows/dist/Brightwick.exe" "$windows/bench/empty_program.exe" \
  "$windows/testbin/probe.exe" "$windows/bench/starts_alone.exe" "$@"
