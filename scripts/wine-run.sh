#!/usr/bin/env bash
# CTest's emulator for Windows programs: runs one under Wine with the build's private prefix.
# with-wine.sh exports the prefix and the virtual display; without it, the prefix is found
# beside the CMakeCache.txt above the program.
#
# wine-run.sh --heap-check PROGRAM...: as the check build runs its tests. Wine then checks the
# whole heap at every heap call of the program and of every program it starts (the trace of its
# heap channel is the one switch of Wine 8 that turns that on; its warnings alone do not check
# a block's end), and what it finds fails the run even where the program went on: a damaged
# heap (err:heap) or a heap call given memory the heap never handed out (warn:heap). The trace
# itself is left out of the output.
#
# NORVELL_HEAP_CHECK=off (set by CTest for the tests that look whether memory was freed, which
# the check holds back for a while to catch its use after the free) leaves the check out.
# NORVELL_HEAP_CHECK=calls (the end-to-end tests) checks only what each heap call is given and
# what Wine notices of a damaged heap on its way, without the trace and its check of the whole
# heap: the programs' code runs under the whole check in the Windows-side tests, in process,
# and under the sanitizers on the host, and the whole check nearly tripled the end-to-end tests'
# time.
heap_check=0
if [ "${1:-}" = --heap-check ]; then
  case ${NORVELL_HEAP_CHECK:-on} in
    off) ;;
    calls) heap_check=calls ;;
    *) heap_check=whole ;;
  esac
  shift
fi
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(dirname "$1")
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  export WINEPREFIX="$dir/wineprefix"
fi
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ $heap_check = 0 ]; then
  export WINEDEBUG=${WINEDEBUG:--all}
  exec wine "$@"
fi

if [ $heap_check = calls ]; then
  export WINEDEBUG=-all,err+heap,warn+heap
else
  export WINEDEBUG=-all,+heap
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
wine "$@" 2>"$log" &
program=$!
# A damaged heap sends the program to Wine's debugger, which under the heap trace takes longer
# than any test's time limit and would hide the finding: the first err:heap ends the program.
# tail looks whether the program ended every 50 ms: at its default, a second, every test waited
# for it up to a second after its program had ended. It ends by itself then, and grep with it.
(tail -s 0.05 -n +1 -f --pid="$program" "$log" 2>/dev/null | grep -q -m 1 ':err:heap:' &&
  kill "$program" 2>/dev/null) >/dev/null 2>&1 &
watcher=$!
status=0
wait "$program" || status=$?
wait "$watcher" 2>/dev/null || true
grep -v ':trace:heap:' "$log" >&2
if grep -qE ':(err|warn):heap:' "$log"; then
  echo "Wine's heap check failed $(basename "$1") (the err:heap and warn:heap lines above)." >&2
  [ $status -ne 0 ] || status=1
fi
exit $status
