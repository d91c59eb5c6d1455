# The Wayland tests' shared set-up, sourced: a private headless sway (with
# XWayland) run by an ordinary user, as sway will not run as root, with a
# scratch folder and runtime folder of that user's; all gone when the test
# ends, however it ends.
set -u

work=$(mktemp -d)
user=""
sway_pid=""
runtime="$work/run"

# A leak report at exit from the libraries SDL loads is not ours.
export LSAN_OPTIONS=detect_leaks=0
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# The user's own processes and files: the compositor, XWayland and the
# game all run as that user, so they are all found by it.
cleanup() {
  if [ -n "$user" ]; then
    local pids
    pids=$(pgrep -u "$user")
    [ -n "$pids" ] && kill -KILL $pids 2>/dev/null
    for _ in $(seq 100); do
      pgrep -u "$user" >/dev/null || break
      sleep 0.02
    done
    # XWayland's lock files and sockets, left when the compositor was killed.
    find /tmp -maxdepth 2 -user "$user" \( -name '.X*-lock' -o -path '/tmp/.X11-unix/X*' \) \
      -delete 2>/dev/null
    userdel "$user" 2>/dev/null
  else
    # Run as the caller: the compositor and this shell's helpers.
    [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null
    local helpers
    helpers=$(jobs -p)
    [ -n "$helpers" ] && kill $helpers 2>/dev/null
  fi
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  for f in "$work"/*.txt "$work"/game/*.txt; do
    [ -f "$f" ] && { echo "--- $(basename "$f")"; tail -n 40 "$f"; }
  done
  exit 1
}

need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/deps.sh test installs it)"
  done
}

# wait_until SECONDS COMMAND...: true once COMMAND succeeds, false if it
# has not within SECONDS.
wait_until() {
  local seconds=$1
  shift
  local deadline=$(($(date +%s%N) + seconds * 1000000000))
  until "$@"; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.02
  done
}

# as_user COMMAND...: COMMAND as the session's user, in its environment.
as_user() {
  local env=(XDG_RUNTIME_DIR="$runtime" HOME="$work" PATH="$PATH" LANG=C.UTF-8
    LSAN_OPTIONS="$LSAN_OPTIONS" ASAN_OPTIONS="$ASAN_OPTIONS")
  [ -n "${SWAYSOCK:-}" ] && env+=(SWAYSOCK="$SWAYSOCK")
  [ -n "${WAYLAND_DISPLAY:-}" ] && env+=(WAYLAND_DISPLAY="$WAYLAND_DISPLAY")
  if [ -n "$user" ]; then
    setpriv --reuid "$user" --regid "$user" --clear-groups -- env -i "${env[@]}" "$@"
  else
    env -i "${env[@]}" "$@"
  fi
}

# start_sway WIDTHxHEIGHT: the compositor with one output of that size,
# ready once it answers on its socket.
start_sway() {
  need sway swaymsg grim wtype Xwayland setpriv
  if [ "$(id -u)" -eq 0 ]; then
    user="drayvane-wl-$$"
    useradd --system --user-group --no-create-home --home-dir "$work" \
      --shell /usr/sbin/nologin "$user" || fail "cannot make the user $user"
    chown "$user:$user" "$work"
    # X's own folder, as an X server run by root leaves it.
    mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
  fi
  as_user mkdir -m 0700 "$runtime"
  as_user sh -c "cat >'$work/sway.conf'" <<EOF
output HEADLESS-1 resolution $1 position 0 0
xwayland enable
EOF
  setsid env -i XDG_RUNTIME_DIR="$runtime" HOME="$work" PATH="$PATH" LANG=C.UTF-8 \
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    ${user:+setpriv --reuid "$user" --regid "$user" --clear-groups --} \
    sway --config "$work/sway.conf" >"$work/sway.txt" 2>&1 &
  disown
  wait_until 20 sway_socket_found || fail "sway did not start"
  export SWAYSOCK
  SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock)
  # sway-ipc.UID.PID.sock
  sway_pid=${SWAYSOCK%.sock}
  sway_pid=${sway_pid##*.}
  export WAYLAND_DISPLAY
  WAYLAND_DISPLAY=$(cd "$runtime" && ls wayland-* | grep -v lock | head -n 1)
  wait_until 20 as_user swaymsg -t get_outputs >/dev/null 2>&1 || fail "sway does not answer"
}

sway_socket_found() {
  ls "$runtime"/sway-ipc.*.sock >/dev/null 2>&1 && ls "$runtime"/wayland-? >/dev/null 2>&1
}

# start_game PROGRAM [VARIABLE=VALUE...] -- ARGS...: the program (with its
# art folder) copied where the user can run it and started by the
# compositor as a desktop starts it, with those variables; its pid lands in
# game/pid.txt, its exit status in game/status.txt, its output in
# game/out.txt and game/err.txt.
start_game() {
  local program=$1 name
  name=$(basename "$1")
  shift
  as_user mkdir -p "$work/game"
  rm -f "$work/game/pid.txt" "$work/game/status.txt"
  as_user cp "$program" "$work/game/"
  if [ -d "$(dirname "$program")/IronholdArt" ] && [ ! -d "$work/game/IronholdArt" ]; then
    as_user cp -r "$(dirname "$program")/IronholdArt" "$work/game/"
  fi
  local variables="" args=""
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    variables+=" $(printf '%q' "$1")"
    shift
  done
  [ $# -gt 0 ] && shift
  for arg in "$@"; do args+=" $(printf '%q' "$arg")"; done
  {
    echo "#!/bin/sh"
    echo "cd '$work/game'"
    echo "export LSAN_OPTIONS='$LSAN_OPTIONS' ASAN_OPTIONS='$ASAN_OPTIONS'$variables"
    echo "./$name$args >out.txt 2>err.txt &"
    echo 'echo $! >pid.txt'
    echo 'wait $!'
    echo 'echo $? >status.txt'
  } | as_user sh -c "cat >'$work/game/launch.sh'"
  as_user chmod +x "$work/game/launch.sh"
  as_user swaymsg exec "$work/game/launch.sh" >/dev/null || fail "swaymsg exec failed"
  wait_until 10 test -s "$work/game/pid.txt" || fail "the game did not start"
  game_pid=$(cat "$work/game/pid.txt")
}
