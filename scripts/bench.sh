#!/usr/bin/env bash
# Runs every benchmark: each prints its time as a ratio to a baseline measured in the same run.
# Not part of the tests: the figures depend on the machine and on what else it is doing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target combine_bench
cmake --preset windows >/dev/null
cmake --build --preset windows --target combine_bench_win

echo "== Combining 10,000 pick files, host"
build/bench/bench/combine_bench
echo "== Combining 10,000 pick files, under Wine"
bash scripts/with-wine.sh build/windows wine build/windows/bench/combine_bench_win.exe

bash scripts/bench-launcher.sh
bash scripts/bench-editor.sh
