#!/usr/bin/env bash
# screenshot.sh [OUT.png] [BUILD_DIR]: opens the editor from BUILD_DIR/dist (build/windows by
# default) under Wine on a virtual display of its own, where Wine draws the window frames
# itself, saves the 1024x768 desktop as a PNG and closes everything again.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/windows/norvell.png}
build=${2:-build/windows}
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
build=$(cd "$build" && pwd)
if [ ! -f "$build/dist/Norvell.exe" ] || [ ! -f "$build/testbin/winwait.exe" ]; then
  cmake --build "$build" --target Norvell winwait
fi

shoot() {
  local build=$1 out=$2
  cd "$build/dist"
  wine Norvell.exe &
  local editor=$!
  local status=0
  if wine "$build/testbin/winwait.exe" "Norvell 1.0" 30; then
    # The folder lists fill just after the window shows; give the paint a moment.
    sleep 1
    import -window root -crop 1024x768+0+0 +repage "$out"
  else
    echo "The editor's window did not appear." >&2
    status=1
  fi
  kill "$editor" 2>/dev/null || true
  wait "$editor" 2>/dev/null || true
  return $status
}
export -f shoot
bash scripts/with-wine.sh "$build" bash -c 'shoot "$1" "$2"' _ "$build" "$out"
echo "Saved the screenshot to $out"
