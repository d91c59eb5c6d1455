#!/usr/bin/env bash
# The real game on a headless Wayland compositor (sway), natively or through
# XWayland: it fills the output with the frame fitted with even pixels, the
# grid size typed reaches it from the first key, a click lands on the drawn
# button, the focus going to another workspace and back redraws the same
# picture, Alt+Enter gives a window and back (natively), Escape ends it with
# status 0, and the compositor going away ends it within a second with one
# line and a failing status.
# Usage: wayland_game_test.sh WINDOW_PROBE GAME_PROBE WAYLAND_POINTER GOLDEN_DIR wayland|x11
#   WIDTHxHEIGHT
source "$(dirname "$0")/sway_session.sh"
probe=$1
game=$2
pointer=$3
golden=$4
driver=$5
size=$6
screen_w=${size%x*}
screen_h=${size#*x}
need compare convert jq
start_sway "$size"

# The only keyboard: one made by a key sender that stays for the whole test,
# as a real keyboard would, and is there before the game. Each later wtype
# is a keyboard of its own that numbers its keys as it likes (its first key
# is always number 9, Escape's on a real keyboard), so it sends one key.
as_user wtype -s 86400000 x >/dev/null 2>&1 &
has_keyboard() { as_user swaymsg -t get_inputs | jq -e 'any(.[]; .type == "keyboard")' >/dev/null; }
wait_until 10 has_keyboard || fail "the key sender's keyboard did not appear"
key() { as_user wtype "$@" || fail "wtype $* failed"; }

# The only pointer, plugged in for good too; sway moves and presses it. It
# rests in the output's bottom right corner, in the black bar beside the
# frame and away from the window, where screenshots of the whole output
# (sway draws it into them) paint it over.
pointer_box="$((screen_w - 32)) $((screen_h - 32)) 32 32"
park_pointer() {
  as_user swaymsg -q seat - cursor set $((screen_w - 1)) $((screen_h - 1)) || fail "cannot move the pointer"
}
as_user cp "$pointer" "$work/"
as_user "$work/$(basename "$pointer")" >"$work/pointer.txt" 2>&1 &
has_pointer() { as_user swaymsg -t get_inputs | jq -e 'any(.[]; .type == "pointer")' >/dev/null; }
wait_until 10 has_pointer || fail "the pointer did not appear"
park_pointer

pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info:; }

# The game's window as sway has it: x y width height fullscreen-mode
# visible focused, the content's place (rect plus window_rect).
window() {
  as_user swaymsg -t get_tree | jq -r '[.. | objects | select(.name? == "Drayvane 31")][0] |
    "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width)" +
    " \(.window_rect.height) \(.fullscreen_mode) \(.visible) \(.focused)"'
}
window_is() { [ "$(window)" = "$1" ]; }
full_screen() {
  local mode=0
  [ "$driver" = wayland ] && mode=1
  wait_until 10 window_is "0 0 $screen_w $screen_h $mode true true" ||
    fail "$1: the game is not the focused full screen: $(window)"
}

# frame NAME: the next frame the game hands to the window, as NAME.png.
frames=0
frame() {
  frames=$((frames + 1))
  kill -USR1 "$game_pid"
  wait_until 10 grep -qx "frame $frames written" "$work/game/out.txt" ||
    fail "no frame $frames from the game"
  mv "$work/game/frame.png" "$work/$1.png"
}
same_picture() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }

# frame_is GOLDEN: the game's frames come to equal that golden frame.
frame_is_now() { frame now && same_picture "$work/now.png" "$golden/$1.png"; }
frame_is() { wait_until 10 frame_is_now "$1" || fail "the game never showed $1"; }

# screen_is WHAT [X Y W H]: the output (or that part of it) comes to show
# the game's frame fitted to its size, to the pixel (the frame and the
# screen settle together once the click marker has gone).
differing() {
  local skip=$pointer_box
  [ -n "$region" ] && skip="0 0 0 0"
  "$probe" differs "$work/shown.png" "$work/shot.ppm" $skip
}
screen_is_now() {
  frame shown && as_user grim -t ppm ${region:+-g "$region"} "$work/shot.ppm" 2>/dev/null &&
    [ "$(differing)" = 0 ]
}
screen_is() {
  local region=""
  [ $# -gt 1 ] && region="$2,$3 $4x$5"
  wait_until 10 screen_is_now || {
    [ -n "${DRAYVANE_KEEP_SHOTS:-}" ] && cp "$work/shot.ppm" "$work/shown.png" "$DRAYVANE_KEEP_SHOTS/"
    fail "$1: the screen differs from the fitted frame in $(differing) pixels"
  }
}

# click_frame X Y [LEFT TOP W H]: a click where frame pixel (X, Y) is drawn
# on the output (or in the window at that place and size), the button held
# as a hand holds it; then the pointer rests.
click_frame() {
  local left=${3:-0} top=${4:-0} w=${5:-$screen_w} h=${6:-$screen_h} at
  at=($("$probe" at "$w" "$h" "$1" "$2"))
  as_user swaymsg -q seat - cursor set $((left + at[0])) $((top + at[1])) || fail "cannot move the pointer"
  as_user swaymsg -q seat - cursor press button1 || fail "cannot press"
  sleep 0.1
  as_user swaymsg -q seat - cursor release button1 || fail "cannot release"
  park_pointer
}

start_game "$game" SDL_VIDEODRIVER="$driver" -- "$work/game/frame.png"
full_screen "at the start"

# A 27 x 15 grid, key by key, each one seen by the game.
frame_is setup_columns_tens
key 2
frame_is setup_columns_units_after_2
key 7
frame_is setup_rows_tens_after_27
key 1
frame_is setup_rows_units_after_1
key 5
lattice_shown() { frame lattice && [ "$(pixel "$work/lattice.png" 5 30)" = FFFFFF ]; }
wait_until 10 lattice_shown || fail "no lattice on the design screen"
screen_is "design screen"

# The grid-lines button, where it is drawn: the lattice goes.
click_frame 190 750
bare_shown() { frame bare && [ "$(pixel "$work/bare.png" 5 30)" = 000000 ]; }
wait_until 10 bare_shown || fail "the click on the grid-lines button did not reach it"
screen_is "after the click"

# Another workspace takes the focus, then the game has it back.
as_user swaymsg -q workspace 2 || fail "cannot switch to another workspace"
gone() { window | grep -q ' false false$'; }
wait_until 10 gone || fail "the game still shows on another workspace: $(window)"
as_user swaymsg -q workspace 1 || fail "cannot switch back"
full_screen "focus away and back"
screen_is "focus away and back"

# Alt+Enter: a window that shows the frame fitted, clicks exact, and back.
if [ "$driver" = wayland ]; then
  key -M alt -k Return -m alt
  windowed() { window | grep -q ' 0 true true$' && ! window_is "0 0 $screen_w $screen_h 0 true true"; }
  wait_until 10 windowed || fail "Alt+Enter gave no window: $(window)"
  read -r win_x win_y win_w win_h _ < <(window)
  screen_is "windowed" "$win_x" "$win_y" "$win_w" "$win_h"
  click_frame 190 750 "$win_x" "$win_y" "$win_w" "$win_h"
  wait_until 10 lattice_shown || fail "the click in the window did not reach the button"
  screen_is "windowed, after the click" "$win_x" "$win_y" "$win_w" "$win_h"
  key -M alt -k Return -m alt
  full_screen "after Alt+Enter twice"
  screen_is "after Alt+Enter twice"
  click_frame 190 750
  wait_until 10 bare_shown || fail "the click after the return to full screen missed"
  screen_is "full screen again"
fi

# Escape on the design screen ends the game, and well.
key -k Escape
wait_until 10 test -s "$work/game/status.txt" || fail "Escape did not end the game"
[ "$(cat "$work/game/status.txt")" = 0 ] || fail "Escape ended the game with status $(cat "$work/game/status.txt")"

# Again, and the compositor goes: the game ends within a second, failing,
# with one line.
start_game "$game" SDL_VIDEODRIVER="$driver" -- "$work/game/frame.png"
full_screen "the second start"
frames=0
frame_is setup_columns_tens
kill -KILL "$sway_pid"
start=$(date +%s%N)
wait_until 1 test -s "$work/game/status.txt" || fail "the game still runs a second after the compositor went away"
elapsed=$((($(date +%s%N) - start) / 1000000))
status=$(cat "$work/game/status.txt")
[ "$status" -ne 0 ] || fail "the game ended with status 0 when the compositor went away"
[ "$(wc -l <"$work/game/err.txt")" -eq 1 ] || fail "not one line on stderr: $(cat "$work/game/err.txt")"
echo "$driver $size: full screen, keys, click, focus$([ "$driver" = wayland ] && echo ", Alt+Enter")," \
  "Escape (status 0); compositor gone: status $status after $elapsed ms: $(cat "$work/game/err.txt")"
echo "PASS"
