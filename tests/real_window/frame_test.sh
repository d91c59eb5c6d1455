#!/usr/bin/env bash
# The screen shows exactly the back buffer, and presents of Flip(-1) are at
# least one refresh of 60 Hz apart even where the vertical sync comes early,
# a median within 0.2 ms of 1/60 s (on a busy machine, near that of frames
# spaced by a plain clock); with SDL's first choice of renderer and with its
# software one.
# Usage: frame_test.sh PROBE
source "$(dirname "$0")/xvfb_session.sh"
probe=$1
need import compare convert
start_xvfb

pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info:; }

check_frame() { # renderer ("" for SDL's choice) [try]
  local renderer=$1 try=${2:-1}
  local what=${1:-default}
  rm -f "$work"/probe_*.txt "$work"/*.png
  SDL_RENDER_DRIVER=$1 "$probe" frame "$work/expected.png" 3 \
    >"$work/probe_out.txt" 2>"$work/probe_err.txt" &
  probe_pid=$!
  wait_for_line "$work/probe_out.txt" ready 60 || fail "$what: the probe never showed its frame"
  # The frame on the screen, while the probe still shows it; the checks
  # below name what differs when it never comes.
  wait_for_screen "$work/expected.png" 30 || [ -s "$work/shot.png" ] || fail "$what: no screenshot"
  wait_for_probe 60 || fail "$what: the probe failed"

  # Known pixels, independent of the back buffer: the tile's corner, a grid
  # line and a black gap.
  local check got
  for check in "0 0 FFC800" "64 10 FFFFFF" "30 200 000000"; do
    set -- $check
    got=$(pixel "$work/shot.png" "$1" "$2")
    [ "$got" = "$3" ] || fail "$what: screen pixel ($1, $2) is $got, not $3"
  done
  local differing
  differing=$(compare -metric AE "$work/expected.png" "$work/shot.png" null: 2>&1) || true
  [ "$differing" = 0 ] || fail "$what: the screen differs from the back buffer in $differing pixels"

  local line
  line=$(grep '^flip intervals' "$work/probe_out.txt") || fail "$what: no flip report"
  echo "$what renderer: $differing differing pixels; $line"
  # flip intervals count N min X median Y max Z ms
  set -- $line
  [ "$4" -ge 30 ] || fail "$what: only $4 flips measured"
  awk -v min="$6" 'BEGIN { exit !(min >= 16.6) }' ||
    fail "$what: two Flip(-1) calls were $6 ms apart, under 16.6 ms (1/60 s)"
  # The median is within 0.2 ms of 1/60 s. When other programs keep the
  # processor busy and even frames spaced by a plain clock come late, it is
  # at most a quarter over theirs: late wake-ups, and not a refresh missed at
  # every frame, which would double it.
  local flips=$8 paced
  paced=$(grep '^paced intervals' "$work/probe_out.txt" | cut -d' ' -f8)
  [ -n "$paced" ] || fail "$what: no report of frames spaced by a plain clock"
  echo "$what: frames spaced by a plain clock: median $paced ms"
  awk -v m="$flips" -v s="$paced" \
    'BEGIN { exit !(m >= 16.6 && (m <= 16.867 || (s > 16.867 && m <= s * 1.25))) }' && return 0
  [ "$try" -lt 3 ] || fail "$what: Flip(-1) calls were a median $flips ms apart, three times" \
    "in a row, not within 0.2 ms of 1/60 s nor a quarter over a plain clock's ($paced ms)"
  echo "$what: a median of $flips ms, too far off; once more"
  check_frame "$renderer" $((try + 1))
}

check_frame ""
check_frame software
echo "PASS"
