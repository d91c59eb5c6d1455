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
  kill -USR1 "$probe_pid"
  wait_for_line "$work/game_out.txt" "frame $frames written" 10 || fail "no frame $frames from the game"
  mv "$work/frame.png" "$work/$1.png"
}

# screen_is FRAME WHAT [WINDOW W H]: the screen (or the window) shows FRAME
# scaled to that size, to the pixel.
screen_is() {
  local target=root w=$screen_w h=$screen_h
  if [ $# -gt 2 ]; then target=$3 w=$4 h=$5; fi
  sleep 0.3 # two frames or more on the screen
  import -window "$target" "$work/shot.png" || fail "$2: no screenshot"
  "$probe" scale "$work/$1.png" "$w" "$h" "$work/expected.png" || fail "$2: cannot scale"
  local differing
  differing=$(compare -metric AE "$work/expected.png" "$work/shot.png" null: 2>&1) || true
  [ "$differing" = 0 ] || {
    [ -n "${DRAYVANE_KEEP_SHOTS:-}" ] && cp "$work/shot.png" "$work/expected.png" "$DRAYVANE_KEEP_SHOTS/"
    fail "$2: the screen differs from the fitted frame in $differing pixels"
  }
}

# click_frame X Y [W H WINDOW]: a click where frame pixel (X, Y) is drawn.
click_frame() {
  local w=${3:-$screen_w} h=${4:-$screen_h} at
  at=$("$probe" at "$w" "$h" "$1" "$2")
  if [ -n "${5:-}" ]; then
    xdotool mousemove --window "$5" --sync $at
  else
    xdotool mousemove --sync $at
  fi
  sleep 0.1
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  sleep 0.5 # the click marker shows for ten frames
}

"$game" "$work/frame.png" >"$work/game_out.txt" 2>"$work/game_err.txt" &
probe_pid=$!
wid=$(find_window 'Drayvane 31' 10)
[ -n "$wid" ] || fail "no window named Drayvane 31"
geometry() {
  xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}
full_screen_window() {
  local g
  g=$(geometry)
  [ "$g" = "0 0 $screen_w $screen_h" ] || fail "$1: the full screen window lies at $g"
}
sleep 0.3
full_screen_window "at the start"

# A 27 x 15 grid, then the design screen with its lattice.
xdotool key --delay 100 2 7 1 5
sleep 0.4
frame lattice
[ "$(pixel "$work/lattice.png" 5 30)" = FFFFFF ] || fail "no lattice on the design screen"
screen_is lattice "design screen"

# The grid-lines button, where it is drawn: the lattice goes.
click_frame 190 750
frame bare
[ "$(pixel "$work/bare.png" 5 30)" = 000000 ] || fail "the click on the grid-lines button did not reach it"
screen_is bare "after the click"

# Another program takes the focus, then the game has it back.
LANG=C xmessage -geometry 200x80+10+10 -name other 'another program' &
other_pid=$!
other=$(find_window 'other' 10)
[ -n "$other" ] || fail "the other program's window did not appear"
if [ "$manager" = wm ]; then
  xdotool windowactivate --sync "$other" || fail "cannot activate the other program"
  sleep 0.3
  xwininfo -id "$wid" | grep -q 'IsUnMapped' || fail "the full screen did not step aside"
  kill "$other_pid"
  xdotool windowactivate --sync "$wid" || fail "cannot bring the game back"
else
  xdotool windowfocus --sync "$other" || fail "cannot focus the other program"
  sleep 0.3
  kill "$other_pid"
  xdotool windowfocus --sync "$wid" || fail "cannot focus the game again"
fi
screen_is bare "focus away and back"

# Alt+Enter: a window of the largest whole multiple that fits, clicks exact.
xdotool key alt+Return
sleep 0.5
read -r _ _ win_w win_h < <(geometry)
whole=$((screen_w / 1024 < screen_h / 768 ? screen_w / 1024 : screen_h / 768))
[ "$win_w x $win_h" = "$((whole * 1024)) x $((whole * 768))" ] ||
  fail "Alt+Enter gave a window of $win_w x $win_h, not $whole times the frame"
screen_is bare "windowed" "$wid" "$win_w" "$win_h"
click_frame 190 750 "$win_w" "$win_h" "$wid"
frame windowed
[ "$(pixel "$work/windowed.png" 5 30)" = FFFFFF ] || fail "the click in the window did not reach the button"
screen_is windowed "windowed, after the click" "$wid" "$win_w" "$win_h"

xdotool key alt+Return
sleep 0.5
full_screen_window "after Alt+Enter twice"
click_frame 190 750
frame full_again
[ "$(pixel "$work/full_again.png" 5 30)" = 000000 ] || fail "the click after the return to full screen missed"
screen_is full_again "full screen again"

# The X server goes: the game ends within a second, failing, with one line.
kill -0 "$probe_pid" || fail "the game ended early"
[ -n "$wm_pid" ] && kill "$wm_pid"
{
  kill -KILL "$xvfb_pid"
  wait "$xvfb_pid"
} 2>/dev/null
xvfb_pid=""
start=$(date +%s%N)
for _ in $(seq 40); do
  kill -0 "$probe_pid" 2>/dev/null || break
  sleep 0.025
done
kill -0 "$probe_pid" 2>/dev/null && fail "the game still runs after its X server went away"
elapsed=$((($(date +%s%N) - start) / 1000000))
status=0
wait "$probe_pid" || status=$?
probe_pid=""
[ "$status" -ne 0 ] || fail "the game ended with status 0 when its display went away"
[ "$(wc -l <"$work/game_err.txt")" -eq 1 ] || fail "not one line on stderr: $(cat "$work/game_err.txt")"
echo "$size $manager: frame fitted exactly, click, focus, Alt+Enter; display gone: status $status" \
  "after $elapsed ms: $(cat "$work/game_err.txt")"
echo "PASS"
