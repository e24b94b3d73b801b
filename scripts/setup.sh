#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12, as root. Safe to run again.
set -euo pipefail
need=(g++ cmake googletest g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine32:i386 wine64
      xvfb xauth pulseaudio pulseaudio-utils libz-mingw-w64-dev zlib1g-dev imagemagick x11-apps xdotool fonts-wqy-microhei
      ccache)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi
