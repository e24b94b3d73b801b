#!/usr/bin/env bash
# Sets up the machine, builds the monitor and runs it under Wine in Wine's desktop with a taskbar,
# where its tray icon shows. Without a display it runs under Xvfb, saves a screenshot of the
# desktop once the icon is there and prints its path; Ctrl-C ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
source scripts/wine-tree.sh
cmake --build "$WINE_TREE" -j"$(nproc)" --target QelMon
exe=$WINE_TREE/shell/QelMon.exe
if [ -n "${DISPLAY:-}" ]; then
  exec bash scripts/wine-session.sh "$WINE_TREE" bash -c '"$WINE" "$1"' _ "$exe"
fi
shot=$PWD/$WINE_TREE/run-screenshot.png
exec bash scripts/wine-session.sh "$WINE_TREE" bash -c '
  "$WINE" "$1" & pid=$!
  sleep 6
  import -window root "$2"
  echo "screenshot: $2"
  echo "The monitor runs under Xvfb; Ctrl-C ends it."
  wait $pid' _ "$exe" "$shot"
