#!/usr/bin/env bash
# monitor_benchmark.sh APP_DIR VMOUSE_DIR [REPORTS CYCLES RATE]: figures of the real monitor reading
# the virtual mouse, printed, never asserted. Runs inside scripts/wine-session.sh:
#   bash scripts/wine-session.sh build/win bash vmouse/benchmark/monitor_benchmark.sh \
#     "$PWD/build/win/shell/tests/app" "$PWD/build/win/vmouse"
# Idle cost: context switches a second of all the monitor's threads over 10 s (from /proc) with a
# reader waiting, beside the 1 ms polling loop's; report-to-trace latency; then the soak; then the
# feedback of mute presses.
set -euo pipefail
app=$1 vmouse=$2 reports=${3:-100000} cycles=${4:-100} rate=${5:-1000}
mouse() { "$WINE" "$vmouse/qelmouse.exe" "$@"; }

# Voluntary and involuntary context switches of every thread of the Linux process PID.
switches() {
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n + 0 }'
}
# switches_per_second PID SECONDS
switches_per_second() {
  local a b
  a=$(switches "$1")
  sleep "$2"
  b=$(switches "$1")
  echo $(((b - a) / $2))
}
# The Linux process of a Windows program of the prefix, by its executable's name.
unix_pid() { pgrep -f "$1" | head -1; }

mouse install >/dev/null
mouse unplug >/dev/null
mouse plug >/dev/null
log=$app/benchmark-monitor.log
(cd /tmp && WINEDEBUG=warn+seh exec "$WINE" "$app/QelMon.exe" 2>"$log") &
monitor=$!
trap 'kill $monitor 2>/dev/null || true; mouse unplug >/dev/null 2>&1 || true' EXIT
mouse wait-read 20000 >/dev/null
sleep 2

pid=$(unix_pid 'QelMon.exe')
echo "idle, a reader waiting: monitor $(switches_per_second "$pid" 10) context switches a second (all threads)"
"$WINE" "$vmouse/monitor_benchmark.exe" polling-loop 14 >/dev/null &
poller=$!
sleep 2
echo "idle, a read waiting in the 1 ms polling loop: $(switches_per_second "$(unix_pid monitor_benchmark.exe)" 10) context switches a second"
wait $poller

# Private memory of the monitor's Linux process: its anonymous pages (Wine's heaps and stacks).
private_kib() { awk '/^RssAnon:/ { print $2 }' /proc/"$1"/status; }
echo "threads $(ls /proc/"$pid"/task | wc -l); private memory before the soak: $(private_kib "$pid") KiB"
"$WINE" "$vmouse/monitor_benchmark.exe" latency 1000
"$WINE" "$vmouse/monitor_benchmark.exe" soak "$reports" "$rate" "$cycles" "Z:$log"
echo "private memory after the soak: $(private_kib "$pid") KiB"

# The feedback of mute presses: the demo's profile data (key 3 mutes), a monitor whose mute calls
# are in its log, then the same monitor from a folder whose config.ini switches the feedback off.
feedback() { # FOLDER LABEL
  local log=$1/benchmark-feedback.log
  (cd /tmp && WINEDEBUG=trace+mmdevapi exec "$WINE" "$1/QelMon.exe" 2>"$log") &
  local feedback_monitor=$!
  mouse wait-read 20000 >/dev/null
  sleep 2
  echo "$2"
  "$WINE" "$vmouse/monitor_benchmark.exe" feedback "${FEEDBACK_PRESSES:-40}" "Z:$log"
  kill $feedback_monitor 2>/dev/null || true
  wait $feedback_monitor 2>/dev/null || true
}
feedback_section() {
  kill $monitor 2>/dev/null || true
  wait $monitor 2>/dev/null || true
  "$WINE" "$vmouse/qeldemo.exe" "Z:$app" >/dev/null
  mouse unplug >/dev/null && mouse plug >/dev/null
  feedback "$app" "feedback on (tray icon, indicator, sound):"
  local quiet=$app/benchmark-no-feedback
  mkdir -p "$quiet"
  cp "$app/QelMon.exe" "$app/uiHook.dll" "$app/ui.local" "$quiet/"
  printf '[MuteFeedback]\r\nTrayIcon=0\r\nIndicator=0\r\nSound=0\r\n' >"$quiet/config.ini"
  mouse unplug >/dev/null && mouse plug >/dev/null
  feedback "$quiet" "feedback off (the toggle alone):"
}
feedback_section
