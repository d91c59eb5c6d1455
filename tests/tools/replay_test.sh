#!/usr/bin/env bash
# drayvane-replay takes the script, --frames and --program-folder from the
# folder it was started in, though the game works in its program folder; and
# the first frame it cannot write stops it with one line and a failing status.
# Usage: replay_test.sh REPLAY
set -u
replay=$(realpath "$1")
work=$(mktemp -d -t drayvane-replay.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  for f in "$work"/*.txt; do
    [ -f "$f" ] && { echo "--- $(basename "$f")"; cat "$f"; }
  done
  exit 1
}

# A start folder that is neither the tool's folder nor the game's.
start=$work/start
mkdir -p "$start/scripts" "$start/frames" "$start/game/IronholdArt"
cp "$(dirname "$replay")"/IronholdArt/*.png "$start/game/IronholdArt/"
printf '0 move 300 200\n4 tap 1\n8 end\n' >"$start/scripts/short.txt"

# Relative paths, from the start folder.
status=0
(cd "$start" && "$replay" scripts/short.txt --frames frames --program-folder game) \
  >"$work/out.txt" 2>"$work/err.txt" || status=$?
[ "$status" = 3 ] || fail "relative paths: status $status, not 3 (out of input)"
[ -s "$work/err.txt" ] && fail "relative paths: the tool complained"
written=$(ls "$start/frames" | grep -c '^frame-[0-9]*\.png$')
[ "$written" -gt 0 ] || fail "relative paths: no frame in the start folder's frames/"
[ "$written" = "$(sed -n 's/^presents=//p' "$work/out.txt")" ] ||
  fail "relative paths: $written frames written of $(sed -n 's/^presents=//p' "$work/out.txt") presented"
[ -e "$start/game/frames" ] && fail "relative paths: frames went into the program folder"
echo "relative paths from another folder: status 3, $written frames in start/frames"

# A frames folder that cannot be written: a file stands where it should be.
touch "$start/blocker"
status=0
(cd "$start" && "$replay" scripts/short.txt --frames blocker --program-folder game) \
  >"$work/out.txt" 2>"$work/err.txt" || status=$?
[ "$status" = 1 ] || fail "unwritable frames folder: status $status, not 1"
[ "$(wc -l <"$work/err.txt")" = 1 ] || fail "unwritable frames folder: not one line on stderr"
grep -qx "drayvane-replay: could not write $start/blocker/frame-0.png; stopped at frame 0" \
  "$work/err.txt" || fail "unwritable frames folder: unexpected message"
echo "unwritable frames folder: status 1, $(cat "$work/err.txt")"
echo "PASS"
