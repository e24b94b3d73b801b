#!/usr/bin/env bash
# hook_scenarios.sh SCENARIO PROBE_DIR: the hook component under real input, made with xdotool
# on the X display the way a user's mouse and keyboard make it. Runs inside scripts/wine-session.sh,
# which provides the display and "$WINE".
#   mouse  an injected click never reaches the mouse watch, a real one does
#   macro  a keyboard macro recorded from real key presses
set -euo pipefail
scenario=$1 dir=$2
out=$(mktemp)
probe_pid=
cleanup() {
  if [ -n "$probe_pid" ]; then kill "$probe_pid" 2>/dev/null || true; fi
  rm -f "$out"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- probe output"; cat "$out"; exit 1; }

start_probe() {
  # The pointer over Wine's desktop, so that its window has the keyboard.
  xdotool mousemove 512 400
  "$WINE" "$dir/HookProbe.exe" "$1" >"$out" 2>/dev/null &
  probe_pid=$!
  for _ in $(seq 1 120); do
    if grep -q '^ready' "$out"; then return 0; fi
    sleep 0.25
  done
  fail "the probe did not get ready"
}
finish_probe() {
  local rc=0
  wait "$probe_pid" || rc=$?
  probe_pid=
  [ "$rc" -eq 0 ] || fail "the probe ended with $rc"
}
lines() { tr -d '\r' <"$out"; }

case $scenario in
mouse)
  start_probe mouse
  xdotool click 1
  finish_probe
  lines | grep -q '^injected 2$' || fail "the injected click was not sent"
  # Only the real click's press and release ("LCLICK state 0"), nothing of the injected one.
  events=$(lines | grep -E '^[0-9]+ [0-9]+ -?[0-9]+$' | tr '\n' ';')
  [ "$events" = "1 1 0;1 0 0;" ] || fail "mouse watch saw: $events"
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
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
