#!/usr/bin/env bash
# Sets up the machine, builds the Windows program and runs it under Wine in Wine's desktop with a
# taskbar, where its tray icon shows. Without a display it runs under Xvfb, takes a screenshot
# after a few seconds and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win -j"$(nproc)" --target QelMon
exe=build/win/shell/QelMon.exe
if [ -n "${DISPLAY:-}" ]; then
  exec bash scripts/wine-session.sh build/win wine "$exe"
fi
shot=$PWD/build/win/run-screenshot.png
bash scripts/wine-session.sh build/win bash -c '
  wine "$1" & pid=$!
  sleep 6
  import -window root "$2"
  echo "screenshot: $2"
  wait $pid' _ "$exe" "$shot"
