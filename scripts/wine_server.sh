#!/usr/bin/env bash
# Keeps one Wine server, and one Wine process that sleeps, running for a run
# of the Windows tests: each test program then starts in well under a second
# instead of about three. Every stream of both is closed, or ctest would wait
# on Wine's own services holding a test's output open.
# Usage: scripts/wine_server.sh start|stop   (the prefix of scripts/wine.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$root/build/wine-prefix}
pidfile=$WINEPREFIX.keepalive.pid
case ${1:-} in
start)
  mkdir -p "$WINEPREFIX"
  sleeper=$WINEPREFIX.sleeper.exe
  if [ ! -f "$sleeper" ]; then
    printf '#include <windows.h>\nint main(void) { Sleep(INFINITE); return 0; }\n' |
      x86_64-w64-mingw32-gcc-posix -x c - -o "$sleeper"
  fi
  "$root/scripts/wine.sh" cmd /c exit </dev/null >/dev/null 2>&1 # makes the prefix if new
  wineserver -p </dev/null >/dev/null 2>&1 || true # already running
  setsid "$root/scripts/wine.sh" "$sleeper" </dev/null >/dev/null 2>&1 &
  echo $! >"$pidfile"
  ;;
stop)
  if [ -f "$pidfile" ]; then
    kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile"
  fi
  wineserver -k 2>/dev/null || true
  ;;
*)
  echo "usage: $0 start|stop" >&2
  exit 2
  ;;
esac
