#!/usr/bin/env bash
# check-reproducible.sh [COMMIT]: builds the release of COMMIT (HEAD by default) twice, each
# from a clone of its own, and compares every released file byte for byte: the programs, their
# debug files, the ZIP, the installer, the MSI and the hashes. The second build differs from the first
# in all that must not matter: the folders (other paths of other lengths, the build folder
# outside the sources), the time it runs at, the time zone, the locale and the umask. Neither
# uses a compiler cache, which could hand the second build the first one's objects. Names the
# files that differ and fails when any does.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$repo" rev-parse --verify "${1:-HEAD}^{commit}")
bash "$repo/scripts/deps.sh"
unset SOURCE_DATE_EPOCH CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
export CCACHE_DISABLE=1
work=$(mktemp -d "${TMPDIR:-/tmp}/norvell-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT

# build SOURCES BUILD: the release of the commit, cloned into SOURCES and built in BUILD.
build() {
  git clone --quiet --no-checkout "$repo" "$1"
  git -C "$1" checkout --quiet --detach "$commit"
  (cd "$1" && cmake --preset windows -B "$2" >/dev/null)
  cmake --build "$2" --target package -j 2
}

start=$SECONDS
echo "Building $commit in $work/a ..."
(umask 022; export TZ=UTC LC_ALL=C; build "$work/a" "$work/a/build/windows")
echo "Building it again in $work/rebuilt-elsewhere ..."
(umask 077; export TZ=Pacific/Kiritimati LC_ALL=C.UTF-8
 build "$work/rebuilt-elsewhere/norvell" "$work/rebuilt-elsewhere/out-of-tree")

released=(dist symbols package)
first=$work/a/build/windows
second=$work/rebuilt-elsewhere/out-of-tree
list() { (cd "$1" && find "${released[@]}" -type f | LC_ALL=C sort); }
if ! diff <(list "$first") <(list "$second") >"$work/lists.diff"; then
  echo "The two builds released different files:" >&2
  cat "$work/lists.diff" >&2
  exit 1
fi
different=0
count=0
while read -r file; do
  count=$((count + 1))
  if cmp -s "$first/$file" "$second/$file"; then
    echo "same      $file"
  else
    echo "DIFFERENT $file"
    different=$((different + 1))
  fi
done < <(list "$first")
elapsed=$((SECONDS - start))
echo "Two builds of $commit in $((elapsed / 60)) min $((elapsed % 60)) s."
if ((different)); then
  echo "$different of $count released files differ: the release cannot be rebuilt byte for byte." >&2
  exit 1
fi
echo "All $count released files are the same, byte for byte."
