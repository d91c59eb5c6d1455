#!/usr/bin/env bash
# The real game on a screen larger than its frame, with or without a window
# manager: the screen shows the frame fitted with even pixels, a click on the
# drawn grid-lines button reaches it, the focus going away and back redraws
# the same picture, Alt+Enter gives a window of whole pixels and back, and
# the X server going away ends the game at once with one line.
# Usage: game_window_test.sh WINDOW_PROBE GAME_PROBE WIDTHxHEIGHT wm|nowm
source "$(dirname "$0")/xvfb_session.sh"
probe=$1
game=$2
size=$3
manager=$4
screen_w=${size%x*}
screen_h=${size#*x}
need import compare convert xdotool xmessage xwininfo
start_xvfb "$size"
[ "$manager" = wm ] && start_openbox

pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info:; }

# frame NAME: the next frame the game hands to the window, as NAME.png.
frames=0
frame() {
  frames=$((frames + 1))
  mark_game
  kill -USR1 "$probe_pid"
  game_says "frame $frames written"
  mv "$work/frame.png" "$work/$1.png"
}

# screen_is FRAME WHAT [WINDOW W H]: the screen (or the window) shows FRAME
# scaled to that size, to the pixel.
screen_is() {
  local target=root w=$screen_w h=$screen_h
  if [ $# -gt 2 ]; then target=$3 w=$4 h=$5; fi
  "$probe" scale "$work/$1.png" "$w" "$h" "$work/expected.png" || fail "$2: cannot scale"
  wait_for_screen "$work/expected.png" 30 "$target" || {
    [ -n "${DRAYVANE_KEEP_SHOTS:-}" ] && cp "$work/shot.png" "$work/expected.png" "$DRAYVANE_KEEP_SHOTS/"
    fail "$2: the screen differs from the fitted frame in" \
      "$(differing_pixels "$work/expected.png" "$work/shot.png") pixels"
  }
}

# click_frame X Y [W H WINDOW]: a click where frame pixel (X, Y) is drawn;
# then the ten frames of the click marker, which the game counts.
click_frame() {
  local w=${3:-$screen_w} h=${4:-$screen_h}
  game_click $("$probe" at "$w" "$h" "$1" "$2") ${5:-}
  game_frames 10
}

start_game "$game" "$work/frame.png"
geometry() {
  xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}
geometry_is() { [ "$(geometry)" = "$1" ]; }
full_screen_window() {
  wait_until 30 geometry_is "0 0 $screen_w $screen_h" ||
    fail "$1: the full screen window lies at $(geometry)"
}
full_screen_window "at the start"
if [ "$manager" = nowm ]; then
  xdotool windowfocus --sync "$wid" || fail "cannot focus the game"
fi
wait_for_focus "$wid" 30 || fail "the game's window never had the focus"

# A 27 x 15 grid, then the design screen with its lattice.
game_keys 2 7 1 5
frame lattice
[ "$(pixel "$work/lattice.png" 5 30)" = FFFFFF ] || fail "no lattice on the design screen"
screen_is lattice "design screen"

# The grid-lines button, where it is drawn: the lattice goes.
click_frame 190 750
frame bare
[ "$(pixel "$work/bare.png" 5 30)" = 000000 ] || fail "the click on the grid-lines button did not reach it"
screen_is bare "after the click"

# Another program takes the focus (under openbox as soon as it appears),
# then the game has it back.
mark_game
LANG=C xmessage -geometry 200x80+10+10 -name other 'another program' &
other_pid=$!
other=$(find_window 'other' 10)
[ -n "$other" ] || fail "the other program's window did not appear"
if [ "$manager" = wm ]; then
  xdotool windowactivate --sync "$other" || fail "cannot activate the other program"
  game_says 'took suspend'
  wait_until 30 window_unmapped "$wid" || fail "the full screen did not step aside"
  mark_game
  kill "$other_pid"
  xdotool windowactivate --sync "$wid" || fail "cannot bring the game back"
else
  xdotool windowfocus --sync "$other" || fail "cannot focus the other program"
  game_says 'took suspend'
  mark_game
  kill "$other_pid"
  xdotool windowfocus --sync "$wid" || fail "cannot focus the game again"
fi
game_says 'took resume'
wait_for_focus "$wid" 30 || fail "the game's window did not have the focus back"
screen_is bare "focus away and back"

# Alt+Enter: a window of the largest whole multiple that fits, clicks exact.
game_key alt+Return 'took keydown 13'
whole=$((screen_w / 1024 < screen_h / 768 ? screen_w / 1024 : screen_h / 768))
win_w=$((whole * 1024)) win_h=$((whole * 768))
window_size_is() { [ "$(geometry | cut -d' ' -f3,4)" = "$win_w $win_h" ]; }
wait_until 30 window_size_is ||
  fail "Alt+Enter gave a window of $(geometry | cut -d' ' -f3,4), not $whole times the frame"
screen_is bare "windowed" "$wid" "$win_w" "$win_h"
click_frame 190 750 "$win_w" "$win_h" "$wid"
frame windowed
[ "$(pixel "$work/windowed.png" 5 30)" = FFFFFF ] || fail "the click in the window did not reach the button"
screen_is windowed "windowed, after the click" "$wid" "$win_w" "$win_h"

game_key alt+Return 'took keydown 13'
full_screen_window "after Alt+Enter twice"
click_frame 190 750
frame full_again
[ "$(pixel "$work/full_again.png" 5 30)" = 000000 ] || fail "the click after the return to full screen missed"
screen_is full_again "full screen again"

# The X server goes: the game ends at once, failing, with one line.
kill -0 "$probe_pid" || fail "the game ended early"
[ -n "$wm_pid" ] && kill "$wm_pid"
kill_xvfb
start=$(date +%s%N)
wait_for_exit "$probe_pid" 30 || fail "the game still runs 30 s after its X server went away"
elapsed=$((($(date +%s%N) - start) / 1000000))
status=0
wait "$probe_pid" || status=$?
probe_pid=""
[ "$status" -ne 0 ] || fail "the game ended with status 0 when its display went away"
[ "$(wc -l <"$work/game_err.txt")" -eq 1 ] || fail "not one line on stderr: $(cat "$work/game_err.txt")"
echo "$size $manager: frame fitted exactly, click, focus, Alt+Enter; display gone: status $status" \
  "after $elapsed ms: $(cat "$work/game_err.txt")"
echo "PASS"
