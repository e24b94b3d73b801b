#!/usr/bin/env bash
# Sets up the machine, builds the trees and runs every test: native (sanitizers) and Windows (Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
# Compiles are cached by their content, with paths taken from the checkout's root, so that a
# fresh clone on the same machine builds only what changed.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1

cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
source scripts/wine-tree.sh
# The product is the i686 program; its tests are built with it where they run, and left out where
# the x86_64 tree runs them instead.
tests=OFF
[ "$WINE_TREE" = build/win ] && tests=ON
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release -DQEL_TESTS=$tests -DQEL_PACKAGE_TESTS=ON >/dev/null
cmake --build build/win -j"$jobs"
[ "$WINE_TREE" = build/win ] || cmake --build "$WINE_TREE" -j"$jobs"

status=0
echo "== native tests =="
ctest --test-dir build/native --output-on-failure -j"$jobs" || status=1
echo "== Windows tests under Wine ($WINE_TREE) =="
failed=$WINE_TREE/Testing/Temporary/LastTestsFailed.log
rm -f "$failed"
reruns=()
if ! bash scripts/wine-session.sh "$WINE_TREE" ctest --test-dir "$WINE_TREE" --output-on-failure; then
  # Wine's loader very rarely dies while a process of the test starts, with glibc's message below
  # in the test's output; such a test, and no other, runs once more.
  [ -f "$failed" ] || status=1
  while IFS=: read -r _ name; do
    if awk -v start="Testing: $name" -v end="\"$name\" end time:" '
         substr($0, length($0) - length(start) + 1) == start { inside = 1 }
         inside && index($0, "Inconsistency detected by ld.so: dl-fini.c") { found = 1 }
         inside && index($0, end) == 1 { exit }
         END { exit !found }' "$WINE_TREE/Testing/Temporary/LastTest.log"; then
      reruns+=("$name")
    else
      status=1
    fi
  done < <(cat "$failed" 2>/dev/null)
  if ((${#reruns[@]})); then
    names=$(printf '%s\n' "${reruns[@]}" | sed 's/[][\\.*^$+?(){}|]/\\&/g' | paste -sd'|')
    echo "== run again, Wine's loader died in them: ${reruns[*]} =="
    bash scripts/wine-session.sh "$WINE_TREE" ctest --test-dir "$WINE_TREE" --output-on-failure -R "^($names)\$" || status=1
  fi
fi
for name in "${reruns[@]}"; do echo "run again after Wine's loader died in it: $name"; done

# The product's own package where the Windows tests ran from the x86_64 tree: its files and
# programs are checked; its run is skipped, and says why.
if [ "$WINE_TREE" != build/win ]; then
  echo "== the package of the i686 product (build/win) =="
  # Only the package's folder of the tree: the tree's other tests would need 32-bit Wine to be listed.
  ctest --test-dir build/win/release -R '^package\.' --output-on-failure || status=1
  grep -h -A1 '^SKIPPED' build/win/release/Testing/Temporary/LastTest.log || true
fi
exit $status
