#!/usr/bin/env bash
# Real keys and clicks reach the input queries with the game's key codes,
# a held key counts once, clicks arrive at their logical positions, and
# focus passing to another program and back suspends and resumes.
# Usage: input_test.sh PROBE
source "$(dirname "$0")/xvfb_session.sh"
probe=$1
need xdotool xmessage
start_xvfb

xdotool mousemove --sync 100 50 # away from the middle, where Xvfb starts it
out="$work/probe_out.txt"
"$probe" input 240 123 >"$out" 2>"$work/probe_err.txt" &
probe_pid=$!
wait_for_line "$out" ready 60 || fail "the probe never opened its window"
wid=$(find_window 'Drayvane 31' 30)
[ -n "$wid" ] || fail "no window named Drayvane 31"
xdotool windowfocus --sync "$wid" || fail "cannot focus the window"
wait_for_focus "$wid" 30 || fail "the window never had the focus"

# Opening the display put the pointer in its middle.
grep -v '^frame ' "$out" | sed -n 2p | grep -qx 'pointer at 512 384' ||
  fail "the pointer did not start at the display's centre"

# The probe's lines since the last check; and its frames, which it reports
# as "frame N" at the end of each.
seen=$(line_count "$out")
reports() { awk -v seen="$seen" 'NR > seen && !/^frame /' "$out"; }
# count_since MARK N PATTERN: N lines matching PATTERN after the first MARK.
count_since() {
  awk -v mark="$1" -v n="$2" -v pattern="$3" 'NR > mark && $0 ~ pattern && ++count >= n { exit }
    END { exit (count < n) }' "$out"
}
has_reports() { count_since "$seen" "$1" '^(key|button|suspended|timed) '; }
# (or the probe has ended: it runs no more frames, and sees no more events)
has_frames_since() { count_since "$1" "$2" '^frame ' || process_gone "$probe_pid"; }
# frames N: N more frames ended from now on.
frames() {
  wait_until 30 has_frames_since "$(line_count "$out")" "$1" || fail "the probe ran no $1 frames more"
}

# expect WHAT LINE...: the probe's lines since the last check are exactly
# these, in any order (one frame may see several events).
expect() {
  local what=$1
  shift
  wait_until 30 has_reports $#
  frames 2 # anything more that this step caused comes with them
  local got wanted
  got=$(reports | sort)
  seen=$(line_count "$out")
  wanted=$(printf '%s\n' "$@" | sort)
  [ "$got" = "$wanted" ] || fail "$what: saw [$(echo $got)], wanted [$(echo $wanted)]"
}

# Each key as xdotool names it, and the codes the game must see, a group of
# keys at a time; no code twice in a group, so that a slow frame that sees
# two presses cannot merge them. xdotool also presses the left modifier to
# send a right one, and toggles NumLock around keypad keys named by their
# NumLock meaning; those presses are real and show up too. KP_Begin,
# KP_End... are the keypad digits without NumLock. The lock keys go twice,
# to leave them off.
groups=(
  "a:65 b:66 c:67 d:68 e:69 f:70 g:71 h:72 i:73 j:74 k:75 l:76 m:77
   n:78 o:79 p:80 q:81 r:82 s:83 t:84 u:85 v:86 w:87 x:88 y:89 z:90"
  "0:48 1:49 2:50 3:51 4:52 5:53 6:54 7:55 8:56 9:57"
  "KP_Insert:96 KP_End:97 KP_Down:98 KP_Next:99 KP_Left:100
   KP_Begin:101 KP_Right:102 KP_Home:103 KP_Up:104 KP_Prior:105"
  "KP_5:101,144" "KP_0:96,144" "KP_9:105,144"
  "KP_Multiply:106 KP_Add:107 KP_Subtract:109 KP_Delete:110 KP_Divide:111"
  "Return:13" "KP_Enter:13"
  "Shift_L:160 Control_L:162 Alt_L:164 Super_L:91 Menu:93"
  "Shift_R:160,161" "Control_R:162,163" "Alt_R:164,165" "Super_R:91,92"
  "Escape:27 space:32 BackSpace:8 Tab:9 F1:112 F2:113 F5:116 F11:122"
  "Left:37 Up:38 Right:39 Down:40 Insert:45 Delete:46 Home:36 End:35 Prior:33 Next:34"
  "Print:44 Pause:19 Scroll_Lock:145 Num_Lock:144 Caps_Lock:20"
  "Scroll_Lock:145 Num_Lock:144 Caps_Lock:20"
  "semicolon:186 equal:187 comma:188 minus:189 period:190 slash:191 grave:192
   bracketleft:219 backslash:220 bracketright:221 apostrophe:222"
)
for group in "${groups[@]}"; do
  names=()
  lines=()
  for k in $group; do
    names+=("${k%%:*}")
    IFS=, read -ra codes <<<"${k##*:}"
    for c in "${codes[@]}"; do lines+=("key $c hits 1"); done
  done
  xdotool key --delay 100 "${names[@]}"
  expect "keys ${names[*]}" "${lines[@]}"
done

# Held for two seconds, through the keyboard's repeats: one press. The hold
# is the input itself: the X server repeats a held key after 660 ms.
xdotool keydown q
sleep 2
xdotool keyup q
expect "q held 2 s" "key 81 hits 1"

# Buttons held for a few frames at known places; xdotool's button 2 is the
# middle one, the game's the right one.
click() { # x y xdotool-button game-button
  xdotool mousemove --sync "$1" "$2"
  frames 2 # the move taken before the press
  xdotool mousedown "$3"
  expect "button $4 pressed at ($1, $2)" "button $4 down at $1 $2"
  xdotool mouseup "$3"
  expect "button $4 released at ($1, $2)" "button $4 up at $1 $2"
}
click 300 400 1 1
click 700 200 3 2
click 5 760 2 3
click 0 0 1 1
click 1023 767 1 1

# Another program takes the focus while a button is held: the button is let
# go and the game is suspended; the focus back resumes it.
xmessage -geometry 200x80+10+10 -name other 'another program' &
other_pid=$!
other=$(find_window 'other' 10)
[ -n "$other" ] || fail "the other program's window did not appear"
xdotool mousemove --sync 600 600
frames 2
xdotool mousedown 1
expect "button held before the switch" "button 1 down at 600 600"
xdotool windowfocus --sync "$other"
expect "focus to another program" "button 1 up at 600 600" "suspended 1"
xdotool mouseup 1
xdotool windowfocus --sync "$wid"
expect "focus back" "suspended 0"

# A key held through a switch and back counts again only once it has been
# released and pressed again, though its repeats reach the window as before.
xdotool keydown q
expect "q held before the switch" "key 81 hits 1"
xdotool windowfocus --sync "$other"
expect "focus away with q held" "suspended 1"
# The holds are the input: the key repeats every 40 ms, to the other program
# and then to the game's window.
sleep 0.5
xdotool windowfocus --sync "$wid"
expect "focus back with q held" "suspended 0"
sleep 0.5
xdotool keyup q
xdotool key q
expect "q released and pressed again" "key 81 hits 1"
kill "$other_pid" 2>/dev/null

xdotool key F12
expect "stop key" "key 123 hits 1"
wait_for_probe 60 || fail "the probe did not stop on F12"
echo "keys and clicks seen as sent: $(grep -c '^key' "$out") key lines," \
  "$(grep -c '^button' "$out") button lines"
echo "PASS"
