# The window tests' shared set-up, sourced: a private Xvfb screen (1024x768
# unless asked otherwise), perhaps a window manager, and a scratch folder,
# all gone when the test ends, however it ends; and the waits for conditions
# (a window focused, a frame presented, the screen showing a picture) that
# every real-window test uses instead of pauses of a fixed length.
set -u

work=$(mktemp -d -t drayvane-window.XXXXXX)
xvfb_pid=""
display_number=""
probe_pid=""
wm_pid=""

cleanup() {
  [ -n "$probe_pid" ] && kill "$probe_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# Stopped by ctest's timeout or by hand: the clean-up still runs.
trap 'exit 1' INT TERM HUP

fail() {
  echo "FAIL: $*"
  for f in "$work"/*.txt; do
    [ -f "$f" ] || continue
    echo "--- $(basename "$f")"
    # The game probe's frame count, each time it next says something else.
    awk '/^presented / { last = $0; next } last != "" { print last; last = "" } { print }
      END { if (last != "") print last }' "$f"
  done
  exit 1
}

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/deps.sh test installs it)"
  done
}

# A leak report at exit from the libraries SDL loads is not ours; the
# address and undefined-behaviour checks stay on.
export LSAN_OPTIONS=detect_leaks=0
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# --- Waiting for conditions --------------------------------------------------
# Each wait polls its condition and gives up only at a limit far beyond what
# a slow, busy machine needs, so that only a real fault reaches it.

# The time in microseconds, and a pause between two looks, both without
# starting a program: a busy machine starts programs slowly.
now_us() { echo "${EPOCHREALTIME//[.,]/}"; }
mkfifo "$work/.pause"
exec 9<>"$work/.pause"
pause() { read -r -t "$1" -u 9 _ || true; }

# wait_until SECONDS COMMAND...: succeeds once COMMAND does; fails when
# COMMAND still fails after SECONDS.
wait_until() {
  local deadline=$((${EPOCHREALTIME//[.,]/} + $1 * 1000000))
  shift
  until "$@"; do
    [ "${EPOCHREALTIME//[.,]/}" -lt "$deadline" ] || return 1
    pause 0.05
  done
}

process_gone() { ! kill -0 "$1" 2>/dev/null; }

# wait_for_exit PID SECONDS
wait_for_exit() { wait_until "$2" process_gone "$1"; }

line_count() { [ -f "$1" ] && wc -l <"$1" || echo 0; }

# has_line FILE MARK TEXT: a whole line of FILE after its first MARK lines
# matches TEXT (an extended regular expression).
has_line() {
  awk -v mark="$2" -v text="^($3)\$" 'NR > mark && $0 ~ text { found = 1; exit }
    END { exit !found }' "$1" 2>/dev/null
}

# has_line_or_probe_gone FILE MARK TEXT: also true when the probe has ended,
# for it will write nothing more.
has_line_or_probe_gone() {
  has_line "$@" || { [ -n "$probe_pid" ] && process_gone "$probe_pid"; }
}

# wait_for_line FILE TEXT SECONDS [MARK]: a line matching TEXT, after the
# first MARK lines of the file.
wait_for_line() {
  wait_until "$3" has_line_or_probe_gone "$1" "${4:-0}" "$2"
  has_line "$1" "${4:-0}" "$2"
}

# wait_for_probe SECONDS: the probe's exit status, or fails when it hangs.
wait_for_probe() {
  wait_for_exit "$probe_pid" "$1" || fail "the probe did not end"
  local status=0
  wait "$probe_pid" || status=$?
  probe_pid=""
  return $status
}

# --- Windows and focus ---------------------------------------------------------

window_named() { xdotool search --name "^$1\$" 2>/dev/null | head -n 1; }
has_window() { [ -n "$(window_named "$1")" ]; }

# find_window NAME SECONDS: the id of the first window of exactly that name,
# or nothing when none appears in time.
find_window() {
  wait_until "$2" has_window "$1"
  window_named "$1"
}

window_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# wait_for_focus WINDOW SECONDS: keys typed from then on reach that window.
wait_for_focus() { wait_until "$2" window_focused "$1"; }

window_unmapped() { xwininfo -id "$1" 2>/dev/null | grep -q 'IsUnMapped'; }

# --- The screen ---------------------------------------------------------------

# differing_pixels A B: how many pixels differ (or an error, when the
# pictures cannot be compared).
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

# screen_shows PICTURE [WINDOW]: a screenshot of the screen (or the window)
# now equals PICTURE; the screenshot stays in $work/shot.png.
screen_shows() {
  import -window "${2:-root}" "$work/shot.png" 2>/dev/null &&
    [ "$(differing_pixels "$1" "$work/shot.png")" = 0 ]
}

# wait_for_screen PICTURE SECONDS [WINDOW]
wait_for_screen() { wait_until "$2" screen_shows "$1" "${3:-root}"; }

# --- The X server and a window manager -------------------------------------

start_xvfb() { # [WIDTHxHEIGHT]
  need Xvfb
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset \
    3>"$work/display.txt" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  wait_until 30 test -s "$work/display.txt" || fail "Xvfb did not start"
  display_number=$(cat "$work/display.txt")
  export DISPLAY=":$display_number"
  # SDL would otherwise fall back to a window nobody sees.
  export SDL_VIDEODRIVER=x11
  unset WAYLAND_DISPLAY
}

# kill_xvfb: the X server goes away at once, as when it crashes; its lock and
# socket, which it has no chance to remove, go with it.
kill_xvfb() {
  {
    kill -KILL "$xvfb_pid"
    wait "$xvfb_pid"
  } 2>/dev/null
  xvfb_pid=""
  rm -f "/tmp/.X$display_number-lock" "/tmp/.X11-unix/X$display_number"
}

wm_announced() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# A window manager on the screen, ready once it has announced itself.
start_openbox() {
  need openbox xprop
  openbox --sm-disable --config-file /dev/null >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  wait_until 30 wm_announced || fail "openbox did not start"
}

# --- Driving the game through the game probe -----------------------------------
# game_probe reports each frame it presents ("presented N"), each event the
# game takes ("took buttondown 1") and when the game waits for an event
# ("waits for input"), in $game_out. The steps below wait for those.

game_out="$work/game_out.txt"
game_mark=0
mark_game() { game_mark=$(line_count "$game_out"); }

# game_says TEXT [SECONDS]: the game reports a line matching TEXT after the mark.
game_says() {
  wait_for_line "$game_out" "$1" "${2:-30}" "$game_mark" || fail "the game never reported: $1"
}

presents_at_least() { # N: presented since the mark
  awk -v mark="$game_mark" -v n="$1" 'NR > mark && /^presented / && ++count >= n { exit }
    END { exit (count < n) }' "$game_out"
}

# game_frames N: N more frames presented from now on.
game_frames() {
  mark_game
  wait_until 30 presents_at_least "$1" || fail "the game presented no $1 frames more"
}

# start_game GAME ARG...: the game running, its first frame presented, and
# its window (the one the renderer uses) in $wid.
start_game() {
  "$@" >"$game_out" 2>"$work/game_err.txt" &
  probe_pid=$!
  game_mark=0
  game_says 'presented 1' 60
  wid=$(find_window 'Drayvane 31' 30)
  [ -n "$wid" ] || fail "no window named Drayvane 31"
}

pointer_at() { xdotool getmouselocation | cut -d' ' -f1,2; }

# game_move X Y [WINDOW]: the pointer to (X, Y) on the screen (or in the
# window), once the game has taken the move.
game_move() {
  local before
  before=$(pointer_at)
  mark_game
  if [ -n "${3:-}" ]; then
    xdotool mousemove --window "$3" --sync "$1" "$2"
  else
    xdotool mousemove --sync "$1" "$2"
  fi
  [ "$(pointer_at)" = "$before" ] && return 0 # already there: no move to take
  game_says 'took pointer .*'
}

# game_click X Y [WINDOW]: a click with the left button there. The game
# reads the button once a frame and, once it has seen it down, waits for its
# release: the button goes up only then, and the click is over when the
# game has drawn a frame after acting on the release.
game_click() {
  game_move "$@"
  mark_game
  xdotool mousedown 1
  game_says 'took buttondown 1'
  game_says 'waits for input'
  mark_game
  xdotool mouseup 1
  game_says 'took buttonup 1'
  game_frames 2
}

# game_key KEY [TAKEN]: one key (xdotool's name), taken by the game (TAKEN
# matches the report, any key down unless given), then two frames, so that a
# key after it comes in a later frame and the screen shows what it did.
game_key() {
  mark_game
  xdotool key "$1"
  game_says "${2:-took keydown .*}"
  game_frames 2
}

game_keys() { for k; do game_key "$k"; done; }
