#!/usr/bin/env bash
# Installs what is missing, builds the presets and runs every test: host unit tests under
# the sanitizers, the fuzz targets over their seed corpus, the Windows-side and
# end-to-end tests under Wine, from the check build (undefined behaviour traps, the C++
# library's checks, Wine's heap checks, Wine as an ordinary user), clang-tidy over the product
# code as built for Windows, and the release package's tests on the release build.
# Ends with the time each stage took.
set -euo pipefail
cd "$(dirname "$0")/.."
mkdir -p build

# Each stage's time, and the processor time of what it waited for, printed at the end
# whatever happens.
timings=()
mark=$SECONDS
times_file=$(mktemp)
cpu=0
read_cpu() {  # cpu: the seconds of the processes this script has waited for so far
  # times speaks of this shell only outside a subshell, so it writes to a file.
  times >"$times_file"
  cpu=$(awk 'NR == 2 { for (i = 1; i <= 2; ++i) { split($i, t, "m"); s += t[1] * 60 + t[2] } print int(s) }' "$times_file")
}
read_cpu
cpu_mark=$cpu
stage() {
  read_cpu
  timings+=("$(printf '%-58s %5d s  (processor %5d s)' "$1" $((SECONDS - mark)) $((cpu - cpu_mark)))")
  mark=$SECONDS
  cpu_mark=$cpu
}
background=()
# behind LEVEL COMMAND...: COMMAND in the background, in a process group of its own for
# finish() to end, at priority LEVEL (nice). The kernel may schedule each session as one group
# (autogroup), where a nice level counts only among the session's own processes: the new
# session's group gets the level too.
behind() {
  setsid bash -c 'echo "$0" >/proc/self/autogroup 2>/dev/null || true; exec nice -n "$0" "$@"' \
    "$@" &
}
deps=""
finish() {
  # Ended with everything they started if this script ends first; an installation is let
  # finish, since a package manager stopped half way leaves the system's packages broken.
  for group in "${background[@]}"; do kill -- -"$group" 2>/dev/null || true; done
  [ -z "$deps" ] || wait "$deps" 2>/dev/null || true
  rm -f "$times_file"
  if ((${#timings[@]})); then
    echo "== Stages"
    printf '   %s\n' "${timings[@]}"
    echo "   $(printf '%-58s %5d s' "all" "$SECONDS")"
  fi
}
trap finish EXIT

# The host build needs few packages: it runs while the rest (MinGW, Wine, clang-tidy, the
# packaging tools: most of the download and unpacking) installs.
bash scripts/deps.sh host
stage "packages for the host build"
deps_log=build/deps.log
setsid bash scripts/deps.sh >"$deps_log" 2>&1 &
deps=$!

cmake --preset host >/dev/null
cmake --build --preset host
stage "host build (the other packages install meanwhile)"
ctest --preset host -j 2
stage "host tests"

deps_status=0
wait "$deps" || deps_status=$?
deps=""
cat "$deps_log"
[ "$deps_status" -eq 0 ] || { echo "Installing the packages failed (above)." >&2; exit 1; }
stage "waiting for the other packages"

cmake --preset windows-check >/dev/null
cmake --preset windows >/dev/null
# What runs beside the builds and the tests takes what they leave: clang-tidy needs only the
# check build's configuration, so it starts now, and the release build goes before it and the
# fuzz targets. Each has two jobs, so that once the tests are done it has both cores.
tidy_log=build/tidy.log
behind 19 python3 scripts/tidy.py build/windows-check -j 2 >"$tidy_log" 2>&1
tidy=$!
background+=("$tidy")
# Wine makes its prefix meanwhile (wineboot is mostly one process waiting on another); the
# release's tests get a copy of it before any test changes it.
prefix_log=build/wine-prefix.log
setsid bash scripts/with-wine.sh build/windows-check true >"$prefix_log" 2>&1 &
prefix=$!
background+=("$prefix")
cmake --build --preset windows-check
prefix_status=0
wait "$prefix" || prefix_status=$?
cat "$prefix_log"
[ "$prefix_status" -eq 0 ] || { echo "Preparing the Wine prefix failed (above)." >&2; exit 1; }
if [ ! -f build/windows/wineprefix/.norvell-ready ]; then
  rm -rf build/windows/wineprefix
  cp -a build/windows-check/wineprefix build/windows/wineprefix
fi
stage "check build for Windows (the Wine prefix is made, clang-tidy starts)"

# The Wine tests mostly wait for windows and programs.
release_log=build/release.log
behind 10 cmake --build --preset windows-release -j 2 >"$release_log" 2>&1
release=$!
# The fuzz targets need nothing of the Windows builds.
fuzz_log=build/fuzz.log
behind 19 bash -c 'cmake --preset fuzz >/dev/null && cmake --build --preset fuzz &&
                   ctest --preset fuzz -j 2' >"$fuzz_log" 2>&1
fuzz=$!
background+=("$release" "$fuzz")
failed=0
bash scripts/with-wine.sh build/windows-check ctest --preset windows-check || failed=1
stage "Windows-side and end-to-end tests under Wine (the release build beside them)"
release_status=0
wait "$release" || release_status=$?
cat "$release_log"
[ "$release_status" -eq 0 ] || { echo "The release build failed (above)." >&2; exit 1; }
stage "the rest of the release build"
bash scripts/with-wine.sh build/windows ctest --preset windows-release || failed=1
stage "release package tests (clang-tidy and the fuzz targets beside them)"
tidy_status=0
wait "$tidy" || tidy_status=$?
fuzz_status=0
wait "$fuzz" || fuzz_status=$?
cat "$tidy_log" "$fuzz_log"
stage "the rest of clang-tidy and the fuzz targets"
if [ "$tidy_status" -ne 0 ] || [ "$fuzz_status" -ne 0 ]; then
  echo "clang-tidy or the fuzz targets' corpus failed (above)." >&2
  exit 1
fi
exit "$failed"
