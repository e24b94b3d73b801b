# Sourced by test.sh and run.sh. 32-bit Wine needs a kernel that runs 32-bit code; where it does
# not (some virtual machines boot with ia32 emulation off), the same sources are built for x86_64
# and run under 64-bit Wine. Sets WINE_TREE to the build tree whose programs Wine can run here.
if /lib/ld-linux.so.2 --help >/dev/null 2>&1; then
  WINE_TREE=build/win
else
  WINE_TREE=build/win64
  echo "This kernel runs no 32-bit code: Windows programs run as an x86_64 build under 64-bit Wine."
  cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
