#!/usr/bin/env bash
# Without a display the program stops at once with one line on stderr and a
# failing status, rather than running in a window nobody can see.
# Usage: no_display_test.sh PROBE
source "$(dirname "$0")/xvfb_session.sh"
probe=$1

check_stops() { # what, then the environment changes for env
  local what=$1
  shift
  local status=0
  env "$@" timeout 60 "$probe" frame "$work/expected.png" 1 \
    >"$work/probe_out.txt" 2>"$work/probe_err.txt" || status=$?
  [ "$status" -ne 0 ] || fail "$what: the probe ran without a display"
  [ "$status" -ne 124 ] || fail "$what: the probe hung"
  [ "$(wc -l <"$work/probe_err.txt")" -eq 1 ] || fail "$what: not one line on stderr"
  grep -q '^Drayvane 31: no display' "$work/probe_err.txt" || fail "$what: unexpected message"
  [ -s "$work/probe_out.txt" ] && fail "$what: the probe went on to show a frame"
  echo "$what: status $status, $(cat "$work/probe_err.txt")"
}

check_stops "no session" -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER
# A session that is named but not there: SDL's own fall-back must not count.
check_stops "unreachable X server" -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:9876
check_stops "X driver asked, no session" -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11
echo "PASS"
