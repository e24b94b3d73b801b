#!/usr/bin/env bash
# package_scenarios.sh SCENARIO BUILD_DIR PACKAGE_DIR ...: the release package of a Windows build
# tree, as a user gets it.
#   make                        CPack makes the tree's package into PACKAGE_DIR from the built tree
#   contents SOURCE_DIR TOOLS   unpacks it into a fresh folder outside the build tree and checks the
#                               file list, the programs (architecture of the tree, GUI, no symbols
#                               or debug sections, only system DLLs, version resource, manifest),
#                               the texts and the settings file; TOOLS is the binutils prefix
#   run SOURCE_DIR APP_DIR      where this machine runs the tree's programs: unpacks it into a
#                               fresh folder and runs the packaged QelMon.exe from there in a fresh
#                               prefix and display (the tray scenario "packaged"); APP_DIR holds
#                               the shell's probe and the configuration program's double
source "$(dirname "$0")/../../scripts/strict-mode.sh"
scenario=$1 build=$2 packages=$3
shift 3
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
system=$(sed -n 's/^set(CPACK_SYSTEM_NAME "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
zip=$packages/QelMon-$version-$system.zip
folder=QelMon-$version
fail() { echo "FAIL: $*"; exit 1; }

fresh=
unpack() { # unpacks the package into a fresh folder outside the build tree: $fresh/$folder
  [ -f "$zip" ] || fail "no package $zip"
  fresh=$(mktemp -d /tmp/qelmon-package.XXXXXX)
  trap 'rm -rf "$fresh"' EXIT
  (cd "$fresh" && cmake -E tar xf "$zip")
}

case $scenario in
make)
  rm -rf "$packages"
  cpack --config "$build/CPackConfig.cmake" -B "$packages" >"$build/cpack.log" 2>&1 || { cat "$build/cpack.log"; fail "cpack failed"; }
  [ -f "$zip" ] || fail "cpack made no $zip"
  ls -l "$zip"
  ;;
contents)
  source_dir=$1 tools=$2
  unpack
  app=$fresh/$folder
  listed=$(cd "$fresh" && find . -mindepth 1 | sort | tr '\n' ' ')
  want="./$folder ./$folder/LICENSE ./$folder/QelLangEdit.exe ./$folder/QelMon.exe ./$folder/README.txt ./$folder/config.ini ./$folder/ui.local ./$folder/uiHook.dll "
  [ "$listed" = "$want" ] || fail "the package holds: $listed"

  if [ "$system" = win64 ]; then format=pei-x86-64; else format=pei-i386; fi
  IFS=. read -r major minor patch <<<"$version"
  for program in QelMon.exe QelLangEdit.exe uiHook.dll; do
    file=$app/$program
    "${tools}objdump" -f "$file" | grep -q "file format $format" || fail "$program is not $format"
    ! "${tools}objdump" -f "$file" | grep -q HAS_SYMS || fail "$program has a symbol table"
    sections=$("${tools}objdump" -h "$file" | awk '$2 ~ /^\./ { print $2 }' | tr '\n' ' ')
    case " $sections" in *" .debug"* | *" .stab"*) fail "$program has debug sections: $sections" ;; esac
    headers=$("${tools}objdump" -p "$file")
    dlls=$(grep 'DLL Name:' <<<"$headers" | awk '{ print $3 }' | tr '\n' ' ')
    for dll in $dlls; do
      case ${dll,,} in
      kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | ole32.dll | msvcrt.dll | winmm.dll | \
        comctl32.dll | comdlg32.dll) ;;
      *) fail "$program needs $dll, which is not part of Windows" ;;
      esac
    done
    resources=$("${tools}windres" -i "$file" -O rc 2>&1) || fail "$program: no resources ($resources)"
    grep -q "FILEVERSION $major, $minor, $patch, 0" <<<"$resources" || fail "$program: no file version $version"
    for value in "FileVersion\", \"$version\"" "ProductVersion\", \"$version\"" \
      "ProductName\", \"QEL Skirmisher HV730 Gaming Mouse Monitor\"" "OriginalFilename\", \"$program\""; do
      grep -qF "VALUE \"$value" <<<"$resources" || fail "$program: no version value $value"
    done
    if [ "$program" != uiHook.dll ]; then
      grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "$program is not a GUI program"
      # The manifest, from its resource's text.
      manifest=$(sed -n '/^1 24 /,/^END/p' <<<"$resources" | sed 's/^ *"//; s/\\n"$//; s/"$//; s/""/"/g')
      for part in 'requestedExecutionLevel level="asInvoker"' 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
        '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">false</dpiAware>' \
        '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>'; do
        grep -qF "$part" <<<"$manifest" || fail "$program: the manifest lacks $part"
      done
    fi
  done
  resources=$("${tools}windres" -i "$app/QelMon.exe" -O rc)
  for resource in '^1 14 ' '^"ABOUT_BACKGROUND" RCDATA' '^"ABOUT_OK_PRESSED" RCDATA'; do
    grep -q "$resource" <<<"$resources" || fail "QelMon.exe lacks the resource $resource"
  done

  # Texts for Windows: CR LF at every line end; the licence is the repository's.
  for text in README.txt LICENSE; do
    lines=$(wc -l <"$app/$text")
    crlf=$(grep -c $'\r$' "$app/$text" || true)
    [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] || fail "$text: $crlf of $lines lines end with CR LF"
  done
  tr -d '\r' <"$app/LICENSE" | cmp -s - "$source_dir/LICENSE" || fail "LICENSE is not the repository's"
  head -1 "$app/LICENSE" | grep -q '^MIT License' || fail "LICENSE is not the MIT licence"
  grep -q "^QEL Skirmisher HV730 Gaming Mouse Monitor $version" "$app/README.txt" || fail "README.txt names no version $version"
  cmp -s "$app/ui.local" "$build/shell/ui.local" || fail "ui.local is not the one the build makes"

  # The settings: UTF-16LE with its byte-order mark, every section the monitor reads, the device
  # list empty.
  [ "$(head -c 2 "$app/config.ini" | od -An -tx1 | tr -d ' ')" = fffe ] || fail "config.ini has no UTF-16LE byte-order mark"
  settings=$(iconv -f UTF-16 -t UTF-8 "$app/config.ini" | tr -d '\r')
  for section in IncludeHIDDeviceList options OtherConfig MuteFeedback HelpFiles; do
    grep -qx "\[$section\]" <<<"$settings" || fail "config.ini has no section $section"
  done
  devices=$(sed -n '/^\[IncludeHIDDeviceList\]$/,/^\[/p' <<<"$settings" | grep -v '^;' | grep -c '=' || true)
  [ "$devices" = 0 ] || fail "config.ini lists devices"
  echo "package $zip: $(cd "$app" && stat -c '%n %s' QelMon.exe uiHook.dll QelLangEdit.exe | tr '\n' ' ')"
  ;;
run)
  source_dir=$1 probes=$2
  # The i686 tree's programs run under 32-bit Wine only.
  if [ "$system" = win32 ] && ! /lib/ld-linux.so.2 --help >/dev/null 2>&1; then
    echo "SKIPPED: this machine runs no 32-bit code, so the packaged 32-bit QelMon.exe was not run from its folder;"
    echo "the x86_64 tree's package scenario runs its own package's QelMon.exe instead."
    exit 77
  fi
  unpack
  app=$fresh/$folder
  # Beside it, as a user may put the configuration program (here its double) and the probe that
  # looks at the desktop.
  cp "$probes/ShellProbe.exe" "$probes/QelCfg.exe" "$app/"
  # A session of its own: a fresh prefix, display and sound server, with the tree's Wine.
  mkdir -p "$fresh/session"
  { echo "source '$build/wine-env.sh'"; echo "export WINEPREFIX='$fresh/session/wineprefix'"; } >"$fresh/session/wine-env.sh"
  artifacts=$build/release/tests/artifacts
  env -u DISPLAY bash "$source_dir/scripts/wine-session.sh" "$fresh/session" \
    bash "$source_dir/shell/tests/tray_scenarios.sh" packaged "$app" "$artifacts"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
