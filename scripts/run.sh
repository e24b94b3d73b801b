#!/usr/bin/env bash
# Sets up the machine, builds the monitor and runs it under Wine, in Wine's desktop with a taskbar
# where its tray icon shows, with the virtual mouse plugged in and the configuration program's test
# double beside it. The monitor's trace lines, its microphone mute calls and the double's messages
# are printed; scripts/qelmouse.sh drives the mouse from a second terminal. Without a display it
# runs under Xvfb and saves a screenshot of the desktop; Ctrl-C ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
source scripts/wine-tree.sh
cmake --build "$WINE_TREE" -j"$(nproc)" --target qel_shell_app qelmouse qeldemo
args=("$PWD/$WINE_TREE/shell/tests/app" "$PWD/$WINE_TREE/vmouse")
[ -n "${DISPLAY:-}" ] || args+=("$PWD/$WINE_TREE/run-screenshot.png")
exec bash scripts/wine-session.sh "$WINE_TREE" bash vmouse/demo.sh "${args[@]}"
