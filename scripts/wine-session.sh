#!/usr/bin/env bash
# wine-session.sh BUILD_DIR COMMAND...: runs COMMAND with the build tree's Wine prefix ready:
# an X display (Xvfb when none is set), the prefix created once (without the mono and gecko
# installers) with Wine's desktop and taskbar, the wine server primed inside that display,
# a PulseAudio server with a null capture source, and everything shut down afterwards.
# Inside COMMAND, "$WINE" runs a program in the prefix.
set -euo pipefail
build=$(cd "$1" && pwd); shift
source "$build/wine-env.sh"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build" "$@"
fi

if [ ! -f "$WINEPREFIX/.qel-ready" ]; then
  rm -rf "$WINEPREFIX"
  "$WINE" wineboot -i >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.qel-ready"
fi

# Wine's fonts have no Chinese glyphs: the font that its user interface links to for them
# ("SimSun") is replaced by the system's Droid Sans Fallback, so that Chinese texts show.
if ! grep -q '"SimSun"="Droid Sans Fallback"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /d 'Droid Sans Fallback' /f >/dev/null 2>&1
  "$WINESERVER" -w
fi

# Wine links the user's Documents folder to $HOME; tests write there, so it is a folder of the
# prefix instead. A folder that holds something is left alone when Wine updates the prefix.
for docs in "$WINEPREFIX"/drive_c/users/*/Documents; do
  if [ -L "$docs" ]; then
    rm "$docs"
    mkdir "$docs"
    echo "Documents of the test prefix" >"$docs/README.txt"
  fi
done

# The sound server is the tree's own (its socket in the build tree), so that sessions of two trees
# at once never share one, nor stop the other's.
export PULSE_RUNTIME_PATH="$build/pulse"
mkdir -p "$PULSE_RUNTIME_PATH"
pulse_pid=
if command -v pulseaudio >/dev/null && ! pactl info >/dev/null 2>&1; then
  pulseaudio --daemonize=yes --exit-idle-time=-1 -n --load=module-native-protocol-unix \
    --load="module-null-sink sink_name=nullsink" --load="module-null-source source_name=nullmic" \
    >/dev/null 2>&1 && pulse_pid=$(cat "$PULSE_RUNTIME_PATH/pid" 2>/dev/null || true)
fi

finish() {
  "$WINESERVER" -k 2>/dev/null || true
  if [ -n "$pulse_pid" ]; then kill "$pulse_pid" 2>/dev/null || true; fi
}
trap finish EXIT
trap 'exit 130' INT TERM

# A server left from an earlier run may hold a display that is gone: start afresh.
"$WINESERVER" -k 2>/dev/null || true

# Start the server and the desktop once, with their output away from ctest's pipes.
"$WINESERVER" -p
"$WINE" wineboot >/dev/null 2>&1 </dev/null
"$@"
