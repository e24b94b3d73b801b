#!/usr/bin/env bash
# Draws the application icon (a mouse on an orange tile) at every size the tray and Explorer
# use, and packs them into QelMon.ico. Run by hand when the picture changes; the .ico is kept.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
for s in 16 20 24 32 48; do
  /usr/bin/convert -size 480x480 xc:none \
    -fill '#FF7A00' -draw 'roundrectangle 0,0 479,479 96,96' \
    -fill white -draw 'roundrectangle 140,60 340,420 100,100' \
    -stroke '#FF7A00' -strokewidth 22 -draw 'line 240,60 240,200' -draw 'line 140,200 340,200' \
    -stroke none -fill '#FF7A00' -draw 'roundrectangle 222,100 258,170 18,18' \
    -resize ${s}x${s} "$tmp/$s.png"
done
/usr/bin/convert "$tmp"/16.png "$tmp"/20.png "$tmp"/24.png "$tmp"/32.png "$tmp"/48.png QelMon.ico
