#!/usr/bin/env bash
# with-wine.sh BUILD_DIR COMMAND...: runs COMMAND with a private Wine prefix in BUILD_DIR, a
# virtual X display of its own and a warm Wine server, and stops both afterwards whatever
# happens. Nothing shows on the developer's own display.
#
# Wine runs as an ordinary user, as our users run Windows: read-only files and folders that the
# user may not change refuse it, where the superuser would write anyway. Run as root, the script
# makes the user norvell-wine for it (NORVELL_WINE_USER names another) when it is missing, and
# the prefix, the display, the Wine server and every wine, wineserver, wineboot and winepath
# that COMMAND starts run as that user; COMMAND itself stays root's, so it may write the build
# as before. Run as any other user, everything runs as that user.
set -euo pipefail
build=$(cd "$1" && pwd); shift

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
shims=""
cleanup() {
  # The Wine server goes first: a Wine desktop whose X display vanished breaks later runs.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  # Xvfb may end with the signal's status; the command's own status is what this script gives.
  if [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; then
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  [ -n "$shims" ] && rm -rf "$shims"
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

become=()
as_wine_user() { "$@"; }
if [ "$(id -u)" -eq 0 ]; then
  user=${NORVELL_WINE_USER:-norvell-wine}
  if ! id -u "$user" >/dev/null 2>&1; then
    echo "Making the user $user, as whom Wine runs the tests ..."
    # Another run may make it at the same moment.
    useradd --create-home --user-group --shell /usr/sbin/nologin \
      --comment "Norvell's tests under Wine" "$user" || id -u "$user" >/dev/null
  fi
  uid=$(id -u "$user")
  gid=$(id -g "$user")
  home=$(getent passwd "$user" | cut -d: -f6)
  become=(setpriv "--reuid=$uid" "--regid=$gid" --init-groups
          env -u XDG_RUNTIME_DIR "HOME=$home" "USER=$user" "LOGNAME=$user")
  as_wine_user() { "${become[@]}" "$@"; }

  # The user must reach the programs and tests in the build: it is given passage (x, nothing
  # more) through each folder above the build that it may not pass yet, such as /root.
  folder=""
  IFS=/ read -ra parts <<<"${build#/}"
  for part in "${parts[@]}"; do
    folder="$folder/$part"
    as_wine_user test -x "$folder" && continue
    echo "Letting $user pass through $folder (setfacl -m u:$user:x), so that Wine reaches $build"
    if ! setfacl -m "u:$user:x" "$folder" || ! as_wine_user test -x "$folder"; then
      echo "$user cannot pass through $folder: give it the right (for example" \
           "setfacl -m u:$user:x $folder, from the acl package) or build elsewhere." >&2
      exit 1
    fi
  done
  if ! as_wine_user test -r "$build/CMakeCache.txt"; then
    echo "$user cannot read the build in $build (was it made with a umask that keeps others" \
         "out?): build it again with umask 022." >&2
    exit 1
  fi

  # The prefix is the user's own; one made by another user is made again.
  if [ -e "$WINEPREFIX" ] && [ "$(stat -c %u "$WINEPREFIX")" != "$uid" ]; then
    echo "The Wine prefix in $WINEPREFIX belongs to another user: making it again for $user ..."
    rm -f "$WINEPREFIX/.norvell-ready"
  fi

  # Every program of Wine that COMMAND starts by name runs as the user.
  shims=$(mktemp -d)
  chmod 755 "$shims"
  for program in wine wine64 wineserver wineboot winepath; do
    real=$(command -v "$program" || true)
    [ -n "$real" ] || continue
    printf '#!/bin/bash\nexec %s %s "$@"\n' "$(printf '%q ' "${become[@]}")" "$real" \
      >"$shims/$program"
    chmod 755 "$shims/$program"
  done
  export PATH="$shims:$PATH"
  # Where a system keeps the X servers' sockets, made as a system makes it at boot.
  [ -d /tmp/.X11-unix ] || mkdir -m 1777 /tmp/.X11-unix
fi

# Xvfb picks a free display itself and writes its number once it accepts connections: a
# lock file is no proof, since X's abstract sockets are shared with every chroot and container
# on the machine, whose lock files this one cannot see.
display_file=$(mktemp)
# Started without a function in between: $! is then Xvfb itself (setpriv and env replace
# themselves with it), which the clean-up ends, not a subshell that would leave it running.
"${become[@]}" Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" \
  >/dev/null 2>&1 &
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

# The prefix's settings; a prefix made with older ones is made again.
prefix_version=2
if [ "$(cat "$WINEPREFIX/.norvell-ready" 2>/dev/null)" != "$prefix_version" ]; then
  echo "Preparing the Wine prefix in $WINEPREFIX ..."
  rm -rf "$WINEPREFIX"
  if [ "$(id -u)" -eq 0 ]; then
    mkdir "$WINEPREFIX"
    chown "$uid:$gid" "$WINEPREFIX"
  fi
  DISPLAY= wineboot -i >/dev/null 2>&1
  wineserver -w
  # A virtual desktop: Wine draws frames itself and hiding a window does not stall.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1024x768 /f >/dev/null 2>&1
  # A program that crashes (or stops at a check of the check build) ends at once with its
  # backtrace on the error output, instead of waiting for someone to close a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  as_wine_user sh -c 'echo "$1" >"$2"' _ "$prefix_version" "$WINEPREFIX/.norvell-ready"
fi
# Debian's Wine does not find its own fonts otherwise; copied at every run, so a prefix made
# before fonts-wine was installed gets them too.
if ! ls /usr/share/wine/fonts/*.tt[fc] >/dev/null 2>&1; then
  echo "Wine's fonts are missing from /usr/share/wine/fonts: install Debian's fonts-wine." >&2
  exit 1
fi
as_wine_user cp -u /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
# A persistent server, warmed up outside any pipe, so each program starts in a fraction of a second.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true

set +e
"$@"
status=$?
set -e
exit $status
