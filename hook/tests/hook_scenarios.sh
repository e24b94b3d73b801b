#!/usr/bin/env bash
# hook_scenarios.sh SCENARIO PROBE_DIR: the hook component under real input, made with xdotool
# on the X display the way a user's mouse and keyboard make it. Runs inside scripts/wine-session.sh,
# which provides the display and "$WINE".
#   mouse        an injected click never reaches the mouse watch, a real one does; the click it
#                swallows never reaches the window below the pointer
#   macro        a keyboard macro recorded from real key presses
#   mouse_macro  a mouse macro recorded from real clicks, a wheel turn and the back side button;
#                the clicks still reach the window below the pointer
source "$(dirname "$0")/../../scripts/strict-mode.sh"
scenario=$1 dir=$2
out=$(mktemp) target_out=$(mktemp)
probe_pid= target_pid=
cleanup() {
  if [ -n "$probe_pid" ]; then kill "$probe_pid" 2>/dev/null || true; fi
  if [ -n "$target_pid" ]; then kill "$target_pid" 2>/dev/null || true; fi
  rm -f "$out" "$target_out"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- probe output"; cat "$out"
  echo "--- target window's output"; cat "$target_out"
  exit 1
}

# wait_ready FILE: until a probe has printed "ready" into FILE (30 s at most).
wait_ready() {
  for _ in $(seq 1 120); do
    if grep -q '^ready' "$1"; then return 0; fi
    sleep 0.25
  done
  return 1
}
start_probe() {
  # The pointer over Wine's desktop, so that its window has the keyboard.
  xdotool mousemove 512 400
  "$WINE" "$dir/HookProbe.exe" "$1" >"$out" 2>/dev/null &
  probe_pid=$!
  wait_ready "$out" || fail "the probe did not get ready"
}
finish_probe() {
  local rc=0
  wait "$probe_pid" || rc=$?
  probe_pid=
  [ "$rc" -eq 0 ] || fail "the probe ended with $rc"
}
lines() { tr -d '\r' <"$out"; }

# Another program's window, 200 x 120 at (650, 450), clear of where the probes click by themselves;
# it prints "down" and "up" for the left button's messages it receives.
target_x=750 target_y=510
start_target() {
  "$WINE" "$dir/HookProbe.exe" target 650 450 200 120 >"$target_out" 2>/dev/null &
  target_pid=$!
  wait_ready "$target_out" || fail "the target window did not show"
}
# The left button's messages the target received, in order, as "down;up;...".
target_clicks() { tr -d '\r' <"$target_out" | grep -E '^(down|up)$' | tr '\n' ';' || true; }
# wait_target_clicks TEXT: until the target has received exactly that (10 s at most).
wait_target_clicks() {
  for _ in $(seq 1 40); do
    [ "$(target_clicks)" = "$1" ] && return 0
    sleep 0.25
  done
  return 1
}

case $scenario in
mouse)
  start_target
  start_probe mouse
  xdotool mousemove $target_x $target_y click 1
  finish_probe
  lines | grep -q '^injected 2$' || fail "the injected click was not sent"
  # Only the real click's press and release ("LCLICK state 0"), nothing of the injected one.
  events=$(lines | grep -E '^[0-9]+ [0-9]+ -?[0-9]+$' | tr '\n' ';')
  [ "$events" = "1 1 0;1 0 0;" ] || fail "mouse watch saw: $events"
  # With the watch gone a click reaches the window. Its input comes in order, so once that click
  # has arrived, a swallowed one that had got through would have arrived before it.
  xdotool click 1
  wait_target_clicks "down;up;" || fail "the window received: $(target_clicks), expected only the click after the watch"
  ;;
macro)
  start_probe macro
  xdotool keydown a
  sleep 0.2
  xdotool keyup a keydown b keyup b
  finish_probe
  # Key entries in order; between them only delay entries of 11 to 1999 ms.
  keys=$(lines | awk -F'[ /]' '$1 == "entry" && $2 == 1 { printf "%s/%s;", $4, $3 }')
  [ "$keys" = "65/1;65/0;66/1;66/0;" ] || fail "key entries: $keys"
  lines | awk -F'[ /]' '$1 == "entry" && $2 == 0 && ($3 != 0 || $4 <= 10 || $4 >= 2000) { bad = 1 }
                        END { exit bad }' || fail "a delay entry outside 11..1999 ms"
  # A was held about 200 ms: that delay is recorded between its press and its release.
  held=$(lines | awk -F'[ /]' '$1 == "entry" { n++; if (n == 2) print $2 " " $4 }')
  read -r type ms <<<"$held"
  [ "$type" = 0 ] && [ "$ms" -ge 150 ] || fail "no delay entry for the held A: $held"
  ;;
mouse_macro)
  start_target
  # The pointer rests at (512, 400) over Wine's desktop: a left click held about 200 ms, the wheel
  # turned towards the user (X button 5); then over the window a click, and the back side button
  # (X button 8), whose release ends the recording.
  start_probe mousemacro
  xdotool mousedown 1
  sleep 0.2
  xdotool mouseup 1 click 5
  xdotool mousemove $target_x $target_y click 1 click 8
  finish_probe
  # Button entries ("state/button/x,y") in order: LCLICK 1, WHEELUP 6, XCLICK4 4.
  buttons=$(lines | awk -F'[ /]' '$1 == "entry" && $2 == 1 { printf "%s/%s/%s;", $3, $4, $5 }')
  expected="1/1/512,400;0/1/512,400;1/6/512,400;1/1/$target_x,$target_y;0/1/$target_x,$target_y;"
  expected+="1/4/$target_x,$target_y;0/4/$target_x,$target_y;"
  [ "$buttons" = "$expected" ] || fail "button entries: $buttons"
  # The recording's first event has no delay entry before it; the release of the held button
  # comes after a delay entry of the time it was held, which its own entry carries too.
  entry() { lines | awk -v n="$1" '$1 == "entry" && ++i == n { print $2 }'; }
  [ "$(entry 1)" = 1/1/1/512,400/0 ] || fail "first entry: $(entry 1)"
  IFS=/ read -r type _ _ _ delay <<<"$(entry 2)"
  IFS=/ read -r _ _ _ _ release <<<"$(entry 3)"
  { [ "$type" = 0 ] && [ "${delay:-0}" -ge 150 ] && [ "$delay" = "$release" ]; } ||
    fail "the held click's delay entry ($(entry 2)) and its release ($(entry 3))"
  lines | awk -F'[ /]' '$1 == "entry" && $2 == 0 && ($3 != 0 || $4 != 0) { bad = 1 } END { exit bad }' ||
    fail "a delay entry with a state or a button"
  # The events name the buttons and their states.
  for text in "1 1 1 512,400 Mouse Click|Down" "1 1 0 512,400 Mouse Click|Up" "1 6 1 512,400 Wheel up(Mouse)|Down" \
              "1 4 1 $target_x,$target_y Backward(Mouse) |Down" "1 4 0 $target_x,$target_y Backward(Mouse) |Up"; do
    lines | grep -qxF "event $text" || fail "no event \"$text\""
  done
  # Recording never swallows: the click over the window reached it.
  wait_target_clicks "down;up;" || fail "the window received: $(target_clicks)"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
