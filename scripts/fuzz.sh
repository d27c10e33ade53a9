#!/usr/bin/env bash
# Fuzzes every libFuzzer target for SECONDS each (default 60), one after the other, starting
# from the checked-in seeds and the corpus earlier runs grew in build/fuzz/corpus. Prints per
# target the executions, the coverage reached and what was found; a finding is kept in
# build/fuzz/findings and makes the script fail. Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/deps.sh

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

targets=(lines launcher_pass day_list pick_names combine clear)
findings=build/fuzz/findings
mkdir -p "$findings"
failed=0
report=()
for target in "${targets[@]}"; do
  grown=build/fuzz/corpus/$target
  mkdir -p "$grown"
  log=build/fuzz/$target.log
  echo "Fuzzing $target for ${seconds} s ..."
  status=0
  # New inputs go to the grown corpus, never into the checked-in seeds.
  build/fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$findings/$target-" "$grown" "fuzz/corpus/$target" \
    >"$log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  coverage=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 || true)
  if ((status == 0)); then
    found="no finding"
  else
    failed=1
    found="FINDING (exit $status): $(ls -t "$findings"/"$target"-* 2>/dev/null | head -n 1), see $log"
  fi
  report+=("$(printf '%-14s %12s executions %8s/s   %-22s %s' "$target" "${executions:-?}" \
    "${speed:-?}" "${coverage:-cov: ?}" "$found")")
done

echo
echo "Per target, ${seconds} s each (cov: code edges covered, ft: features):"
printf '%s\n' "${report[@]}"
exit "$failed"
