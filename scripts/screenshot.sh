#!/usr/bin/env bash
# screenshot.sh [--dpi DPI] [--folder FOLDER | --demo] [OUT.png] [BUILD_DIR]: opens the editor
# from BUILD_DIR/dist (build/windows by default) under Wine on a virtual display of its own,
# where Wine draws the window frames itself, saves the desktop as a PNG and closes everything
# again. The editor's working folder is BUILD_DIR/dist, or FOLDER (a Windows path such as
# C:\users\me\Schedule, or a Unix one; made when missing), or with --demo the Wine user's demo folder,
# "Documents\Norvell demo", made on first use with a copy of Wine's notepad in it to pick; in
# another folder than dist, Dir1 is then opened at that folder as a user would. With --dpi
# (96 by default; 120, 144, 168, 192 are Windows' 125 % to 200 %) the prefix's LogPixels is set
# for the editor's start and put back afterwards; from 168 on, Main no longer fits the usual
# 1024x768 desktop, so the desktop is 1280x1024 for that run.
set -euo pipefail
cd "$(dirname "$0")/.."
dpi=96
folder=""
positional=()
while [ $# -gt 0 ]; do
  case $1 in
    --dpi) dpi=${2:?--dpi needs a number}; shift 2 ;;
    --dpi=*) dpi=${1#--dpi=}; shift ;;
    --folder) folder=${2:?--folder needs a folder}; shift 2 ;;
    --folder=*) folder=${1#--folder=}; shift ;;
    --demo) folder=:demo; shift ;;
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
if [ ! -f "$build/dist/Norvell.exe" ] || [ ! -f "$build/testbin/winwait.exe" ] ||
   [ ! -f "$build/testbin/opendir.exe" ]; then
  cmake --build "$build" --target Norvell winwait opendir
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

# The Wine user's demo folder, made on first use as that user, with a program in it to pick;
# prints its Windows path.
demo_folder() {
  local documents folder
  documents=$(wine cmd /c 'echo %USERPROFILE%\Documents' 2>/dev/null | tr -d '\r')
  folder="$documents\Norvell demo"
  if [ ! -f "$(winepath -u "$folder\notepad.exe" 2>/dev/null)" ]; then
    wine cmd /c mkdir "$folder" >/dev/null 2>&1 || true
    wine cmd /c copy /y 'C:\windows\notepad.exe' "$folder\notepad.exe" >/dev/null 2>&1
  fi
  echo "$folder"
}

shoot() {
  local build=$1 out=$2 dpi=$3 size=$4 folder=$5
  wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  [ "$folder" = :demo ] && folder=$(demo_folder)
  local unix=$build/dist
  if [ -n "$folder" ]; then
    # A Windows path is where the editor starts; Dir1 opens it by its Windows name.
    [[ $folder == /* ]] && folder=$(winepath -w "$folder" 2>/dev/null | tr -d '\r')
    unix=$(winepath -u "$folder" 2>/dev/null)
    # Made by the Wine user where missing, as the demo folder is.
    [ -d "$unix" ] || wine cmd /c mkdir "$folder" >/dev/null 2>&1 || true
    if [ ! -d "$unix" ]; then
      echo "The folder $folder does not exist and cannot be made." >&2
      return 1
    fi
  fi
  cd "$unix"
  wine "$build/dist/Norvell.exe" &
  local editor=$!
  local status=0
  if wine "$build/testbin/winwait.exe" "Norvell 1.0" 30; then
    # Taken all the same when Dir1 cannot open the folder: the screen shows why.
    if [ -n "$folder" ] && ! wine "$build/testbin/opendir.exe" "$folder" 30; then status=1; fi
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
export -f restore shoot demo_folder
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
  shoot "$@"' _ "$build" "$out" "$dpi" "$size" "$folder" || status=$?
[ -f "$out" ] && echo "Saved the screenshot at $dpi DPI to $out"
exit "${status:-0}"
