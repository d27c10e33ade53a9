#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and starts the editor under Wine in
# build/windows/dist/. Without a display it opens the editor on a virtual one, saves a
# screenshot of its window and closes it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target dist
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
  cd "$dist" && exec wine Norvell.exe
fi
exec bash scripts/screenshot.sh "${1:-build/windows/norvell.png}"
