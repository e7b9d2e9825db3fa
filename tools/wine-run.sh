#!/usr/bin/env bash
# Runs one Windows program under wine64 (used by CTest as the cross-compiling
# emulator). Expects a display and a prepared prefix; tools/with-wine.sh
# provides both and cleans up after itself.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
