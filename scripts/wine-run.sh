#!/bin/sh
# CTest's emulator for Windows programs: runs one under Wine with the build's private prefix.
# with-wine.sh exports the prefix and the virtual display; without it, the prefix is found
# beside the CMakeCache.txt above the program.
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(dirname "$1")
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  export WINEPREFIX="$dir/wineprefix"
fi
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
