#!/usr/bin/env bash
# demo.sh APP_DIR VMOUSE_DIR [SCREENSHOT]: the monitor at work on the virtual mouse, inside
# scripts/wine-session.sh (run by scripts/run.sh). Plugs the mouse in, writes the demo's profile
# data (button 3 mutes the microphone), starts the configuration program's double and the monitor,
# and prints what they do: the monitor's trace lines, the microphone's mute calls and the
# messages the double receives. With SCREENSHOT, saves the desktop there once the monitor runs, and
# again while the indicator of the first mute shows (beside it, "-pressed" added to its name).
set -euo pipefail
app=$1 vmouse=$2 shot=${3:-}
mouse() { "$WINE" "$vmouse/qelmouse.exe" "$@"; }

mouse install >/dev/null
mouse unplug >/dev/null
mouse plug
"$WINE" "$vmouse/qeldemo.exe" "Z:$app"

pids=()
finish() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  mouse unplug >/dev/null 2>&1 || true
}
trap finish EXIT

: >"$app/QelCfg.log"
(cd "$app" && exec "$WINE" "$app/QelCfg.exe" /hidden) &
pids+=("$!")
tail -n0 -F "$app/QelCfg.log" 2>/dev/null | sed -u 's/^/configuration program: /' &
pids+=("$!")

echo "The monitor starts; it reads the mouse about 3 s from now."
echo "From a second terminal: bash scripts/qelmouse.sh press 3 | profile 2 | unplug | plug"
pressed_shot=
if [ -n "$shot" ]; then
  pressed_shot=${shot%.png}-pressed.png
  rm -f -- "$pressed_shot"
fi
# After the first mute, the desktop with the indicator and the muted tray icon.
pressed() {
  "$WINE" "$app/ShellProbe.exe" wait TQelMuteIndicator 3000 || return 0
  import -window root "$pressed_shot"
  echo "screenshot after the press: $pressed_shot"
}
(cd /tmp && WINEDEBUG=warn+seh,trace+mmdevapi exec "$WINE" "$app/QelMon.exe" 2>&1) |
  sed -u -n -E 's/.*OutputDebugStringA "(.*)"$/monitor: \1/p; s/.*AEV_SetMute \(.*\)->\(([01]),.*/microphone: mute \1/p' |
  while IFS= read -r line; do
    echo "$line"
    if [ "$line" = "microphone: mute 1" ] && [ -n "$pressed_shot" ] && [ ! -e "$pressed_shot" ]; then pressed; fi
  done &
pids+=("$!")
if [ -n "$shot" ]; then
  sleep 6
  import -window root "$shot"
  echo "screenshot: $shot"
  echo "The monitor runs under Xvfb; Ctrl-C ends it."
fi
wait "${pids[-1]}"
