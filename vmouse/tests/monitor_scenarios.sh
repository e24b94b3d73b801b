#!/usr/bin/env bash
# monitor_scenarios.sh SCENARIO APP_DIR VMOUSE_DIR: the real QelMon.exe, beside the configuration
# program's double, driven by the virtual mouse through the system's HID stack. What the monitor
# does is seen from outside: its trace lines (OutputDebugStringW) and the endpoint's mute calls in
# Wine's debug output, the double's log, the registry, and the reads the driver sees.
# Runs inside scripts/wine-session.sh, which provides the display and "$WINE".
source "$(dirname "$0")/../../scripts/strict-mode.sh"
scenario=$1 app=$2 vmouse=$3
work=$app/scenario-$scenario
rm -rf "$work"
mkdir -p "$work"
monlog=$work/monitor.log
cfglog=$app/QelCfg.log
rm -f "$cfglog"
profile_key='HKCU\software\QelHV730gmmouse'

fail() {
  echo "FAIL: $*"
  echo "--- monitor's debug output (trace lines and mute calls):"
  grep -E 'OutputDebugStringA|AEV_SetMute' "$monlog" 2>/dev/null | tail -20 || true
  echo "--- configuration program's double:"
  cat "$cfglog" 2>/dev/null || true
  exit 1
}
# Their errors, and any of Wine's own, go straight to the scenario's output.
mouse() { "$WINE" "$vmouse/qelmouse.exe" "$@" | tr -d '\r'; }
probe() { "$WINE" "$app/ShellProbe.exe" "$@" | tr -d '\r'; }

pids=()
cleanup() {
  probe close TQelMonMain >/dev/null || true
  "$WINE" taskkill /f /im QelCfg.exe >/dev/null 2>&1 || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  mouse unplug >/dev/null || true
  "$WINE" reg delete "$profile_key" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT

# The monitor with its trace lines and Wine's audio trace (and what monitor_debug adds) in its own log.
monitor_debug=
start_monitor() {
  (cd /tmp && WINEDEBUG=warn+seh,trace+mmdevapi$monitor_debug exec "$WINE" "$app/QelMon.exe" 2>"$monlog") &
  pids+=("$!")
  probe wait TQelMonMain 20000 || fail "no window of class TQelMonMain"
}
start_config() {
  (cd /tmp && exec "$WINE" "$app/QelCfg.exe" /hidden "$@") &
  pids+=("$!")
  probe wait TQelCfgMain 20000 || fail "the configuration program's double did not start"
}
# count TEXT: lines of the monitor's log that hold TEXT.
count() { grep -cF -- "$1" "$monlog" 2>/dev/null || true; }
# wait_for TEXT N SECONDS: until the monitor's log has N lines holding TEXT.
wait_for() {
  for _ in $(seq 1 $(($3 * 10))); do
    [ "$(count "$1")" -ge "$2" ] && return 0
    sleep 0.1
  done
  return 1
}
# A trace line of the monitor, as Wine prints it once (it also names the exception that carries it).
trace() { echo "OutputDebugStringA \"$1\""; }
key_trace() { trace "KeyIndex = $1 postmessage record!"; }
lost_trace=$(trace 'ERROR_DEVICE_NOT_CONNECTED++++++++++++++++')
# The monitor has a reader on the mouse (its search ran): a read waits on the vendor collection.
wait_reading() { mouse wait-read 15000 >/dev/null || fail "the monitor does not read the mouse ($1)"; }
status_field() { mouse status | sed -n "s/.*$1 \([0-9]*\).*/\1/p"; }
# The mouse plugged in and the monitor reading it.
start_reading() {
  mouse plug >/dev/null || fail "plug"
  start_monitor
  wait_reading "after start"
}

# What the user sees and hears after a toggle.
# indicator_line: the line of `probe windows-of` for the indicator, or nothing.
indicator_line() { probe windows-of TQelMonMain | grep '^TQelMuteIndicator ' || true; }
wait_indicator() { # wait_indicator shown|gone SECONDS
  for _ in $(seq 1 $(($2 * 10))); do
    line=$(indicator_line)
    if [ "$1" = shown ] && [ -n "$line" ]; then return 0; fi
    if [ "$1" = gone ] && [ -z "$line" ]; then return 0; fi
    sleep 0.1
  done
  return 1
}
# tray_red: pixels of the mute badge's red in the taskbar's notification area (the bottom right).
tray_red() {
  import -window root "$work/tray.png"
  /usr/bin/convert "$work/tray.png" -crop 512x48+512+720 +repage txt:- 2>/dev/null |
    awk -F'[(),]' '/^[0-9]/ { if ($3 > 180 && $4 < 90 && $5 < 90) n++ } END { print n + 0 }'
}
wait_tray() { # wait_tray muted|live
  for _ in $(seq 1 50); do
    red=$(tray_red)
    if [ "$1" = muted ] && [ "$red" -ge 8 ]; then return 0; fi
    if [ "$1" = live ] && [ "$red" -eq 0 ]; then return 0; fi
    sleep 0.2
  done
  return 1
}
# record: the sound server's output from now on, into $work/sound.raw, until stop_recording.
record() {
  # A small latency: parec holds about 2 s of sound by default, and what it holds when it is
  # ended is lost.
  parec --latency-msec=20 -d nullsink.monitor --raw --format=s16le --channels=1 --rate=44100 >"$work/sound.raw" &
  recorder=$!
  pids+=("$recorder")
  # The recording runs once its file grows.
  for _ in $(seq 1 50); do [ -s "$work/sound.raw" ] && return 0; sleep 0.1; done
  fail "the sound server's output cannot be recorded"
}
stop_recording() { sleep 1; kill "$recorder"; wait "$recorder" 2>/dev/null || true; }
# tones: one word a sound in the recording, "falling" or "rising": the pitch of its second and
# of its third fifth compared (the first note, the second note, clear of the fades), each as zero
# crossings per sounding sample, since Wine's output drops short stretches under load. A sound is
# the 10 ms blocks louder than 1000 until 100 ms of quiet.
tones() {
  od -An -v -td2 -w2 "$work/sound.raw" | awk '
    function pitch(from, to,   i, c, loud) {
      c = 0; loud = 0
      for (i = from + 1; i < to; i++) {
        if ((s[i] < 0) != (s[i - 1] < 0)) c++
        if (s[i] > 300 || s[i] < -300) loud++
      }
      return loud ? c / loud : 0
    }
    function flush() {
      if (n >= 8) {
        first = pitch(int(m * 0.15), int(m * 0.4))
        second = pitch(int(m * 0.6), int(m * 0.85))
        if (first > second * 1.2) tone = "falling"
        else if (second > first * 1.2) tone = "rising"
        else tone = "flat"
        printf "%s ", tone
      }
      n = 0; m = 0
    }
    {
      v = $1 + 0; block[b++] = v
      if (v > peak) peak = v
      if (-v > peak) peak = -v
      if (b == 441) {
        if (peak > 1000) { for (i = 0; i < b; i++) s[m++] = block[i]; n++; quiet = 0 }
        else if (n > 0 && ++quiet == 10) flush()
        b = 0; peak = 0
      }
    }
    END { flush(); print "" }'
}
# A monitor in a folder of its own, with a config.ini that holds SECTION (the same profile data).
start_monitor_with_config() { # SECTION
  app=$work/app
  mkdir -p "$app"
  cp "$2"/QelMon.exe "$2"/uiHook.dll "$2"/ui.local "$2"/ShellProbe.exe "$app/"
  printf '%b' "$1" >"$app/config.ini"
  start_monitor
}

# The demo's profile data: button 3 mutes the microphone (28), button 4 keeps game 1's code 23.
mouse install >/dev/null || fail "the driver could not be installed"
mouse unplug >/dev/null || fail "the mouse could not be unplugged"
"$WINE" "$vmouse/qeldemo.exe" "Z:$app" >/dev/null || fail "the demo profile could not be written"

case $scenario in
nothing_read_in_first_3s)
  mouse plug >/dev/null || fail "plug"
  before=$(status_field "reads issued: vendor")
  # Times from the monitor's launch, which its own start follows: a time below 2.5 s measured so
  # was below it for the monitor too.
  launched=$(date +%s%N)
  start_monitor
  sleep 1
  mouse press 3 >/dev/null
  pressed=$(( ($(date +%s%N) - launched) / 1000000 ))
  # The press must come before the monitor reads; on a slow machine it may not.
  if [ "$(status_field "reads issued: vendor")" -ne "$before" ]; then
    [ "$pressed" -ge 2500 ] || fail "the monitor read the mouse before the press, $pressed ms after its launch"
    echo "SKIPPED: could not make the case: the press came $pressed ms after the monitor's launch, when it read already"
    exit 77
  fi
  out=$(mouse wait-read 15000) || fail "the monitor never read the mouse"
  waited=$(( ($(date +%s%N) - launched) / 1000000 ))
  echo "button pressed $pressed ms and first read of the monitor $waited ms after its launch"
  [ "$waited" -ge 2500 ] || fail "the monitor read the mouse $waited ms after its launch"
  [ "$(count "$(trace 'KeyIndex = ')")" -eq 0 ] || fail "a button pressed 1 s after start was acted on"
  mouse press 3 >/dev/null
  wait_for "$(key_trace 3)" 1 5 || fail "a button pressed once the monitor reads was not seen"
  ;;
mute_toggle)
  # With COM's trace: the class context the device enumerator is made with.
  monitor_debug=,trace+ole
  start_reading
  mouse press 3 >/dev/null || fail "press 3"
  wait_for "$(key_trace 3)" 1 5 || fail "no trace line for key index 3"
  wait_for AEV_SetMute 1 5 || fail "button 3 (function code 28) made no mute call"
  # The mute call comes after the trace line.
  first_key=$(grep -n -m1 -F -- "$(key_trace 3)" "$monlog" | cut -d: -f1)
  first_mute=$(grep -n -m1 AEV_SetMute "$monlog" | cut -d: -f1)
  [ "$first_mute" -gt "$first_key" ] || fail "the mute call came before the button's trace line"
  mouse press 3 >/dev/null || fail "the second press of 3"
  wait_for AEV_SetMute 2 5 || fail "a second press of button 3 made no second mute call"
  # A toggle: the first press mutes, the second unmutes.
  mutes=$(grep -o 'AEV_SetMute ([^)]*)->([01],' "$monlog" | sed 's/.*(\([01]\),/\1/' | tr -d '\n' || true)
  [ "$mutes" = 10 ] || fail "the mute calls set $mutes, expected 1 then 0"
  mouse press 4 >/dev/null || fail "press 4"
  wait_for "$(key_trace 4)" 1 5 || fail "no trace line for key index 4"
  sleep 1
  [ "$(count AEV_SetMute)" -eq 2 ] || fail "button 4 (function code 23) made a mute call"
  # The endpoint, as Wine's audio trace shows it: one device enumerator, made with class context
  # 7; one default endpoint asked for, of the capture flow (1) and the multimedia role (1); one
  # device activated, for its endpoint volume with class context 7; the change callback
  # registered once, with the endpoint that both mute calls went to. The toggle's sound is played
  # by the system's sound library on a thread of its own, with an enumerator and a playback
  # endpoint of its own: only the main thread's calls (the thread of the trace lines) count.
  key_line=$(grep -m1 -F -- "$(key_trace 3)" "$monlog")
  main_thread=$(sed -n 's/^\([0-9a-f]\{4,8\}\):.*/\1/p' <<<"$key_line")
  [ -n "$main_thread" ] || fail "no thread named on the line: $key_line"
  grep "^$main_thread:" "$monlog" >"$work/main-thread.log" || fail "no line of thread $main_thread"
  main_count() { grep -cF -- "$1" "$work/main-thread.log" 2>/dev/null || true; }
  [ "$(main_count 'CoCreateInstance {bcde0395-e52f-467c-8e3d-c4579291692e}')" -eq 1 ] || fail "not one device enumerator made"
  grep -qE 'CoCreateInstance \{bcde0395-e52f-467c-8e3d-c4579291692e\}, 0+, 0x7, \{a95664d2-9614-4f35-a746-de8db63617e6\}' \
    "$work/main-thread.log" || fail "the device enumerator was not made with class context 7"
  [ "$(main_count GetDefaultAudioEndpoint)" -eq 1 ] || fail "not one default endpoint asked for"
  grep -q 'MMDevEnum_GetDefaultAudioEndpoint ([0-9A-Fa-f]*)->(1,1,' "$work/main-thread.log" || fail "not the capture flow's multimedia endpoint"
  [ "$(main_count MMDevice_Activate\ \()" -eq 1 ] || fail "not one device activated"
  grep -q 'MMDevice_Activate ([0-9A-Fa-f]*)->({5cdf2c82-841e-4546-9722-0cf74078229a}, 7,' "$work/main-thread.log" ||
    fail "the endpoint volume was not activated with class context 7"
  [ "$(main_count 'trace:mmdevapi:AEV_RegisterControlChangeNotify (')" -eq 1 ] || fail "the change callback was not registered once"
  endpoint=$(sed -n 's/.*trace:mmdevapi:AEV_RegisterControlChangeNotify (\([0-9A-Fa-f]*\)).*/\1/p' "$work/main-thread.log")
  [ "$(grep -c "AEV_SetMute ($endpoint)" "$work/main-thread.log")" -eq 2 ] || fail "the mute calls went to another endpoint than $endpoint"
  ;;
profile_switch)
  "$WINE" reg add "$profile_key" /f >/dev/null 2>&1
  start_config
  start_reading
  mouse profile 3 >/dev/null || fail "profile 3"
  for _ in $(seq 1 50); do grep -q '^msg 7040 ' "$cfglog" 2>/dev/null && break; sleep 0.1; done
  sleep 0.5
  [ "$(grep -c '^msg 7040 ' "$cfglog" | tr -d '\r')" -eq 1 ] || fail "the double did not log one 7040"
  grep -q '^msg 7040 3 0' "$cfglog" || fail "7040 did not carry profile 3"
  got=$("$WINE" reg query "$profile_key" /v ProfileID 2>/dev/null | tr -d '\r' | awk '$1 == "ProfileID" { print $3 }')
  # Profiles 1 to 4 are all recorded as 1; the configuration program knows why.
  [ "$got" = 0x1 ] || fail "ProfileID is '$got', expected 0x1"
  ;;
three_plugs)
  start_reading
  before=$(status_field "reads issued: vendor")
  plugs=$(mouse plug 3) || fail "plug 3"
  echo "$plugs"
  out=$(mouse wait-read 15000) || fail "no search after the last plug"
  ticks=($(echo "$plugs" | sed -n 's/.*(tick \([0-9]*\))$/\1/p'))
  read_tick=$(echo "$out" | sed -n 's/.*(tick \([0-9]*\))$/\1/p')
  [ "${#ticks[@]}" -eq 3 ] && [ -n "$read_tick" ] || fail "no tick counts in: $plugs / $out"
  searched=$((read_tick - ticks[2]))
  echo "the monitor's reader waited $searched ms after the last plug"
  [ "$searched" -ge 1300 ] || fail "the search ran $searched ms after the last plug, before the monitor's 1.5 s wait"
  # Each plug's two arrivals restart the monitor's 1.5 s wait, and reach it some time after the
  # plug returns. Plugs more than 1.2 s apart may let the wait run out between them, while the
  # mouse is being unplugged and plugged again: such a search finds nothing and issues no read,
  # so that one read would no longer tell one search from several.
  widest=$(( ticks[1] - ticks[0] > ticks[2] - ticks[1] ? ticks[1] - ticks[0] : ticks[2] - ticks[1] ))
  echo "plugs at most $widest ms apart"
  if [ "$widest" -gt 1200 ]; then
    echo "SKIPPED: could not make the case: plugs $widest ms apart, more than the 1200 ms it needs"
    exit 77
  fi
  sleep 3
  after=$(status_field "reads issued: vendor")
  # Three plugs close together: one search, whose reader issued one read.
  [ $((after - before)) -eq 1 ] || fail "$((after - before)) reads issued after the plugs, expected the one of one search"
  ;;
unplug_and_replug)
  start_reading
  mouse unplug >/dev/null || fail "unplug"
  wait_for "$lost_trace" 1 5 || fail "the reader did not end with its trace line"
  sleep 0.5
  [ "$(count "$lost_trace")" -eq 1 ] || fail "more than one reader ended"
  mouse plug >/dev/null || fail "plug again"
  wait_reading "after plugging in again"
  mouse press 3 >/dev/null
  wait_for "$(key_trace 3)" 1 5 || fail "no report read after plugging in again"
  ;;
mouse_collection_ignored)
  start_reading
  sleep 1
  status=$(mouse status)
  echo "$status" | grep -q 'reads waiting: vendor 1, mouse 0' || fail "reads are not on the vendor collection alone: $status"
  ;;
hung_config_program)
  "$WINE" reg add "$profile_key" /f >/dev/null 2>&1
  start_config /stop-after 7040
  start_reading
  mouse profile 2 >/dev/null || fail "profile 2"
  for _ in $(seq 1 50); do grep -q '^msg 7040 2 0' "$cfglog" 2>/dev/null && break; sleep 0.1; done
  grep -q '^msg 7040 2 0' "$cfglog" || fail "the double did not get 7040"
  # The double no longer answers; the monitor gives it up and goes on reading.
  mouse press 3 >/dev/null
  wait_for "$(key_trace 3)" 1 10 || fail "the monitor stopped reading behind the hung configuration program"
  mouse press 4 >/dev/null
  wait_for "$(key_trace 4)" 1 5 || fail "the monitor stopped acting on reports"
  ;;
feedback_indicator)
  # A program's edit control has the focus; a press shows the indicator, which takes neither the
  # focus nor the keys typed while it shows, and goes again.
  start_reading
  "$WINE" "$app/ShellProbe.exe" type-into >"$work/typing.txt" 2>/dev/null &
  typist=$!
  pids+=("$typist")
  probe wait QelTypingProbe 20000 || fail "the typing window did not start"
  mouse press 3 >/dev/null
  wait_indicator shown 5 || fail "no indicator after the press"
  shown=$(date +%s%N)
  import -window root "$work/indicator.png"
  xdotool type --delay 20 mute
  echo "$line" | grep -q ' exstyle=' || fail "no styles: $line"
  exstyle=$((${line##*exstyle=}))
  for bit in 0x8:WS_EX_TOPMOST 0x20:WS_EX_TRANSPARENT 0x80:WS_EX_TOOLWINDOW 0x80000:WS_EX_LAYERED \
             0x8000000:WS_EX_NOACTIVATE; do
    [ $((exstyle & ${bit%%:*})) -ne 0 ] || fail "the indicator lacks ${bit#*:}: $line"
  done
  wait_indicator gone 10 || fail "the indicator stayed"
  echo "indicator shown for about $(( ($(date +%s%N) - shown) / 1000000 )) ms (screenshot: $work/indicator.png)"
  probe close QelTypingProbe || fail "the typing window has gone"
  wait "$typist" || true
  typed=$(tr -d '\r' <"$work/typing.txt")
  case $typed in
  "focus=1 foreground=1 text=mute while-indicator="[1-4]) ;;
  *) fail "the typing window reports: $typed" ;;
  esac
  ;;
feedback_tray_icon)
  start_reading
  wait_tray live || fail "the tray does not show the product icon at start"
  mouse press 3 >/dev/null
  wait_tray muted || fail "the tray icon is not the muted one after a press"
  cp "$work/tray.png" "$work/tray-muted.png"
  mouse press 3 >/dev/null
  wait_tray live || fail "the tray icon is not the product icon after the second press"
  echo "screenshot of the muted icon: $work/tray-muted.png"
  ;;
feedback_sound)
  start_reading
  record
  mouse press 3 >/dev/null
  wait_for AEV_SetMute 1 5 || fail "no mute call"
  wait_indicator gone 10 || fail "the indicator stayed"
  mouse press 3 >/dev/null
  wait_for AEV_SetMute 2 5 || fail "no second mute call"
  stop_recording
  heard=$(tones)
  echo "heard: $heard"
  [ "$heard" = "falling rising " ] || fail "expected the muted tone (falling), then the live one (rising): '$heard'"
  ;;
feedback_switched_off)
  # With every switch at 0: the toggle only; no indicator, no icon change, silence.
  mouse plug >/dev/null || fail "plug"
  start_monitor_with_config '[MuteFeedback]\r\nTrayIcon=0\r\nIndicator=0\r\nSound=0\r\n' "$app"
  wait_reading "after start"
  record
  mouse press 3 >/dev/null
  wait_for AEV_SetMute 1 5 || fail "no mute call"
  sleep 1
  [ -z "$(indicator_line)" ] || fail "an indicator showed"
  [ "$(tray_red)" -eq 0 ] || fail "the tray icon changed"
  stop_recording
  heard=$(tones)
  [ -z "${heard// /}" ] || fail "sounds were played: $heard"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
