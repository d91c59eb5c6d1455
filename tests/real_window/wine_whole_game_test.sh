#!/usr/bin/env bash
# The smoke test of the Windows program: a whole game played under Wine in a
# real window on a private Xvfb screen, from a folder whose name has a space
# and a non-ASCII letter. The grid size, both ships through the palettes, a
# save, a battle to its end, a load and Escape, against the golden frames of
# the headless tests. Every step waits for what the screen (or the slot
# file, or the process) shows, with a generous limit.
# Usage: wine_whole_game_test.sh GAME.exe REPLAY.exe GOLDEN_DIR WINE_RUNNER
source "$(dirname "$0")/xvfb_session.sh"
game=$1
replay=$2
golden=$3
wine_run=$4
need xdotool import compare convert od
start_xvfb
export SDL_VIDEODRIVER=windows # the Windows program's own driver, over Wine's X11 display

equip_button="28 750"
structure_button="80 750"
swap_button="130 750"
end_button="298 750"
cell() { echo "$((17 + 25 * $1)) $((17 + 25 * $2))"; }
equip_picture() { echo "$((20 * ($1 % 10) + 10)) $((20 * ($1 / 10) + 10))"; }
structure_picture() { echo "$((25 * ($1 % 10) + 12)) $((25 * ($1 / 10) + 12))"; }

shot() { # name: the screen now
  import -window root "$work/$1.png" 2>/dev/null || fail "no screenshot for $1"
  echo "$work/$1.png"
}
differing() { # a b [whole|message|all-but-message]
  local part=${3:-whole} a=$work/a.png b=$work/b.png
  if [ "$part" = whole ]; then
    compare -metric AE "$1" "$2" null: 2>&1 || true
    return
  fi
  for pair in "$1:$a" "$2:$b"; do
    case $part in
    whole) convert "${pair%%:*}" "${pair##*:}" ;;
    message) convert "${pair%%:*}" -crop 434x18+590+729 +repage "${pair##*:}" ;;
    all-but-message) convert "${pair%%:*}" -fill black -draw "rectangle 590,729 1023,746" \
      "${pair##*:}" ;;
    esac || fail "cannot read ${pair%%:*}"
  done
  compare -metric AE "$a" "$b" null: 2>&1 || true
}
game_running() { kill -0 "$game_pid" 2>/dev/null || fail "the game ended early"; }

# until SECONDS COMMAND...: true once COMMAND is, false when time runs out.
until_true() {
  local end=$((SECONDS + $1))
  shift
  while [ $SECONDS -le $end ]; do
    "$@" && return 0
    game_running
    sleep 0.05
  done
  return 1
}
# The screen came to rest: the screenshot equals the one before it.
resting() {
  mv "$work/rest-b.png" "$work/rest-a.png" 2>/dev/null || shot rest-a >/dev/null
  [ "$(differing "$work/rest-a.png" "$(shot rest-b)")" = 0 ]
}
settle() {
  rm -f "$work/rest-b.png"
  until_true 30 resting || fail "the screen never came to rest"
}
changed_from() { [ "$(differing "$(shot now)" "$1")" != 0 ]; }
expect_golden() { # name golden [part]: the screen comes to equal a golden frame
  local name=$1 want=$golden/$2.png part=${3:-whole}
  equals() { [ "$(differing "$(shot "$name")" "$want" "$part")" = 0 ]; }
  until_true 30 equals ||
    fail "$name: differs from the golden $2 in $(differing "$work/$name.png" "$want" "$part") pixels"
  echo "$name: equals the golden $2${3:+ ($3)}"
}

# A click held over a few frames; done once the screen has changed for it.
press() { # x y
  xdotool mousemove --sync "$1" "$2"
  settle
  cp "$work/rest-b.png" "$work/before.png"
  # Separate calls, so that the press reaches the game in a frame before
  # the release does (the hold is part of the click, like a key's --delay).
  xdotool mousedown 1
  sleep 0.1
  xdotool mouseup 1
  until_true 30 changed_from "$work/before.png" || fail "nothing changed after a click at $1 $2"
}
key() { # xdotool key names, each held for a few frames; done once the screen rests
  xdotool key --delay 100 "$@"
  settle
}
# On a failure the screenshots stay in DRAYVANE_KEEP_SHOTS, when set.
keep_shots() { [ -n "${DRAYVANE_KEEP_SHOTS:-}" ] && mkdir -p "$DRAYVANE_KEEP_SHOTS" && cp "$work"/*.png "$DRAYVANE_KEEP_SHOTS/"; }
trap 'keep_shots; cleanup' EXIT
place_structure() { press $structure_button; press $(structure_picture "$1"); press $(cell "$2" "$3"); }
place_equip() { press $equip_button; press $(equip_picture "$1"); press $(cell "$2" "$3"); }

# --- the game, unzipped where a player might put it --------------------------

folder="$work/Zoë Spiele/Drayvane 31"
mkdir -p "$folder/IronholdArt"
cp "$game" "$folder/drayvane31.exe"
cp "$(dirname "$game")"/IronholdArt/*.png "$folder/IronholdArt/"
slot="$folder/IronholdArt/saved1.sdx"

# --- the message lines of a sure win and a sure loss, drawn headless ---------

setup_12x10="0 move 300 200
4 tap 1
6 tap 2
8 tap 1
10 tap 0"
printf '%s\n%s\n' "$setup_12x10" "12 move 298 750
14 buttondown 1
18 buttonup 1
40 end" >"$work/lost.script"
printf '%s\n%s\n' "$setup_12x10" "12 move 80 750
14 buttondown 1
18 buttonup 1
26 move $(structure_picture 96)
28 buttondown 1
32 buttonup 1
40 move $(cell 1 1)
42 buttondown 1
46 buttonup 1
54 move 298 750
56 buttondown 1
60 buttonup 1
90 end" >"$work/won.script"
game_pid=$$ # until the game runs, the checks on it look at this script
for outcome in lost won; do
  mkdir -p "$work/$outcome"
  "$wine_run" "$replay" "$work/$outcome.script" --frames "$work/$outcome" \
    --program-folder "$folder" >"$work/replay_$outcome.log" 2>&1
  [ $? -eq 3 ] || fail "the headless $outcome battle did not run out of input as planned"
  grep -q "^messageState=$([ $outcome = won ] && echo 2 || echo 3)" "$work/replay_$outcome.log" ||
    fail "the headless $outcome battle ended otherwise"
  last=$(ls "$work/$outcome" | sort -t- -k2 -n | tail -n 1)
  cp "$work/$outcome/$last" "$work/$outcome.png"
done

xdotool mousemove --sync 300 200
"$wine_run" "$folder/drayvane31.exe" >"$work/game_out.txt" 2>"$work/game_err.txt" &
game_pid=$!
probe_pid=$game_pid # the shared clean-up ends it if the test stops early
wid=$(find_window 'Drayvane 31' 60)
[ -n "$wid" ] || fail "the game's window did not appear"

# 1. The grid size: the first prompt on the screen is the game's first
# presented frame; then 12 columns, 10 rows.
expect_golden columns-prompt setup_columns_tens
wid=$(xdotool search --name '^Drayvane 31$' | head -n 1)
xdotool windowfocus --sync "$wid" || fail "cannot focus the game's window"
key 1 2 1 0
expect_golden empty-design design_screen_12x10

# 2. The player's ship, through both palettes.
press $structure_button
expect_golden structure-palette palette_structure
press $(structure_picture 96)
press $(cell 1 1)
place_structure 24 2 1
place_structure 47 1 2
place_structure 2 2 2
place_structure 37 3 1
place_structure 99 3 2
press $equip_button
expect_golden equip-palette palette_equip
press $(equip_picture 13)
press $(cell 1 1)
place_equip 55 3 2
key space
press $structure_button
press $(structure_picture 5)
press $(cell 1 3)
press $(cell 2 3)
press $(cell 3 3)
key space

# 3. The enemy ship after an exchange, then the player's ship back on top.
press $swap_button
place_structure 90 0 0
place_structure 16 1 0
place_structure 50 2 0
place_equip 3 0 0
press $swap_button
xdotool mousemove --sync $(cell 1 1)
expect_golden both-ships design_both_ships

# 4. Save into slot 1, in the folder with the space and the "ë".
xdotool key --delay 100 q
whole_slot() { [ "$(stat -c %s "$slot" 2>/dev/null)" = 2400012 ]; }
until_true 30 whole_slot || fail "no whole slot file after Q"
slot_int() { od -An -td4 --endian=little -j "$1" -N 4 "$slot" | tr -d ' '; }
grid_value() { slot_int $((4 * ((($2 * 100 + $3) * 10 + $4) * 6 + $1))); }
expect_int() { [ "$2" = "$3" ] || fail "slot file: $1 is $2, not $3"; }
expect_int "the player's gun at (1,1)" "$(grid_value 1 1 1 1)" 96
expect_int "its condition" "$(grid_value 1 1 1 2)" 100
expect_int "the crew over it" "$(grid_value 0 1 1 1)" 13
expect_int "the player's crate at (3,2)" "$(grid_value 1 3 2 1)" 99
expect_int "the enemy's gun at (0,0)" "$(grid_value 3 0 0 1)" 90
expect_int "the enemy's equip item at (0,0)" "$(grid_value 2 0 0 1)" 3
expect_int "shownShip" "$(slot_int 2400000)" 0
expect_int "gridColumns" "$(slot_int 2400004)" 12
expect_int "gridRows" "$(slot_int 2400008)" 10
nonzero=$(od -An -v -td4 -w4 "$slot" | awk '$1 != 0' | wc -l)
expect_int "non-zero integers" "$nonzero" $(((9 + 2 + 2 * (3 + 1)) * 2 + 2))
ls "$folder/IronholdArt" | grep -q '\.tmp$' && fail "a temporary file stayed beside the slot"
cp "$slot" "$work/saved_before_battle.sdx"
echo "saved: slot 1 holds the design, in $folder"

# 5. The battle, to its end: the message line says won or lost.
press $end_button
result=""
battle_over() {
  local now
  now=$(shot battle)
  for outcome in won lost; do
    [ "$(differing "$now" "$work/$outcome.png" message)" = 0 ] && result=$outcome
  done
  [ -n "$result" ]
}
until_true 120 battle_over || fail "no battle result on the message line within two minutes"
echo "battle: the message line says the battle was $result"
cmp -s "$slot" "$work/saved_before_battle.sdx" || fail "the battle changed the slot file"

# 6. Load slot 1: the ships as saved; the message stays.
xdotool key --delay 100 1
xdotool mousemove --sync $(cell 1 1)
expect_golden loaded design_both_ships all-but-message
[ "$(differing "$work/loaded.png" "$work/$result.png" message)" = 0 ] ||
  fail "the message line changed on loading"

# 7. Escape ends the game with status 0.
xdotool key --delay 100 Escape
ended() { ! kill -0 "$game_pid" 2>/dev/null; }
end=$((SECONDS + 30))
while ! ended && [ $SECONDS -le $end ]; do sleep 0.05; done
ended || fail "the game did not end on Escape"
status=0
wait "$game_pid" || status=$?
probe_pid=""
[ "$status" = 0 ] || fail "the game ended with status $status"
cmp -s "$slot" "$work/saved_before_battle.sdx" || fail "the slot file changed after the save"
echo "PASS"
