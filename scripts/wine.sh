#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own Wine prefix
# (build/wine-prefix unless WINEPREFIX is set), made on first use: no offers
# to install Mono or Gecko, no crash dialog, no Wine debug lines.
# Usage: scripts/wine.sh PROGRAM.exe ARGS...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wine-prefix}
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=${WINEDEBUG:--all}
wine=$(command -v wine64 || command -v wine)
if [ ! -f "$WINEPREFIX/.drayvane-ready" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.drayvane-ready" ]; then
      "$wine" wineboot -i </dev/null >/dev/null 2>&1
      # A crash ends the program instead of waiting on a dialog nobody sees.
      "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        </dev/null >/dev/null 2>&1
      touch "$WINEPREFIX/.drayvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
