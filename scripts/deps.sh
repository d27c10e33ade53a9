#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests, the screenshot, the benchmarks and
# the signed release need, when any is missing: clang-tidy reads the Windows build's code,
# acl lets the tests' own user reach a build in a folder closed to others, such as /root, and
# wixl (with msibuild from msitools) makes the Windows Installer package.
# Recommended packages stay out, so every package we rely on is named here: Wine's own fonts
# (fonts-wine) are only a recommendation of wine, and clang's libFuzzer and sanitizer runtimes
# (libclang-rt-dev) are not a dependency of clang.
#   deps.sh [host]: everything, or with "host" only what the host build, its tests and the fuzz
#   targets need, so that the test script can build them while the rest installs.
set -euo pipefail
packages=(cmake make g++ googletest libgtest-dev libbenchmark-dev clang libclang-rt-dev python3)
if [ "${1:-}" != host ]; then
  packages+=(clang-format clang-tidy g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
             wine wine64 fonts-wine fonts-dejavu-core fonts-dejavu-extra xvfb xauth imagemagick nsis
             osslsigncode openssl git acl msitools wixl)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
