#!/bin/sh
# Runs a Windows program under wine, in the prefix given first.  Keeps one
# persistent wine server, and starts wine's services apart from the
# caller's pipes, which they would otherwise hold open (the caller would
# wait for them forever).
# Usage: wine-run.sh PREFIX PROGRAM [ARGUMENT...]
set -eu
WINEPREFIX=$1
shift
WINEDEBUG=-all
LC_ALL=C.UTF-8
export WINEPREFIX WINEDEBUG LC_ALL
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
if wineserver -p </dev/null >/dev/null 2>&1; then
  # A new server: wine's first program makes the prefix if need be and
  # starts wine's services, which would keep the caller's pipes open.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1
fi
exec wine "$@"
