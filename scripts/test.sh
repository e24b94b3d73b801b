#!/usr/bin/env bash
# Sets up the machine, builds the trees and runs every test: native (sanitizers) and Windows (Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
source scripts/wine-tree.sh
# The product is the i686 program; its tests are built with it where they run, and left out where
# the x86_64 tree runs them instead.
tests=OFF
[ "$WINE_TREE" = build/win ] && tests=ON
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release -DQEL_TESTS=$tests >/dev/null
cmake --build build/win -j"$jobs"
[ "$WINE_TREE" = build/win ] || cmake --build "$WINE_TREE" -j"$jobs"

status=0
echo "== native tests =="
ctest --test-dir build/native --output-on-failure -j"$jobs" || status=1
echo "== Windows tests under Wine ($WINE_TREE) =="
bash scripts/wine-session.sh "$WINE_TREE" ctest --test-dir "$WINE_TREE" --output-on-failure || status=1
exit $status
