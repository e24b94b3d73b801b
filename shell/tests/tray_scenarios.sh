#!/usr/bin/env bash
# tray_scenarios.sh SCENARIO APP_DIR ARTIFACT_DIR: one scenario of the monitor with real processes
# in Wine's desktop with a taskbar, driven as a user would (clicks on the tray icon, the menu).
# Runs inside scripts/wine-session.sh, which provides the display and "$WINE".
source "$(dirname "$0")/../../scripts/strict-mode.sh"
scenario=$1 app=$2 artifacts=$3
mkdir -p "$artifacts"
log=$app/QelCfg.log
rm -f "$log"

probe() { "$WINE" "$app/ShellProbe.exe" "$@" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAIL: $*"; exit 1; }

pids=()
cleanup() {
  probe close TQelMonMain >/dev/null || true
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  # The double has no way out of its own; its window is ended here.
  "$WINE" taskkill /f /im QelCfg.exe >/dev/null 2>&1 || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

# The monitor runs with a current directory other than its own folder.
start_monitor() {
  (cd /tmp && exec "$WINE" "$app/QelMon.exe") &
  mon=$!
  pids+=("$mon")
  probe wait TQelMonMain 20000 || fail "no window of class TQelMonMain"
}
start_config() {
  (cd /tmp && exec "$WINE" "$app/QelCfg.exe" "$@") &
  pids+=("$!")
  probe wait TQelCfgMain 20000 || fail "the configuration program's double did not start"
}

# Where the icon's orange shows in the taskbar (the bottom 48 rows): "X Y", or nothing.
icon_position() {
  local shot=$artifacts/probe.png
  import -window root "$shot"
  /usr/bin/convert "$shot" -crop 1024x48+0+720 +repage txt:- 2>/dev/null |
    awk -F'[,:]' '/#FF7A00/ { print $1, $2 + 720; exit }'
}
wait_icon() { # wait_icon present|absent
  for _ in $(seq 1 40); do
    pos=$(icon_position)
    if [ "$1" = present ] && [ -n "$pos" ]; then return 0; fi
    if [ "$1" = absent ] && [ -z "$pos" ]; then return 0; fi
    sleep 0.25
  done
  return 1
}
click_icon() { # click_icon BUTTON
  wait_icon present || fail "the tray icon is not in the taskbar"
  read -r x y <<<"$pos"
  xdotool mousemove "$x" "$y" click "$1"
}
# open_menu: right-clicks the icon and sets menu_box to the menu's "W H X Y" on the screen: the
# white area above the taskbar. The pointer leaves the icon at once, as a user's would, so that
# the icon's hint does not cover the menu.
open_menu() {
  wait_icon present || fail "the tray icon is not in the taskbar"
  import -window root "$artifacts/tray-before-menu.png"
  click_icon 3
  xdotool mousemove 300 300
  read -r _ icon_y <<<"$pos"
  # The menu is drawn once two screenshots in a row show the same menu, box and content.
  local last= seen
  for _ in $(seq 1 40); do
    sleep 0.25
    import -window root "$artifacts/tray-menu.png"
    menu_box=$(/usr/bin/convert "$artifacts/tray-menu.png" -crop "1024x$((icon_y - 8))+0+0" +repage \
        -fill black +opaque white -format '%@' info: | tr 'x+' '  ')
    read -r mw mh mx my <<<"$menu_box"
    if [ "${mw:-0}" -gt 20 ] && [ "${mw:-0}" -lt 400 ] && [ "${mh:-0}" -gt 20 ]; then
      seen="$menu_box $(/usr/bin/convert "$artifacts/tray-menu.png" -crop "${mw}x${mh}+${mx}+${my}" +repage -format '%#' info:)"
      [ "$seen" = "$last" ] && return 0
      last=$seen
    fi
  done
  fail "no menu appeared (white box: $menu_box)"
}
exit_by_menu() {
  open_menu
  # The menu holds "Config" and "Exit": click the middle of the lower half.
  read -r mw mh mx my <<<"$menu_box"
  xdotool mousemove $((mx + mw / 2)) $((my + mh * 3 / 4)) click 1
}
wait_exit() { # wait_exit [CODE]: the monitor ends by itself, with CODE (0)
  local rc=0 want=${1:-0}
  for _ in $(seq 1 100); do kill -0 "$mon" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$mon" 2>/dev/null; then
    import -window root "$artifacts/$scenario-not-ended.png"
    fail "the monitor did not end; its windows: $(probe windows-of TQelMonMain | paste -sd';'); log: $(log_lines | paste -sd';')"
  fi
  wait "$mon" || rc=$?
  [ "$rc" -eq "$want" ] || fail "the monitor ended with code $rc"
}
log_lines() { tr -d '\r' <"$log" 2>/dev/null || true; }
count_lines() { log_lines | grep -c "$1" || true; }

case $scenario in
second_start)
  start_monitor
  rc=0
  timeout 20 "$WINE" "$app/QelMon.exe" || rc=$?
  [ "$rc" -eq 0 ] || fail "the second start ended with code $rc"
  [ "$(probe count TQelMonMain)" = 1 ] || fail "not exactly one window of class TQelMonMain"
  ;;
exit_with_config)
  start_config /hidden
  start_monitor
  exit_by_menu
  wait_exit
  sleep 0.5
  [ "$(count_lines '^msg ')" = 1 ] || fail "expected one message, log: $(cat "$log")"
  log_lines | grep -qx 'msg 7036 0 0' || fail "expected 7036 0 0, log: $(log_lines)"
  ;;
exit_alone)
  start_monitor
  exit_by_menu
  wait_exit
  ;;
no_hook_library)
  # The monitor alone in a folder, without uiHook.dll: the error box, then the monitor runs on.
  bare=$artifacts/no_hook_library
  rm -rf "$bare" && mkdir -p "$bare"
  cp "$app/QelMon.exe" "$bare/"
  (cd /tmp && exec "$WINE" "$bare/QelMon.exe") &
  mon=$!
  pids+=("$mon")
  probe wait '#32770' 20000 || fail "no error box"
  import -window root "$artifacts/no-hook-library-box.png"
  probe close '#32770'
  exit_by_menu
  wait_exit
  ;;
open_config)
  start_monitor
  click_icon 1
  for _ in $(seq 1 100); do [ -s "$log" ] && break; sleep 0.1; done
  folder=$("$WINE" winepath -w "$app" 2>/dev/null | tr -d '\r')
  log_lines | grep -qxF "start $folder" || fail "expected 'start $folder', log: $(log_lines)"
  ;;
empty_then_populated_registry)
  key='HKCU\software\software\QelHV730gmmouse'
  "$WINE" reg delete "$key" /f >/dev/null 2>&1 || true
  start_monitor
  for value in ProfileSettingGroup.pfd allsettings.pfd; do
    "$WINE" reg query "$key" /v "$value" >/dev/null 2>&1 || fail "the first start did not write $value"
  done
  probe close TQelMonMain
  wait_exit
  start_monitor
  probe close TQelMonMain
  wait_exit
  ;;
unreadable_profile_data)
  key='HKCU\software\software\QelHV730gmmouse'
  "$WINE" reg add "$key" /v allsettings.pfd /t REG_SZ /d broken /f >/dev/null 2>&1
  (cd /tmp && exec "$WINE" "$app/QelMon.exe") &
  mon=$!
  pids+=("$mon")
  probe wait '#32770' 20000 || fail "no message box"
  shown=$(probe dialog-text)
  "$WINE" reg delete "$key" /f >/dev/null 2>&1
  [ "$shown" = "Invalid data type for 'allsettings.pfd'" ] || fail "the message box says: $shown"
  probe press-ok
  wait_exit 1
  ;;
double_click)
  start_monitor
  wait_icon present || fail "the tray icon is not in the taskbar"
  read -r x y <<<"$pos"
  xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
  sleep 3
  [ "$(count_lines '^start ')" = 1 ] || fail "a double click started the configuration program $(count_lines '^start ') times"
  ;;
show_hidden_config)
  start_config /hidden
  start_monitor
  [ "$(probe state QEL_CONFIG_EX)" = "visible=0 foreground=0" ] || fail "the double is not hidden"
  click_icon 1
  sleep 1
  [ "$(probe state QEL_CONFIG_EX)" = "visible=1 foreground=1" ] || fail "not shown and brought forward: $(probe state QEL_CONFIG_EX)"
  [ "$(count_lines '^start ')" = 1 ] || fail "the configuration program was started again"
  ;;
tray_menu)
  start_monitor
  open_menu
  # Two items of the same height: about two text lines tall, not three.
  read -r _ mh _ _ <<<"$menu_box"
  [ "$mh" -lt 54 ] || fail "the menu is $mh pixels tall: more than two items"
  # A click elsewhere closes the menu.
  xdotool mousemove 300 300 click 1
  sleep 1
  import -window root "$artifacts/tray-after-menu.png"
  closed=$(/usr/bin/compare -metric AE "$artifacts/tray-before-menu.png" "$artifacts/tray-after-menu.png" null: 2>&1 || true)
  [ "${closed%% *}" -lt 50 ] 2>/dev/null || fail "the menu did not close on a click elsewhere ($closed pixels differ)"
  echo "menu screenshot: $artifacts/tray-menu.png"
  ;;
taskbar_created)
  start_monitor
  wait_icon present || fail "the tray icon is not in the taskbar"
  probe tray-remove TQelMonMain
  wait_icon absent || fail "the icon could not be removed for the test"
  probe taskbar-created
  wait_icon present || fail "the icon did not come back after TaskbarCreated"
  ;;
profile_changed)
  # The configuration program's 7035 with lParam 3: ProfileID becomes 3 (the key exists; the
  # monitor never creates it).
  key='HKCU\software\QelHV730gmmouse'
  "$WINE" reg add "$key" /f >/dev/null 2>&1
  "$WINE" reg delete "$key" /v ProfileID /f >/dev/null 2>&1 || true
  start_monitor
  "$WINE" "$app/QelCfg.exe" /send 7035 0 3 || fail "the double found no monitor"
  got=$("$WINE" reg query "$key" /v ProfileID 2>/dev/null | tr -d '\r' | awk '$1 == "ProfileID" { print $3 }')
  "$WINE" reg delete "$key" /f >/dev/null 2>&1
  [ "$got" = 0x3 ] || fail "ProfileID is '$got', expected 0x3"
  ;;
settings_changed)
  # The configuration program stores another language and sends 7037: the menu follows. Each
  # language's menu is kept as an artifact (indices of the shipped "ui.local": 0 English, 1
  # Simplified Chinese).
  start_monitor
  shots=()
  for language in 1:zh-CN 0:en; do
    "$WINE" "$app/QelCfg.exe" /set-language "${language%%:*}" || fail "the language could not be stored"
    "$WINE" "$app/QelCfg.exe" /send 7037 0 0 || fail "the double found no monitor"
    open_menu
    shot=$artifacts/tray-menu-${language#*:}.png
    cp "$artifacts/tray-menu.png" "$shot"
    shots+=("$shot")
    xdotool mousemove 300 300 click 1
    sleep 1
  done
  differ=$(/usr/bin/compare -metric AE "${shots[0]}" "${shots[1]}" null: 2>&1 || true)
  [ "${differ%% *}" -gt 100 ] 2>/dev/null || fail "the menu did not change with the language ($differ pixels differ)"
  ;;
shipped_languages)
  # The "ui.local" shipped beside the monitor holds English, Simplified and Traditional Chinese
  # first, so that a fresh start's language index (0, or 1 for a system language 0804, or 2
  # for 0404) names the system's own language. Each menu is kept as an artifact.
  key='HKCU\software\software\QelHV730gmmouse'
  shots=()
  for locale in en_US zh_CN zh_TW; do
    "$WINE" reg delete "$key" /f >/dev/null 2>&1 || true
    LC_ALL=$locale.UTF-8 start_monitor
    open_menu
    read -r mw mh mx my <<<"$menu_box"
    shot=$artifacts/shipped-menu-$locale.png
    /usr/bin/convert "$artifacts/tray-menu.png" -crop "${mw}x${mh}+${mx}+${my}" +repage "$shot"
    shots+=("$shot")
    xdotool mousemove 300 300 click 1
    sleep 1
    probe close TQelMonMain
    wait_exit
  done
  # differ A B: the two menus are not the same picture.
  differ() {
    [ "$(identify -format '%wx%h' "$1")" != "$(identify -format '%wx%h' "$2")" ] && return 0
    local d
    d=$(/usr/bin/compare -metric AE "$1" "$2" null: 2>&1 || true)
    [ "${d%% *}" -gt 100 ] 2>/dev/null
  }
  # English shows "Config" and "Exit", not the Chinese of the built-in "CH" (index 0 without
  # the file), and the two Chinese menus differ from it and from each other.
  differ "${shots[0]}" "${shots[1]}" || fail "the English and the Simplified Chinese menus are the same"
  differ "${shots[1]}" "${shots[2]}" || fail "the Simplified and the Traditional Chinese menus are the same"
  differ "${shots[0]}" "${shots[2]}" || fail "the English and the Traditional Chinese menus are the same"
  echo "menu screenshots: ${shots[*]}"
  ;;
packaged)
  # The monitor unpacked from the release package into a fresh prefix: it starts without an
  # error box (its hook library found), shows the English menu of the packaged "ui.local" and
  # ends through Exit. The menu is English when it is the picture of the built-in "US" (position
  # 4, behind the file's three languages) and not that of the built-in "CH" (position 3); without
  # the file there is neither position.
  menu_shot() { # menu_shot NAME: opens the menu and keeps its picture as packaged-menu-NAME.png
    open_menu
    read -r mw mh mx my <<<"$menu_box"
    /usr/bin/convert "$artifacts/tray-menu.png" -crop "${mw}x${mh}+${mx}+${my}" +repage \
      "$artifacts/packaged-menu-$1.png"
  }
  pixels_apart() { # pixels_apart A B: how many pixels of two menu pictures differ (all if sized apart)
    if [ "$(identify -format '%wx%h' "$1")" != "$(identify -format '%wx%h' "$2")" ]; then echo 1000000; return; fi
    local d
    d=$(/usr/bin/compare -metric AE "$1" "$2" null: 2>&1 || true)
    echo "${d%% *}"
  }
  LC_ALL=en_US.UTF-8 start_monitor
  [ "$(probe count '#32770')" = 0 ] || fail "an error box at start: $(probe dialog-text)"
  menu_shot fresh
  read -r mw mh mx my <<<"$menu_box"
  xdotool mousemove $((mx + mw / 2)) $((my + mh * 3 / 4)) click 1
  wait_exit
  for position in 4:us 3:ch; do
    "$WINE" "$app/QelCfg.exe" /set-language "${position%%:*}" || fail "the language could not be stored"
    LC_ALL=en_US.UTF-8 start_monitor
    menu_shot "${position#*:}"
    xdotool mousemove 300 300 click 1
    probe close TQelMonMain
    wait_exit
  done
  apart=$(pixels_apart "$artifacts/packaged-menu-fresh.png" "$artifacts/packaged-menu-us.png")
  [ "$apart" -le 20 ] 2>/dev/null || fail "the first menu is not the English one ($apart pixels differ)"
  apart=$(pixels_apart "$artifacts/packaged-menu-fresh.png" "$artifacts/packaged-menu-ch.png")
  [ "$apart" -gt 100 ] 2>/dev/null || fail "the English and the Chinese menus are the same ($apart pixels differ)"
  echo "menu screenshots: $artifacts/packaged-menu-{fresh,us,ch}.png"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
