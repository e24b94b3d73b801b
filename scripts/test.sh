#!/usr/bin/env bash
# Sets up the machine, builds the trees and runs every test: native (sanitizers) and Windows (Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)

configure() { cmake -S . -B "$1" "${@:2}" >/dev/null; }

configure build/native -DCMAKE_BUILD_TYPE=Debug
cmake --build build/native -j"$jobs"
# The product: always the i686 program, its tests built too.
configure build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build/win -j"$jobs"

# 32-bit Wine needs a kernel that runs 32-bit code; where it does not (some virtual machines boot
# with ia32 emulation off), the same sources are tested as an x86_64 build under 64-bit Wine.
wintests=build/win
if ! /lib/ld-linux.so.2 --help >/dev/null 2>&1; then
  echo "This kernel runs no 32-bit code: Windows tests run as an x86_64 build under 64-bit Wine."
  configure build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
  cmake --build build/win64 -j"$jobs"
  wintests=build/win64
fi

status=0
echo "== native tests =="
ctest --test-dir build/native --output-on-failure -j"$jobs" || status=1
echo "== Windows tests under Wine ($wintests) =="
bash scripts/wine-session.sh "$wintests" ctest --test-dir "$wintests" --output-on-failure || status=1
exit $status
