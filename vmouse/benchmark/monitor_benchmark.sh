#!/usr/bin/env bash
# monitor_benchmark.sh APP_DIR VMOUSE_DIR [REPORTS CYCLES RATE [BURST]]: figures of the real monitor
# reading the virtual mouse, printed, never asserted. Runs inside scripts/wine-session.sh:
#   bash scripts/wine-session.sh build/win bash vmouse/benchmark/monitor_benchmark.sh \
#     "$PWD/build/win/shell/tests/app" "$PWD/build/win/vmouse"
# Idle cost: context switches a second of all the monitor's threads over 10 s (from /proc) with a
# reader waiting, beside the 1 ms polling loop's; report-to-trace latency; then the soak. Then,
# with the monitor started again without its trace: its private memory beside the floor's, and
# bursts of BURST reports (default 5,000) read against sent; last, the feedback of mute presses.
set -euo pipefail
app=$1 vmouse=$2 reports=${3:-100000} cycles=${4:-100} rate=${5:-1000} burst=${6:-5000}
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

# ---------------------------------------------------------------------------------------------
# Memory and bursts, the monitor without its trace.
"$WINE" "$app/ShellProbe.exe" close TQelMonMain >/dev/null 2>&1 || true
wait $monitor 2>/dev/null || true

# The biggest holders of private memory of the Linux process PID (from its smaps): anonymous
# blocks one by one, the private copies of a file's mapping (a PE image's touched pages) by file.
holders() {
  awk '
    /^[0-9a-f]+-[0-9a-f]+ / { name = $6 != "" ? $6 : "anonymous block at " $1 }
    /^Anonymous:/ { if ($2 > 0) kib[name] += $2 }
    END { for (n in kib) print kib[n], n }' /proc/"$1"/smaps | sort -rn | head -"$2" |
    awk '{ size = $1; $1 = ""; printf "  %6d KiB %s\n", size, substr($0, 2) }'
}
start() { (cd /tmp && exec "$WINE" "$@" >/dev/null 2>&1) & }
start "$vmouse/monitor_benchmark.exe" floor-window 20
start "$vmouse/monitor_benchmark.exe" floor-endpoint 20
start "$app/QelMon.exe"
monitor=$!
sleep 8
window_pid=$(unix_pid 'floor-window') endpoint_pid=$(unix_pid 'floor-endpoint') pid=$(unix_pid 'QelMon.exe')
mon=$(private_kib "$pid") bare=$(private_kib "$window_pid") floor=$(private_kib "$endpoint_pid")
echo "private memory 8 s after start: monitor $mon KiB; floor: a hidden window $bare KiB, holding the" \
  "capture endpoint $floor KiB; the monitor holds $((mon - floor)) KiB above the floor"
echo "the monitor's biggest holders:"
holders "$pid" 12
echo "the floor's (holding the endpoint) biggest holders:"
holders "$endpoint_pid" 6

# Bursts: reads of the vendor collection against reports sent, three bursts one after another
# for each kind and rate; the profile switches are told to the configuration program's double.
mouse wait-read 20000 >/dev/null
"$WINE" reg add 'HKCU\software\QelHV730gmmouse' /f >/dev/null 2>&1
rm -f "$app/QelCfg.log"
start "$app/QelCfg.exe" /hidden
double=$!
trap 'kill $monitor $double 2>/dev/null || true; mouse unplug >/dev/null 2>&1 || true' EXIT
for kind in button profile; do
  for burst_rate in 250 1000; do
    for _ in 1 2 3; do
      if [ $kind = profile ]; then
        "$WINE" "$vmouse/monitor_benchmark.exe" burst $kind "$burst" $burst_rate "Z:$app/QelCfg.log"
      else
        "$WINE" "$vmouse/monitor_benchmark.exe" burst $kind "$burst" $burst_rate
      fi
    done
    echo "  the monitor's private memory now: $(private_kib "$pid") KiB"
  done
done

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
