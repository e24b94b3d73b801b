#!/usr/bin/env bash
# langedit_scenarios.sh SCENARIO APP_DIR ARTIFACT_DIR SHIPPED_UI_LOCAL: the translator's program
# QelLangEdit.exe driven as a person would, with clicks and typing in Wine's desktop; the
# screenshots stay in ARTIFACT_DIR. Runs inside scripts/wine-session.sh, which provides the
# display and "$WINE".
source "$(dirname "$0")/../../scripts/strict-mode.sh"
scenario=$1 app=$2 artifacts=$3 shipped=$4
mkdir -p "$artifacts"

editor=TuiLanguageDesignForm
probe() { "$WINE" "$app/ShellProbe.exe" "$@" 2>/dev/null | tr -d '\r'; }
fail() { echo "FAIL: $*"; exit 1; }

pid=
cleanup() {
  probe close "$editor" >/dev/null || true
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

# A file's bytes as one line of hex digits, and an ASCII text as the UTF-16LE hex digits that
# language data holds it in.
file_hex() { od -An -tx1 -v "$1" | tr -d ' \n'; }
utf16_hex() { printf '%s' "$1" | od -An -tx1 -v | tr -d ' \n' | sed 's/../&00/g'; }
# The language data of a file as LangDump prints it (source, language and line items).
dump() { "$WINE" "$app/LangDump.exe" "Z:$1" 2>/dev/null | tr -d '\r'; }

start_editor() {
  (cd /tmp && exec "$WINE" "$app/QelLangEdit.exe") &
  pid=$!
  probe wait "$editor" 20000 || fail "the editor did not open"
  sleep 1
  read -r ox oy <<<"$(probe client-origin "$editor")"
}
# click_at X Y [REPEAT]: clicks the editor's client area at X Y.
click_at() {
  xdotool mousemove $((ox + $1)) $((oy + $2)) click --repeat "${3:-1}" --delay 80 1
  sleep 0.5
}
wait_editor_end() {
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  fail "the editor did not close"
}

# Places in the editor's client area (930 x 508): the first tab's caption, the translation
# cell of the grid's first row, the text box and the buttons of the bottom bar.
first_tab="40 42"
first_translation="430 64"
const_text="506 491"
add_const_text="715 491"
save_to_file="74 491"
TCM_GETITEMCOUNT=4868
LVM_GETITEMCOUNT=4100

case $scenario in
translate_and_save)
  cp "$shipped" "$app/ui.local"
  start_editor
  tabs=$(probe send "$editor" 106 $TCM_GETITEMCOUNT)
  [ "$tabs" = 3 ] || fail "$tabs tabs instead of the shipped file's 0409, 0804 and 0404"
  import -window root "$artifacts/editor-open.png"

  # The English tab: the first row's translation, typed over.
  click_at $first_tab
  click_at $first_translation 2
  xdotool key ctrl+a type --delay 30 "Two DPI modes"
  xdotool key Return
  # A new source text, typed and added.
  click_at $const_text
  xdotool type --delay 30 "Hello Translator"
  click_at $add_const_text
  rows=$(probe send "$editor" 107 $LVM_GETITEMCOUNT)
  [ "$rows" -gt 0 ] || fail "the grid shows no rows"
  import -window root "$artifacts/editor-edited.png"

  before=$(file_hex "$app/ui.local")
  dump "$app/ui.local" >"$artifacts/ui-local-before.txt"
  grep -q '^language' "$artifacts/ui-local-before.txt" || fail "the shipped ui.local could not be read"
  click_at $save_to_file
  wait_editor_end
  after=$(file_hex "$app/ui.local")
  [ "$after" != "$before" ] || fail "ui.local beside the program was not replaced"
  for text in "Two DPI modes" "Hello Translator" "Only 2 DPI Mode switching"; do
    grep -q "$(utf16_hex "$text")" <<<"$after" || fail "ui.local lacks \"$text\""
  done
  # The built-in languages stay the monitor's: no language named "CH" or "US" (a length of
  # two units, then the name) in the file.
  for name in CH US; do
    ! grep -q "02000000$(utf16_hex "$name")" <<<"$after" || fail "ui.local holds the built-in $name"
  done
  # What was saved, language by language and row by row: the languages at their places; every
  # source text has one line in each table, with the translation the grid showed: the typed one
  # in the English tab's first row, else the file's own, else the source text itself.
  dump "$app/ui.local" >"$artifacts/ui-local-after.txt"
  awk -F'\t' -v typed="Two DPI modes" '
    function split_line(text) { eq = index(text, "="); name = substr(text, 1, eq - 1); value = substr(text, eq + 1) }
    FNR == NR {
      if ($1 == "language") was[++languages] = $2
      if ($1 == "source") old_source[$2] = 1
      if ($1 == "line") { split_line($3); old[$2, name] = value }
      next
    }
    $1 == "language" { now[++saved] = $2 }
    $1 == "source" { source[++sources] = $2 }
    $1 == "line" {
      split_line($3)
      if (($2, name) in got) { print "two lines for \"" name "\" in " $2; bad = 1 }
      got[$2, name] = value
      lines[$2]++
    }
    END {
      if (saved != languages) { print saved " languages instead of " languages; bad = 1 }
      for (i = 1; i <= languages; i++) if (now[i] != was[i]) { print "language " i " is " now[i] ", was " was[i]; bad = 1 }
      for (s in old_source) if (!found_source(s)) { print "source text \"" s "\" is gone"; bad = 1 }
      for (i = 1; i <= saved; i++) {
        lang = now[i]
        if (lines[lang] != sources) { print lang " has " lines[lang] " lines for " sources " source texts"; bad = 1 }
        for (r = 1; r <= sources; r++) {
          s = source[r]
          want = s
          if ((lang, s) in old && old[lang, s] != "") want = old[lang, s]
          if (lang == "0409" && s ~ /^ *Only 2 DPI Mode switching$/) want = typed
          if (got[lang, s] != want) { print lang " \"" s "\": saved \"" got[lang, s] "\", shown \"" want "\""; bad = 1 }
        }
      }
      exit bad
    }
    function found_source(text,   r) { for (r = 1; r <= sources; r++) if (source[r] == text) return 1; return 0 }
  ' "$artifacts/ui-local-before.txt" "$artifacts/ui-local-after.txt" || fail "ui.local does not hold what the grids showed"
  grep -qxF "$(printf 'source\tHello Translator')" "$artifacts/ui-local-after.txt" || fail "the added source text is not saved"

  # Opened again, the editor shows the saved file's three languages.
  start_editor
  tabs=$(probe send "$editor" 106 $TCM_GETITEMCOUNT)
  [ "$tabs" = 3 ] || fail "$tabs tabs after the save"
  click_at $first_tab
  import -window root "$artifacts/editor-reopened.png"
  echo "editor screenshots: $artifacts/editor-open.png $artifacts/editor-edited.png $artifacts/editor-reopened.png"
  ;;
*)
  fail "unknown scenario $scenario"
  ;;
esac
echo "PASS: $scenario"
