#!/usr/bin/env bash
# Prints the editor's size against its limit, and times the editor under Wine, each as a ratio
# to a baseline measured in the same run: File1 showing a folder of 20,000 files against
# FindFirstFileExW enumerating it, and Norvell's start until Main shows against Main's controls
# made from a dialog template, and against a program that shows one empty window. Not a test:
# the figures depend on what else the machine is doing.
#   scripts/bench-editor.sh [WINDOWS_BUILD_DIR]   (build/windows by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}
bash scripts/deps.sh
cmake --preset windows -B "$build" >/dev/null
cmake --build "$build" -j2 --target Norvell main_dialog one_window file_list_bench_win \
  startup_bench_win
build=$(cd "$build" && pwd)
size=$(stat -c %s "$build/dist/Norvell.exe")
echo "== Norvell.exe: $size bytes, stripped"
echo "@figure|Norvell.exe, bytes|$size|500000|"
echo "== File1 showing 20,000 files, against FindFirstFileExW alone, under Wine"
bash scripts/with-wine.sh "$build" wine "$build/bench/file_list_bench_win.exe"
echo "== Norvell.exe until Main shows, against Main's controls from a template and one window, under Wine"
# Wine shows the Unix root as drive Z:.
windows_build="Z:${build//\//\\}"
bash scripts/with-wine.sh "$build" wine "$build/bench/startup_bench_win.exe" \
  "$windows_build\\dist\\Norvell.exe" "$windows_build\\bench\\main_dialog.exe" \
  "$windows_build\\bench\\one_window.exe"
