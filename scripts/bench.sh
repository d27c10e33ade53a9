#!/usr/bin/env bash
# Runs every benchmark: each prints its time as a ratio to a baseline measured in the same run.
# Ends with one table of every figure, its target and whether it holds, and, once three runs
# are on record (build/bench/figures.log), the median of the last three runs of each figure
# and how far it moved across them.
# Not part of the tests: the figures depend on the machine and on what else it is doing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset bench >/dev/null
cmake --build --preset bench --target combine_bench
cmake --preset windows >/dev/null
cmake --build --preset windows --target combine_bench_win

output=$(mktemp)
trap 'rm -f "$output"' EXIT
{
  echo "== Combining 10,000 pick files, host"
  build/bench/bench/combine_bench
  echo "== Combining 10,000 pick files, under Wine"
  bash scripts/with-wine.sh build/windows wine build/windows/bench/combine_bench_win.exe
  bash scripts/bench-launcher.sh
  bash scripts/bench-editor.sh
} 2>&1 | tee "$output" | grep -v -e '^@figure' -e 'FS volume label and serial are not available'

# Each figure: @figure|what|value|target (at most; "-" for one only reported)|note
figures=$(tr -d '\r' <"$output" | grep '^@figure|' | cut -d'|' -f2-)
run="$(date -u +%Y-%m-%dT%H:%M:%SZ) load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$figures" | sed "s/^/$run|/" >>build/bench/figures.log

echo
echo "== Summary ($run; a ratio is this program's time over its baseline's)"
echo "$figures" | awk -F'|' '
  BEGIN { printf "%-78s %10s %8s  %-6s %s\n", "figure", "value", "target", "holds", "detail" }
  {
    holds = $3 == "-" ? "-" : ($2 + 0 <= $3 + 0 ? "yes" : "NO")
    printf "%-78s %10s %8s  %-6s %s\n", $1, $2, $3, holds, $4
  }'

# The last three runs on record, by figure.
runs=$(cut -d'|' -f1 build/bench/figures.log | uniq | tail -3)
if [ "$(echo "$runs" | wc -l)" -ge 3 ]; then
  echo
  echo "== The last three runs: the median of each figure, and its spread (highest - lowest)"
  echo "$runs" | sed 's/^/   /'
  grep -F -f <(echo "$runs") build/bench/figures.log | awk -F'|' '
    { key = $2; if (!(key in target)) order[++n] = key; target[key] = $4; values[key] = values[key] " " $3 }
    END {
      printf "%-78s %10s %8s %8s  %s\n", "figure", "median", "spread", "target", "holds"
      for (i = 1; i <= n; ++i) {
        key = order[i]; count = split(substr(values[key], 2), v, " ")
        for (a = 1; a <= count; ++a) for (b = a + 1; b <= count; ++b) if (v[b] < v[a]) { t = v[a]; v[a] = v[b]; v[b] = t }
        median = count % 2 ? v[(count + 1) / 2] : (v[count / 2] + v[count / 2 + 1]) / 2
        holds = target[key] == "-" ? "-" : (median + 0 <= target[key] + 0 ? "yes" : "NO")
        printf "%-78s %10s %8.3f %8s  %s\n", key, median, v[count] - v[1], target[key], holds
      }
    }'
fi
