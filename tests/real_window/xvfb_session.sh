# The window tests' shared set-up, sourced: a private Xvfb screen (1024x768
# unless asked otherwise), perhaps a window manager, and a scratch folder,
# all gone when the test ends, however it ends.
set -u

work=$(mktemp -d)
xvfb_pid=""
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

fail() {
  echo "FAIL: $*"
  for f in "$work"/*.txt; do
    [ -f "$f" ] && { echo "--- $(basename "$f")"; cat "$f"; }
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

start_xvfb() { # [WIDTHxHEIGHT]
  need Xvfb
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset \
    3>"$work/display.txt" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display.txt" ] && break
    sleep 0.1
  done
  [ -s "$work/display.txt" ] || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$work/display.txt")"
  # SDL would otherwise fall back to a window nobody sees.
  export SDL_VIDEODRIVER=x11
  unset WAYLAND_DISPLAY
}

# A window manager on the screen, ready once it has announced itself.
start_openbox() {
  need openbox xprop
  openbox --sm-disable --config-file /dev/null >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.05
  done
  fail "openbox did not start"
}

# find_window NAME SECONDS: the id of the first window of exactly that name,
# or nothing when none appears in time.
find_window() {
  local id=""
  for _ in $(seq $(($2 * 20))); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && break
    sleep 0.05
  done
  echo "$id"
}

# wait_for_line FILE TEXT SECONDS
wait_for_line() {
  for _ in $(seq $(($3 * 20))); do
    grep -qx -- "$2" "$1" 2>/dev/null && return 0
    [ -n "$probe_pid" ] && ! kill -0 "$probe_pid" 2>/dev/null && break
    sleep 0.05
  done
  grep -qx -- "$2" "$1" 2>/dev/null
}

# wait_for_probe SECONDS: the probe's exit status, or fails when it hangs.
wait_for_probe() {
  for _ in $(seq $(($1 * 20))); do
    kill -0 "$probe_pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$probe_pid" 2>/dev/null && fail "the probe did not end"
  local status=0
  wait "$probe_pid" || status=$?
  probe_pid=""
  return $status
}
