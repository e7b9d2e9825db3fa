#!/usr/bin/env bash
# Runs a command inside a prepared wine environment and cleans up afterwards.
#
#   tools/with-wine.sh CMD [ARGS...]
#
# - Without a DISPLAY, starts its own Xvfb on a free display number.
# - WINEPREFIX defaults to $HOME/.wine-corvane; the prefix is initialised once
#   (wineboot -i, about ten seconds) and reused by later runs.
# - Always stops what it started, also when CMD fails or the script is
#   interrupted: the wineserver of the prefix (only if it was not already
#   running before) and its own Xvfb (by process id).
# - Exits with CMD's exit code.
set -u

if [ $# -eq 0 ]; then
  echo "usage: $0 CMD [ARGS...]" >&2
  exit 2
fi

export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-corvane}
export WINEDEBUG=${WINEDEBUG:--all}
# A crashing program ends at once instead of waiting in the crash debugger.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}
export WINEARCH=${WINEARCH:-win64}

xvfb_pid=""
own_wineserver=0
display_file=""

# The folder wineserver runs in for this prefix: /tmp/.wine-UID/server-DEV-INODE.
server_dir() {
  [ -d "$WINEPREFIX" ] || return 1
  local dev ino
  dev=$(stat -c '%d' "$WINEPREFIX") && ino=$(stat -c '%i' "$WINEPREFIX") || return 1
  printf '/tmp/.wine-%s/server-%x-%x' "$(id -u)" "$dev" "$ino"
}

# True when a wineserver is serving this prefix (its working folder is the
# prefix's server folder).
wineserver_running() {
  local dir pid
  dir=$(server_dir) || return 1
  for pid in $(pgrep -u "$(id -u)" -x 'wineserver|wineserver64' 2>/dev/null); do
    [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$dir" ] && return 0
  done
  return 1
}

cleanup() {
  if [ "$own_wineserver" = 1 ]; then
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" >/dev/null 2>&1
    wait "$xvfb_pid" 2>/dev/null
  fi
  [ -n "$display_file" ] && rm -f "$display_file"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

start_xvfb() {
  display_file=$(mktemp)
  # -displayfd lets Xvfb pick a free display itself and report its number.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$display_file" ]; then
      export DISPLAY=":$(tr -dc '0-9' <"$display_file")"
      return 0
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "with-wine: Xvfb did not start" >&2
  return 1
}

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "with-wine: initialising $WINEPREFIX" >&2
  wineserver_running || own_wineserver=1
  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
fi

# Started here with its output discarded, a wineserver (and the wine system
# processes it serves) cannot keep CMD's stdout open after CMD ends.
if ! wineserver_running; then
  own_wineserver=1
  wineserver -p </dev/null >/dev/null 2>&1
fi
# The first program run under a wineserver also starts wine's system services
# (services.exe, winedevice.exe), which inherit that program's stdout: started
# by CMD's first program they would hold CTest's output pipe open, and CTest
# would wait for them forever. Start them here, with their output discarded.
wineboot </dev/null >/dev/null 2>&1

"$@"
rc=$?
exit $rc
