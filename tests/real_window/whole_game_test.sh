#!/usr/bin/env bash
# The smoke test: a whole game played in the real window, as a player would.
# The grid size, both ships designed through the palettes, a save, a battle
# to its end, the message line, a load and Escape; a screenshot at each step,
# the slot file's bytes and the exit status.
#
# Screens that do not depend on chance must equal the golden frames of the
# headless tests pixel for pixel; the battle's outcome depends on how many
# frames the player spent designing, so its message is one of two lines
# that the headless game draws for a sure win and a sure loss.
#
# GAME is the game probe: the game as players have it, with a report of the
# frames it presents and the input it takes, so that each step waits for the
# game to have taken it.
# Usage: whole_game_test.sh GAME REPLAY GOLDEN_DIR
source "$(dirname "$0")/xvfb_session.sh"
game=$1
replay=$2
golden=$3
need xdotool import compare convert od
start_xvfb

# --- places on the screen -------------------------------------------------

# Buttons along the bottom: equip palette, structure palette, exchange, battle.
equip_button="28 750"
structure_button="80 750"
swap_button="130 750"
end_button="298 750"
cell() { echo "$((17 + 25 * $1)) $((17 + 25 * $2))"; }     # column row
equip_picture() { echo "$((20 * ($1 % 10) + 10)) $((20 * ($1 / 10) + 10))"; }
structure_picture() { echo "$((25 * ($1 % 10) + 12)) $((25 * ($1 / 10) + 12))"; }

# --- driving the game -----------------------------------------------------

press() { game_click "$@"; } # x y
# An item out of a palette into a cell of the main grid.
place_structure() { press $structure_button; press $(structure_picture "$1"); press $(cell "$2" "$3"); }
place_equip() { press $equip_button; press $(equip_picture "$1"); press $(cell "$2" "$3"); }

screenshot() { # name: the screen as it is now
  import -window root "$work/$1.png" || fail "no screenshot for $1"
  echo "$work/$1.png"
}
# Pixels that differ between two pictures, whole or in part: "message" is
# only the design screen's message line, "all-but-message" everything else.
differing() { # a b [whole|message|all-but-message]
  local part=${3:-whole} a=$work/a.png b=$work/b.png
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
# shows NAME PICTURE [PART]: a screenshot NAME now equals PICTURE (in part).
shows() { [ "$(differing "$(screenshot "$1")" "$2" "${3:-whole}")" = 0 ]; }
expect_golden() { # name golden-name [part]: the screen comes to equal a golden frame
  wait_until 30 shows "$1" "$golden/$2.png" "${3:-whole}" ||
    fail "$1: differs from the golden $2 in $(differing "$work/$1.png" "$golden/$2.png" "${3:-whole}") pixels"
  echo "$1.png: equals the golden $2${3:+ ($3)}"
}
game_running() { kill -0 "$game_pid" 2>/dev/null || fail "the game ended early"; }

# --- the game, as built for players, in a folder of its own ---------------

mkdir -p "$work/game/IronholdArt"
cp "$game" "$work/game/game_probe"
cp "$(dirname "$game")"/IronholdArt/*.png "$work/game/IronholdArt/"
slot="$work/game/IronholdArt/saved1.sdx"

# --- the message lines of a sure win and a sure loss, drawn headless ------

setup_12x10="0 move 300 200
4 tap 1
6 tap 2
8 tap 1
10 tap 0"
# Two empty ships: lost. One gun against an empty enemy: won.
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
for outcome in lost won; do
  mkdir -p "$work/$outcome"
  "$replay" "$work/$outcome.script" --frames "$work/$outcome" --program-folder "$work/game" >"$work/replay_$outcome.log" 2>&1
  [ $? -eq 3 ] || fail "the headless $outcome battle did not run out of input as planned"
  grep -qx "messageState=$([ $outcome = won ] && echo 2 || echo 3)" "$work/replay_$outcome.log" ||
    fail "the headless $outcome battle ended otherwise"
  last=$(ls "$work/$outcome" | sort -t- -k2 -n | tail -n 1)
  cp "$work/$outcome/$last" "$work/$outcome.png"
done

xdotool mousemove --sync 300 200
start_game "$work/game/game_probe" "$work/frame.png"
game_pid=$probe_pid # the shared clean-up ends it if the test stops early
xdotool windowfocus --sync "$wid" || fail "cannot focus the game's window"
wait_for_focus "$wid" 30 || fail "the game's window never had the focus"

# 1. The grid size: 12 columns, 10 rows.
expect_golden columns-prompt setup_columns_tens
game_keys 1 2 1 0
expect_golden empty-design design_screen_12x10

# 2. The player's ship: weapons 96 and 24, armour 47 and 2, cargo 37 and 99,
# crew over the first gun and the second crate; the palettes as they open.
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
# A row of armour 5 from one choice: Space keeps the item carried.
game_key space
press $structure_button
press $(structure_picture 5)
press $(cell 1 3)
press $(cell 2 3)
press $(cell 3 3)
game_key space

# 3. The enemy ship, in the main grid after an exchange: weapon 90, armour
# 16, cargo 50 and an equip item; then the player's ship back on top.
press $swap_button
place_structure 90 0 0
place_structure 16 1 0
place_structure 50 2 0
place_equip 3 0 0
press $swap_button
game_move $(cell 1 1)
game_frames 10 # the click marker runs out: the game counts ten frames
expect_golden both-ships design_both_ships

# 4. Save into slot 1: 600,003 little-endian integers.
game_key q
game_running
[ -f "$slot" ] || fail "no slot file after Q"
[ "$(stat -c %s "$slot")" = 2400012 ] || fail "the slot file has $(stat -c %s "$slot") bytes"
slot_int() { od -An -td4 --endian=little -j "$1" -N 4 "$slot" | tr -d ' '; }
grid_value() { # grid(0 topEquip .. 5 swapUnder) column row slot
  slot_int $((4 * ((($2 * 100 + $3) * 10 + $4) * 6 + $1)))
}
expect_int() { # what got wanted
  [ "$2" = "$3" ] || fail "slot file: $1 is $2, not $3"
}
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
# An item and a condition for each of the player's 9 structure and 2 equip
# items, and for the enemy's 3 and 1 twice (the last exchange left a copy in
# the swap pair); then the 12 columns and 10 rows.
expect_int "non-zero integers" "$nonzero" $(((9 + 2 + 2 * (3 + 1)) * 2 + 2))
cp "$slot" "$work/saved_before_battle.sdx"

# 5. The battle, to its end: the message line says won or lost.
press $end_button
result=""
battle_over() {
  game_running
  local shot outcome
  shot=$(screenshot battle)
  for outcome in won lost; do
    [ "$(differing "$shot" "$work/$outcome.png" message)" = 0 ] && result=$outcome
  done
  [ -n "$result" ]
}
# The battle lasts a number of the game's frames, however slowly a busy
# machine draws them: the limit counts frames, and time only for a hung game.
mark_game
battle_over_or_too_long() { battle_over || presents_at_least 20000; }
wait_until 1000 battle_over_or_too_long || fail "the game drew no 20000 frames in 1000 s"
[ -n "$result" ] || fail "no battle result on the message line within 20000 frames"
echo "battle.png: the message line says the battle was $result"
cmp -s "$slot" "$work/saved_before_battle.sdx" || fail "the battle changed the slot file"

# 6. Load slot 1: the ships and the credits as saved; the message stays.
game_key 1
game_move $(cell 1 1)
expect_golden loaded design_both_ships all-but-message
[ "$(differing "$work/loaded.png" "$work/$result.png" message)" = 0 ] ||
  fail "the message line changed on loading"

# 7. Escape ends the game with status 0.
xdotool key Escape
status=0
wait_for_exit "$game_pid" 30 || fail "the game did not end on Escape"
wait "$game_pid" || status=$?
probe_pid=""
[ "$status" = 0 ] || fail "the game ended with status $status"
cmp -s "$slot" "$work/saved_before_battle.sdx" || fail "the slot file changed after the save"
echo "PASS"
