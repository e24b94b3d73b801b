#!/usr/bin/env bash
# about_scenarios.sh SCENARIO APP_DIR ARTIFACT_DIR: the About panel of the main window, shown by
# About1Click in AboutShow.exe, looked at in screenshots and driven with the mouse (xdotool).
# Runs inside scripts/wine-session.sh, which provides the display and "$WINE".
source "$(dirname "$0")/../../scripts/strict-mode.sh"
scenario=$1 app=$2 artifacts=$3
mkdir -p "$artifacts"
app=$(cd "$app" && pwd) artifacts=$(cd "$artifacts" && pwd)
out=$artifacts/about-$scenario.txt
log=$app/QelCfg.log
rm -f "$log"

probe() { "$WINE" "$app/ShellProbe.exe" "$@" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAIL: $*"; exit 1; }

pid=
cleanup() {
  probe close TQelMonMain >/dev/null || true
  [ -n "$pid" ] && { kill "$pid" 2>/dev/null || true; }
  "$WINE" taskkill /f /im QelCfg.exe >/dev/null 2>&1 || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

# Shows the panel and reads where it lies: wx wy (the window on the screen), the labels' lines
# and the buttons' boxes (window pixels) ok_box and web_box as "L T R B".
show_about() {
  # A description left from an earlier run would be read before the new one replaces it.
  rm -f "$out"
  # The pointer away from the panel: an earlier scenario may have left it where OK shows.
  xdotool mousemove 1 1
  (cd /tmp && exec "$WINE" "$app/AboutShow.exe" "$@" >"$out" 2>/dev/null) &
  pid=$!
  for _ in $(seq 1 200); do grep -q '^button BtnOK' "$out" 2>/dev/null && break; sleep 0.1; done
  grep -q '^button BtnOK' "$out" || fail "the About panel did not show"
  read -r _ wx wy < <(grep '^window' "$out" | tr -d '\r')
  ok_box=$(grep '^button BtnOK ' "$out" | tr -d '\r' | cut -d' ' -f3-)
  web_box=$(grep '^button BtnGoWeb ' "$out" | tr -d '\r' | cut -d' ' -f3-)
  sleep 1
}
shot() { import -window root "$artifacts/$1.png"; }
# pixel SHOT X Y: the colour at window pixel (X, Y) of a screenshot, as RRGGBB.
pixel() {
  /usr/bin/convert "$artifacts/$1.png" -format '%[hex:p{'$((wx + $2))','$((wy + $3))'}]' info: | cut -c1-6
}
# count SHOT L T R B RRGGBB: how many pixels of that colour lie in the window's box.
count() {
  /usr/bin/convert "$artifacts/$1.png" -crop "$(($4 - $2))x$(($5 - $3))+$((wx + $2))+$((wy + $3))" +repage \
    -fill black +opaque "#$6" -fill white -opaque "#$6" -format '%[fx:round(mean*w*h)]' info:
}
visible() { probe state QEL_MONITOR_EX | cut -d' ' -f1; }
# Where the OK button is probed: on its fill, clear of its caption and border.
ok_point() { read -r l t _ _ <<<"$ok_box"; echo $((wx + l + 10)) $((wy + t + 13)); }
# expect_ok NAME RRGGBB: the OK button comes to show that picture within 10 s (the screenshot
# that shows it kept as NAME).
expect_ok() {
  read -r l t _ _ <<<"$ok_box"
  local got
  for _ in $(seq 1 40); do
    sleep 0.25
    shot "$1"
    got=$(pixel "$1" $((l + 10)) $((t + 13)))
    [ "$got" = "$2" ] && return 0
  done
  fail "OK button $1: #$got where #$2 was expected"
}
# wait_hidden WHY: the panel is hidden within 10 s.
wait_hidden() {
  for _ in $(seq 1 40); do
    sleep 0.25
    [ "$(visible)" = visible=0 ] && return 0
  done
  fail "$1"
}

normal=3A3A3A hot=FF7A00 pressed=C25800

case $scenario in
layout)
  show_about
  shot about-panel
  [ "$(visible)" = visible=1 ] || fail "the window is not visible"
  # The background picture fills the window: its title band at the top right, its content area.
  [ "$(pixel about-panel 500 4)" = FF7A00 ] || fail "no background picture at the top right"
  [ "$(pixel about-panel 466 320)" = 1E1E1E ] || fail "no content area at its bottom right"
  # Each text inside the content area (425 x 223 at 43, 100), below the one before, drawn in its
  # colour within its box: headings, version lines, the web site in white.
  prev=0 n=0
  while read -r _ colour l t r b; do
    n=$((n + 1))
    { [ "$l" -ge 43 ] && [ "$r" -le 468 ] && [ "$t" -ge 100 ] && [ "$b" -le 323 ]; } ||
      fail "text $n ($l $t $r $b) is not inside the content area"
    [ "$t" -ge "$prev" ] || fail "text $n is above the one before"
    prev=$b
    drawn=$(count about-panel "$l" "$t" "$r" "$b" "$colour")
    [ "$drawn" -ge 15 ] || fail "text $n shows $drawn pixels of #$colour"
  done < <(grep '^label' "$out" | tr -d '\r')
  [ "$n" = 5 ] || fail "$n texts instead of 5"
  [ "$(grep '^label' "$out" | tail -1 | cut -d' ' -f2)" = FFFFFF ] || fail "TextWeb is not white"
  # The web button below the web site, inside the content area; OK at 208, 345, 94 x 27.
  read -r l t r b <<<"$web_box"
  { [ "$t" -ge "$prev" ] && [ "$b" -le 323 ] && [ "$l" -ge 43 ]; } || fail "BtnGoWeb at $web_box"
  [ "$(pixel about-panel $((l + 5)) $((t + 12)))" = FF7A00 ] || fail "BtnGoWeb's picture is not drawn"
  [ "$ok_box" = "208 345 302 372" ] || fail "BtnOK at $ok_box"
  [ "$(pixel about-panel 218 358)" = $normal ] || fail "BtnOK does not show its normal picture"
  # Its rounded corner lets the background through, blended.
  [ "$(pixel about-panel 208 345)" != $normal ] || fail "BtnOK's corner is not transparent"
  [ "$(count about-panel 240 350 272 368 FFFFFF)" -ge 10 ] || fail "no caption on BtnOK"
  /usr/bin/convert "$artifacts/about-panel.png" -crop "504x400+$wx+$wy" +repage "$artifacts/about-panel-window.png"
  echo "About panel: $artifacts/about-panel-window.png"
  ;;
ok_states)
  show_about
  read -r x y < <(ok_point)
  expect_ok ok-0-normal $normal
  xdotool mousemove "$x" "$y"
  expect_ok ok-1-hot $hot
  xdotool mousemove $((wx + 100)) $((wy + 380))
  expect_ok ok-2-left $normal
  xdotool mousemove "$x" "$y"
  expect_ok ok-3-hot-again $hot
  xdotool mousedown 1
  expect_ok ok-4-pressed $pressed
  # Held and moved off, the button lets go of its pressed look; back on, it takes it again.
  xdotool mousemove $((wx + 100)) $((wy + 380))
  expect_ok ok-5-held-off $normal
  [ "$(visible)" = visible=1 ] || fail "the window went away before the button came up"
  xdotool mousemove "$x" "$y"
  expect_ok ok-6-held-back $pressed
  xdotool mouseup 1
  wait_hidden "a click on OK did not hide the window"
  ;;
ok_release_elsewhere)
  show_about
  read -r x y < <(ok_point)
  xdotool mousemove "$x" "$y" mousedown 1
  expect_ok released-pressed $pressed
  xdotool mousemove $((wx + 100)) $((wy + 380)) mouseup 1
  sleep 1
  [ "$(visible)" = visible=1 ] || fail "released away from OK, the window was hidden"
  # Pressed elsewhere and released on OK is no click either.
  xdotool mousedown 1 mousemove "$x" "$y" mouseup 1
  sleep 1
  [ "$(visible)" = visible=1 ] || fail "a press that began elsewhere hid the window"
  xdotool click 1
  wait_hidden "a click on OK did not hide the window"
  ;;
go_web)
  # The web site address is the configuration program's double: the click opens it.
  show_about "$("$WINE" winepath -w "$app/QelCfg.exe" 2>/dev/null | tr -d '\r')"
  read -r l t _ _ <<<"$web_box"
  xdotool mousemove $((wx + l + 10)) $((wy + t + 12)) click 1
  for _ in $(seq 1 100); do [ -s "$log" ] && break; sleep 0.1; done
  tr -d '\r' <"$log" 2>/dev/null | grep -q '^start ' || fail "BtnGoWeb did not open TextWeb"
  [ "$(visible)" = visible=1 ] || fail "BtnGoWeb hid the window"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
