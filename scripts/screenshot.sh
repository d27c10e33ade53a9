#!/usr/bin/env bash
# screenshot.sh [--dpi DPI] [OUT.png] [BUILD_DIR]: opens the editor from BUILD_DIR/dist
# (build/windows by default) under Wine on a virtual display of its own, where Wine draws the
# window frames itself, saves the desktop as a PNG and closes everything again. With --dpi
# (96 by default; 120, 144, 168, 192 are Windows' 125 % to 200 %) the prefix's LogPixels is set
# for the editor's start and put back afterwards; from 168 on, Main no longer fits the usual
# 1024x768 desktop, so the desktop is 1280x1024 for that run.
set -euo pipefail
cd "$(dirname "$0")/.."
dpi=96
positional=()
while [ $# -gt 0 ]; do
  case $1 in
    --dpi) dpi=${2:?--dpi needs a number}; shift 2 ;;
    --dpi=*) dpi=${1#--dpi=}; shift ;;
    *) positional+=("$1"); shift ;;
  esac
done
if ! [[ $dpi =~ ^[0-9]+$ ]] || [ "$dpi" -lt 96 ] || [ "$dpi" -gt 480 ]; then
  echo "The DPI must be a whole number from 96 to 480, not \"$dpi\"." >&2
  exit 2
fi
out=${positional[0]:-build/windows/norvell.png}
build=${positional[1]:-build/windows}
mkdir -p "$(dirname "$out")"
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
build=$(cd "$build" && pwd)
if [ ! -f "$build/dist/Norvell.exe" ] || [ ! -f "$build/testbin/winwait.exe" ]; then
  cmake --build "$build" --target Norvell winwait
fi

desktop_key='HKCU\Control Panel\Desktop'
desktops_key='HKCU\Software\Wine\Explorer\Desktops'
size=1024x768
[ "$dpi" -gt 144 ] && size=1280x1024

# Puts back the prefix's DPI as it was ($1, or none) and its usual desktop: the tests share it.
restore() {
  if [ -n "$1" ]; then
    wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$(($1))" /f >/dev/null 2>&1
  else
    wine reg delete "$desktop_key" /v LogPixels /f >/dev/null 2>&1 || true
  fi
  wine reg add "$desktops_key" /v Default /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
}

shoot() {
  local build=$1 out=$2 dpi=$3 size=$4
  wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  cd "$build/dist"
  wine Norvell.exe &
  local editor=$!
  local status=0
  if wine "$build/testbin/winwait.exe" "Norvell 1.0" 30; then
    # The folder lists fill just after the window shows; give the paint a moment.
    sleep 1
    import -window root -crop "$size+0+0" +repage "$out"
  else
    echo "The editor's window did not appear." >&2
    status=1
  fi
  kill "$editor" 2>/dev/null || true
  wait "$editor" 2>/dev/null || true
  return $status
}
export -f restore shoot
export desktop_key desktops_key
# Wine's desktop takes its size when its server starts: a larger one is set in a run before.
if [ "$size" != 1024x768 ]; then
  bash scripts/with-wine.sh "$build" wine reg add "$desktops_key" /v Default /t REG_SZ \
    /d "$size" /f >/dev/null 2>&1
fi
bash scripts/with-wine.sh "$build" bash -c '
  previous=$(wine reg query "$desktop_key" /v LogPixels 2>/dev/null |
             awk "/LogPixels/ { print \$3 }" | tr -d "\r")
  trap "restore \"$previous\"" EXIT
  shoot "$@"' _ "$build" "$out" "$dpi" "$size"
echo "Saved the screenshot at $dpi DPI to $out"
