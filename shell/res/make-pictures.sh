#!/usr/bin/env bash
# Draws the monitor's pictures: the application icon (a mouse on an orange tile) at every size
# the tray and Explorer use, packed into QelMon.ico, and the About panel's pictures (background,
# web button, OK button in its three states) as PNG files the program embeds. Run by hand when a
# picture changes; what it makes is kept in the repository.
set -euo pipefail
cd "$(dirname "$0")"
im=/usr/bin/convert
orange='#FF7A00'
# PNG files without time stamps, so that drawing again changes no byte; truecolour, as the
# program's decoder takes it.
png() { "$im" "$1" -define png:exclude-chunks=date,time,bKGD -define png:bit-depth=8 "$2"; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

# mouse_tile SIZE OUT: the icon's drawing, made at 480 pixels and scaled down.
mouse_tile() {
  "$im" -size 480x480 xc:none \
    -fill "$orange" -draw 'roundrectangle 0,0 479,479 96,96' \
    -fill white -draw 'roundrectangle 140,60 340,420 100,100' \
    -stroke "$orange" -strokewidth 22 -draw 'line 240,60 240,200' -draw 'line 140,200 340,200' \
    -stroke none -fill "$orange" -draw 'roundrectangle 222,100 258,170 18,18' \
    -resize "$1x$1" "$2"
}

for s in 16 20 24 32 48; do mouse_tile "$s" "$tmp/$s.png"; done
"$im" "$tmp"/16.png "$tmp"/20.png "$tmp"/24.png "$tmp"/32.png "$tmp"/48.png QelMon.ico

# The microphone at 480 pixels, centred on (X, Y) with a height of about 2 * R: a capsule, its
# U-shaped holder, the stem and the foot. Sets mic to the draw arguments.
microphone() { # X Y R COLOUR
  local x=$1 y=$2 r=$3 c=$4 w=$(($3 * 2 / 5)) t=$(($3 / 7 + 1))
  mic=(-fill "$c" -stroke none
    -draw "roundrectangle $((x - w / 2)),$((y - r)) $((x + w / 2)),$((y + r / 4)) $((w / 2)),$((w / 2))"
    -fill none -stroke "$c" -strokewidth "$t"
    -draw "arc $((x - w)),$((y - r * 3 / 5)) $((x + w)),$((y + r / 2)) 0,180"
    -draw "line $x,$((y + r / 2)) $x,$((y + r * 4 / 5))"
    -draw "line $((x - w * 3 / 4)),$((y + r * 4 / 5)) $((x + w * 3 / 4)),$((y + r * 4 / 5))")
}
red='#E01020'

# The tray icon while the microphone is muted: the same tile with a red badge at the bottom
# right, a white microphone struck through on it, readable down to 16 pixels.
muted_tile() {
  microphone 335 335 100 white
  "$im" -size 480x480 xc:none \
    -fill "$orange" -draw 'roundrectangle 0,0 479,479 96,96' \
    -fill white -draw 'roundrectangle 140,60 340,420 100,100' \
    -stroke "$orange" -strokewidth 22 -draw 'line 240,60 240,200' -draw 'line 140,200 340,200' \
    -stroke none -fill "$orange" -draw 'roundrectangle 222,100 258,170 18,18' \
    -fill white -draw 'circle 335,335 335,155' -fill "$red" -draw 'circle 335,335 335,175' \
    "${mic[@]}" \
    -stroke white -strokewidth 30 -draw 'line 245,245 425,425' \
    -resize "$1x$1" "$2"
}
for s in 16 20 24 32 48; do muted_tile "$s" "$tmp/muted-$s.png"; done
"$im" "$tmp"/muted-16.png "$tmp"/muted-20.png "$tmp"/muted-24.png "$tmp"/muted-32.png "$tmp"/muted-48.png \
  QelMonMuted.ico

# The background: a dark window with an orange title band carrying the icon, the content area
# (425 x 223 at 43,100) a flat panel with an orange rule on its left, no alpha.
mouse_tile 48 "$tmp/logo.png"
"$im" -size 504x400 gradient:'#2E2E2E-#121212' \
  -fill "$orange" -draw 'rectangle 0,0 503,71' \
  -fill '#C25800' -draw 'rectangle 0,72 503,74' \
  -fill '#1E1E1E' -draw 'rectangle 43,100 467,322' \
  -fill "$orange" -draw 'rectangle 43,100 45,322' \
  "$tmp/logo.png" -geometry +20+12 -composite \
  -font DejaVu-Sans-Bold -pointsize 22 -fill white -annotate +84+36 'QEL Skirmisher HV730' \
  -font DejaVu-Sans -pointsize 13 -fill '#2A1400' -annotate +85+58 'Gaming Mouse Monitor' \
  -alpha off "PNG24:$tmp/background.png"
png "$tmp/background.png" PNG24:AboutBackground.png

# The web button: an orange rounded tile with a white arrow, its corners transparent.
"$im" -size 64x24 xc:none -fill "$orange" -draw 'roundrectangle 0,0 63,23 6,6' \
  -fill white -draw 'polygon 26,6 40,12 26,18' \
  "PNG32:$tmp/web.png"
png "$tmp/web.png" PNG32:AboutGoWeb.png

# The OK button, 94 x 27: dark with an orange border, orange when the pointer is over it, dark
# orange while pressed.
ok_button() { # FILL BORDER OUT
  "$im" -size 94x27 xc:none -fill "$1" -stroke "$2" -strokewidth 2 -draw 'roundrectangle 1,1 92,25 6,6' \
    "PNG32:$tmp/ok.png"
  png "$tmp/ok.png" "PNG32:$3"
}
ok_button '#3A3A3A' "$orange" AboutOkNormal.png
ok_button "$orange" '#FFB060' AboutOkHot.png
ok_button '#C25800' "$orange" AboutOkPressed.png

# The on-screen indicator after a press, 96 x 96 with per-pixel alpha: a dark rounded tile with a
# white microphone, an orange ring when it is live, struck through in red when it is muted.
indicator() { # live|muted OUT
  microphone 240 240 150 white
  local mark=(-fill none -stroke "$orange" -strokewidth 24 -draw 'circle 240,240 240,60')
  [ "$1" = muted ] && mark=(-stroke '#202020' -strokewidth 64 -draw 'line 110,110 370,370'
    -stroke "$red" -strokewidth 36 -draw 'line 110,110 370,370')
  "$im" -size 480x480 xc:none -fill '#202020E0' -draw 'roundrectangle 0,0 479,479 90,90' \
    "${mic[@]}" "${mark[@]}" -resize 96x96 "PNG32:$tmp/indicator.png"
  png "$tmp/indicator.png" "PNG32:$2"
}
indicator live IndicatorLive.png
indicator muted IndicatorMuted.png
