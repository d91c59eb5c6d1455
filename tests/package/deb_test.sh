#!/usr/bin/env bash
# The Debian package as a player meets it. Unpacked with dpkg -x into an empty
# root folder (the system's own libraries serve the program; apt, asked to
# install it, must find every dependency already here), it is started by an
# ordinary user, made for the test, with the menu entry's Exec line from
# another working folder, under a private Xvfb. The first prompt shows; Q saves the design into
# ~/.local/share/drayvane31/saved1.sdx with the exact bytes, in a folder for
# the player alone; a new start loads it with 1. Nothing is written into the
# installed files. Every step waits for what the screen or the disk shows.
#
# Given a Debian system's root folder (debootstrap --variant=minbase bookworm
# DIR; too slow for every test run), root installs the package there with apt
# instead, and the player plays inside it through chroot.
# Usage: deb_test.sh PACKAGE.deb GOLDEN_DIR [DEBIAN_ROOT]
set -u
deb=$(realpath "$1")
golden=$(realpath "$2")
system=${3:+$(realpath "$3")}

work=$(mktemp -d)
chmod 755 "$work"
player=""
xvfb_pid=""
game_pid=""
mounted=()
in_root=()

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  [ -n "$player" ] && "${in_root[@]}" userdel --remove "$player" 2>/dev/null
  for mount in "${mounted[@]}"; do umount "$mount"; done
  chmod -R u+w "$work" 2>/dev/null
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

for tool in dpkg dpkg-deb apt-get Xvfb xdotool import compare convert cmp; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/deps.sh test installs it)"
done

# until SECONDS COMMAND...: true as soon as the command succeeds, false when
# it has not within the time.
until_true() {
  local end=$((SECONDS + $1))
  shift
  while ! "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.05
  done
}

# --- the package, in an empty root ------------------------------------------

if [ -z "$system" ]; then
  root=$work/root
  mkdir "$root"
  dpkg -x "$deb" "$root" || fail "dpkg -x could not unpack the package"
  echo "Depends: $(dpkg-deb --field "$deb" Depends)"
  # What apt install ./drayvane31_*.deb would do: the package alone, every
  # dependency (versions too) already on this system.
  plan=$(apt-get install --simulate --no-install-recommends "$deb" 2>&1) ||
    fail "apt would not install the package: $plan"
  others=$(echo "$plan" | grep '^Inst ' | grep -v '^Inst drayvane31 ')
  [ -z "$others" ] || fail "the package needs more than this system has: $others"
else
  [ "$(id -u)" -eq 0 ] || fail "only root installs into $system"
  root=$system
  in_root=(chroot "$root")
  mount -t proc proc "$root/proc" && mounted+=("$root/proc")
  mkdir -p "$root/tmp/.X11-unix"
  mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix" && mounted+=("$root/tmp/.X11-unix")
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  cp "$deb" "$root/tmp/"
  { chroot "$root" apt-get update && chroot "$root" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --reinstall --no-install-recommends "/tmp/$(basename "$deb")"; } >"$work/apt.txt" 2>&1 ||
    fail "apt could not install the package into $root"
  grep -E '^(Setting up|The following NEW)' "$work/apt.txt" | tail -n 3
fi
entry=$(ls "$root"/usr/share/applications/*.desktop) || fail "no desktop entry"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
# The program the menu starts, field codes gone.
program=$(echo "$exec_line" | sed 's/ %[a-zA-Z]//g')
[ -x "$root$program" ] || fail "the Exec line $exec_line names no program in the package"
echo "Exec=$exec_line"

# --- the player ---------------------------------------------------------------

if [ -n "$system" ]; then
  player=drayvane-player-$$
  chroot "$root" useradd --create-home --user-group --shell /bin/sh "$player" ||
    fail "cannot make the player's account"
  home=/home/$player
  as_player=(chroot --userspec="$player:$player" "$root")
elif [ "$(id -u)" -eq 0 ]; then
  # The unpacked program runs where it lies, in the unpacked root.
  program=$root$program
  player=drayvane-player-$$
  home=$work/home
  useradd --create-home --home-dir "$home" --user-group --shell /bin/sh "$player" ||
    fail "cannot make the player's account"
  as_player=(setpriv --reuid="$player" --regid="$player" --init-groups)
else
  # Not root: the player is this user; the unpacked files become read-only,
  # as root's files are for a player.
  program=$root$program
  home=$work/home
  mkdir "$home"
  chmod -R a-w "$root"
  as_player=()
fi
# The player's files as seen from here.
saves=${system:+$root}$home/.local/share/drayvane31
slot=$saves/saved1.sdx

# --- the screen ---------------------------------------------------------------

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
  3>"$work/display.txt" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
until_true 10 test -s "$work/display.txt" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display.txt")"

shot=$work/screen.png
# Pixels that differ between the screen now and a golden frame, whole or in a
# part given as WxH+X+Y.
differing() { # golden [part]
  import -window root "$shot" 2>/dev/null || return 1
  if [ -n "${2:-}" ]; then
    convert "$shot" -crop "$2" +repage "$work/a.png" && convert "$golden/$1.png" -crop "$2" +repage "$work/b.png"
    compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1
  else
    compare -metric AE "$shot" "$golden/$1.png" null: 2>&1
  fi
}
screen_is() { [ "$(differing "$@")" = 0 ]; }
expect_screen() { # golden [part]
  until_true 20 screen_is "$@" ||
    fail "the screen never showed the golden $1${2:+ ($2)}: $(differing "$@") pixels differ"
  echo "the screen shows the golden $1${2:+ ($2)}"
}
game_window() { xdotool search --name '^Drayvane 31$' 2>/dev/null | head -n 1; }
window_shown() { [ -n "$(game_window)" ]; }
focused_on_game() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(game_window)" ]; }
focus_game() {
  xdotool windowfocus --sync "$(game_window)" 2>/dev/null
  focused_on_game
}
# The game, started as the menu starts it, by the player, from the home folder.
start_game() { # name
  xdotool mousemove --sync 300 200
  "${as_player[@]}" env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" SDL_VIDEODRIVER=x11 \
    sh -c 'cd "$HOME" && exec "$0"' "$program" >"$work/$1_out.txt" 2>"$work/$1_err.txt" &
  game_pid=$!
  until_true 20 window_shown || fail "the game's window did not appear"
  # The first prompt shows once the window is the one the game keeps.
  expect_screen setup_columns_tens
  until_true 10 focus_game || fail "cannot focus the game's window"
}
game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }
end_game() {
  xdotool key Escape
  until_true 20 game_ended || fail "the game did not end on Escape"
  local status=0
  wait "$game_pid" || status=$?
  game_pid=""
  [ "$status" = 0 ] || fail "the game ended with status $status"
}
slot_saved() { [ -f "$slot" ] && [ "$(stat -c %s "$slot")" = 2400012 ]; }

# --- 1. A first start: the prompt, a 12 x 10 grid, Q -------------------------

[ -e "$saves" ] && fail "the player's save folder is there before any save"
start_game first
xdotool key --delay 100 1 2 1 0
expect_screen design_screen_12x10
[ -e "$saves" ] && fail "the save folder was made before the first save"
xdotool key q
until_true 20 slot_saved || fail "no slot file of 2400012 bytes at $slot after Q"
# Two empty ships: 600,000 zeros, then the ship on top (0), 12 columns, 10 rows.
{
  head -c 2400000 /dev/zero
  printf '\0\0\0\0\014\0\0\0\012\0\0\0'
} >"$work/expected.sdx"
cmp "$slot" "$work/expected.sdx" || fail "the slot file's bytes differ"
echo "saved: $slot has the bytes of the 12 x 10 design"
[ "$(stat -c %a "$saves")" = 700 ] || fail "the save folder has mode $(stat -c %a "$saves"), not 700"
[ -z "$(find "$root/usr" -name '*.sdx' -o -name '*.tmp')" ] || fail "the game wrote into the installed files"
end_game

# --- 2. A new start: a 20 x 15 grid, then 1 loads the 12 x 10 design ---------

start_game second
xdotool key --delay 100 2 0 1 5
# The design screen's buttons, then the grid: the bottom left corner differs
# from the 12 x 10 screen only in the grid.
expect_screen design_screen_12x10 330x36+0+732
screen_is design_screen_12x10 && fail "a 20 x 15 grid looks like the 12 x 10 one"
xdotool key 1
expect_screen design_screen_12x10
cmp -s "$slot" "$work/expected.sdx" || fail "loading changed the slot file"
end_game
echo "PASS"
