#!/usr/bin/env bash
# run.sh [--folder FOLDER] [OUT.png]: installs what is missing, builds the Windows programs and
# starts the editor under Wine in a working folder of the Wine user's own: its demo folder,
# "Documents\Norvell demo" in the user's profile of the prefix, made on first use with a copy of
# Wine's notepad in it to pick, or FOLDER (a Windows path such as C:\users\me\Schedule, or a
# Unix one). Dir1 is then opened at that folder, as a user would open it. Without a display it
# opens the editor on a virtual one, saves a screenshot of its window (build/windows/norvell.png
# unless OUT.png), closes it and checks the screenshot: the script fails, saying what it saw,
# when anything stands in front of Main or its pickers are empty.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=""
out=build/windows/norvell.png
while [ $# -gt 0 ]; do
  case $1 in
    --folder) folder=${2:?--folder needs a folder}; shift 2 ;;
    --folder=*) folder=${1#--folder=}; shift ;;
    *) out=$1; shift ;;
  esac
done
bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target dist winwait opendir
dist=build/windows/dist
if [ ! -f "$dist/Norvell.exe" ]; then
  echo "The editor Norvell.exe is not built yet: only the helpers are in $dist." >&2
  exit 1
fi
if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
  # A prefix of its own, without the tests' virtual desktop, so the editor opens as a window
  # of the developer's desktop.
  export WINEPREFIX="$PWD/build/windows/wineprefix-run" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/.norvell-ready" ]; then
    wineboot -i >/dev/null 2>&1 && wineserver -w
    touch "$WINEPREFIX/.norvell-ready"
  fi
  cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  source <(sed -n '/^demo_folder() {/,/^}/p' scripts/screenshot.sh)
  [ -z "$folder" ] && folder=$(demo_folder)
  [[ $folder == /* ]] && folder=$(winepath -w "$folder" 2>/dev/null | tr -d '\r')
  testbin=$PWD/build/windows/testbin
  cd "$(winepath -u "$folder")"
  echo "Norvell starts in $folder"
  wine "$OLDPWD/$dist/Norvell.exe" &
  wine "$testbin/opendir.exe" "$folder" 30 || true
  wait
  exit
fi
where=(--demo)
[ -n "$folder" ] && where=(--folder "$folder")
rm -f "$out"
shot=0
bash scripts/screenshot.sh "${where[@]}" "$out" || shot=$?
[ -f "$out" ] || exit 1
python3 scripts/check-screenshot.py --front "$out" || exit 1
exit "$shot"
