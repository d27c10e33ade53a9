#!/usr/bin/env bash
# with-wine.sh BUILD_DIR COMMAND...: runs COMMAND with a private Wine prefix in BUILD_DIR, a
# virtual X display of its own and a warm Wine server, and stops both afterwards whatever
# happens. Nothing shows on the developer's own display.
set -euo pipefail
build=$(cd "$1" && pwd); shift

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  # The Wine server goes first: a Wine desktop whose X display vanished breaks later runs.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display itself and writes its number once it accepts connections: a
# lock file is no proof, since X's abstract sockets are shared with every chroot and container
# on the machine, whose lock files this one cannot see.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 200); do
  display=$(head -n 1 "$display_file" 2>/dev/null || true)
  [ -n "$display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.05
done
rm -f "$display_file"
if [ -z "$display" ]; then
  echo "Xvfb did not start a display (is the xvfb package installed?)." >&2
  exit 1
fi
export DISPLAY=":$display"

if [ ! -f "$WINEPREFIX/.norvell-ready" ]; then
  echo "Preparing the Wine prefix in $WINEPREFIX ..."
  rm -rf "$WINEPREFIX"
  DISPLAY= wineboot -i >/dev/null 2>&1
  wineserver -w
  # A virtual desktop: Wine draws frames itself and hiding a window does not stall.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.norvell-ready"
fi
# Debian's Wine does not find its own fonts otherwise; copied at every run, so a prefix made
# before fonts-wine was installed gets them too.
if ! ls /usr/share/wine/fonts/*.tt[fc] >/dev/null 2>&1; then
  echo "Wine's fonts are missing from /usr/share/wine/fonts: install Debian's fonts-wine." >&2
  exit 1
fi
cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
# A persistent server, warmed up outside any pipe, so each program starts in a fraction of a second.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true

set +e
"$@"
status=$?
set -e
exit $status
