#!/usr/bin/env bash
# Import and Export in the map editor with the real file dialogs: a new map file holds
# exactly [MAPS] and the map's section, a second map joins it, Import offers the file's maps
# in a drop-down and merges, a file without [MAPS] and a missing map give the information
# windows; a map of 2000 keys with a 1500-character value survives Copy, Export, Import and
# Rename byte for byte (and the time each takes is printed).
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"
e2e_setup

# The big map: 2000 key descriptors, one value of 1500 characters, blanks and backslashes
# encoded as the editor stores them.
long=$(for i in $(seq 1 120); do printf 'a\\sb\\\\{c}"%03d' "$i"; done | head -c 1500)
big_section() {
  local states=(N S C CS A AS CA CAS) i
  for ((i = 0; i < 2000; i++)); do
    if [ "$i" = 232 ]; then printf '30_N=%s\r\n' "$long"; else printf '%d_%s=v\\s%d\r\n' $((1 + i / 8)) "${states[i % 8]}" "$i"; fi
  done
}
INI=files.ini
{
  printf '[TESSEL32]\r\nAllocate=256\r\nMessageShowTime=0\r\nDoBeep=0\r\n[MAPS]\r\nGreek=\r\nC & D=\r\nBig=\r\n'
  printf '[Selectors]\r\n59_C=Greek\r\n61_C=Big\r\n[Greek]\r\n; a comment\r\n30_N=alpha\r\n31_N=beta\\sgamma\r\n'
  printf '[C & D]\r\n30_N=a-cyr\r\n40_N=own\r\n[Big]\r\n'
  big_section
} >"$E2E_DIR/$INI"
big_section | tr -d '\r' >"$TESSEL_E2E_WORK/big.expected"
[ "$(wc -l <"$TESSEL_E2E_WORK/big.expected")" = 2000 ] && grep -c "^30_N=.\{1500\}$" "$TESSEL_E2E_WORK/big.expected" >/dev/null ||
  fail "the big map was not generated"

# No 2 s wait after each dialog, which would hide the commands' own time.
unmanaged_windows
start_front_end "/I:C:\\tessel\\$INI" /M:Greek
open_editor

# Export into a new file: [MAPS] with the map and the map's section, nothing else.
map_menu Export
file_dialog "$EXPORT_DIALOG" out Save \
  "droplist 3 0|Map files (*.key)|Ini files (*.ini)|Text files (*.txt)"
expect_prompt 'Tessel+ : Exporting Greek'
[ "$(prompt_text)" = "$(printf 'Specify a name for the exported map\n(if it exists the maps will be merged)')" ] ||
  fail "Export prompt: $(prompt_text)"
[ "$(answer)" = Greek ] || fail "Export starts with [$(answer)]"
answer_with Greek Ok
wait_until 10 test -f "$E2E_DIR/out.key" || fail "no out.key"
wait_until 10 no_prompt || fail "the Export prompt stayed"
[ "$(cat "$E2E_DIR/out.key")" = "$(printf '[MAPS]\r\nGreek=\r\n[Greek]\r\n30_N=alpha\r\n31_N=beta\\sgamma\r')" ] ||
  fail "out.key after one export: $(od -c "$E2E_DIR/out.key" | head)"

# A second map into the same file, under a name typed after a refused one; the caption
# shows the map's "&" once.
click_map 'C & D'
map_menu Export
file_dialog "$EXPORT_DIALOG" out.key Save
expect_prompt 'Tessel+ : Exporting C & D'
refused 'sixteen-chars-xx' "Not valid mapname"
answer_with Second Ok
wait_until 10 eval 'section out.key Second | grep -q own' || fail "Second was not exported"
[ "$(tr -d '\r' <"$E2E_DIR/out.key" | paste -sd'|')" = "[MAPS]|Greek=|Second=|[Greek]|30_N=alpha|31_N=beta\\sgamma|[Second]|30_N=a-cyr|40_N=own" ] ||
  fail "out.key with two maps: $(cat "$E2E_DIR/out.key")"

# Import offers the file's maps, the first one first, and merges into an existing map:
# Greek keeps 31_N and its comment, takes Second's 30_N and gains 40_N; selectors stay.
map_menu Import
file_dialog "$IMPORT_DIALOG" out.key Open \
  "droplist 4 0|Map files (*.key)|Ini files (*.ini)|Text files (*.txt)|All files"
expect_prompt Tessel+
[ "$(prompt_text)" = "Select a map to import" ] || fail "Import prompt: $(prompt_text)"
[ "$(answer_field | paste -sd'|')" = "dropdown 2 0|Greek|Second" ] || fail "Import choices: $(answer_field)"
[ "$(answer)" = Greek ] || fail "Import starts with [$(answer)]"
e2e_screenshot map_import_choice
answer_with Second Ok
expect_prompt Tessel+
[ "$(prompt_text)" = "$(printf 'Specify a name for the imported map\n(if it exists the maps will be merged)')" ] ||
  fail "Import name prompt: $(prompt_text)"
[ "$(answer)" = Second ] || fail "the import name starts with [$(answer)]"
refused '   ' "Not valid mapname"
refused 'x\sy' "Not valid mapname"
answer_with Greek Ok
wait_until 10 no_prompt || fail "the Import prompt stayed"
wait_until 10 eval '[ "$(section $INI Greek | paste -sd"|")" = "; a comment|30_N=a-cyr|31_N=beta\\sgamma|40_N=own" ]' ||
  fail "[Greek] after Import: $(section $INI Greek)"
[ "$(section $INI Selectors | paste -sd'|')" = "59_C=Greek|61_C=Big" ] || fail "[Selectors] after Import: $(section $INI Selectors)"
[ -z "$(selected_entry)" ] || fail "an entry is selected after Import: $(selected_entry)"

# A file that does not exist (so has no [MAPS]): the message, an empty answer, and "Map does
# not exist" for the typed name; nothing is written.
# The information window draws its text itself: its height tells one line from two, and a
# screenshot shows the text.
info_height() { local l t r b; IFS=, read -r l t r b <<<"$1"; echo $(( b - t )); }
expect_information() {  # expect_information SHOT: waits for the window and for it to go
  wait_until 10 info_window_shown || fail "no information window for $1"
  INFO_RECT=$(info_rect)
  sleep 0.5  # the text is drawn a moment after the window shows
  e2e_screenshot "$1"
  wait_until 10 eval '! info_window_shown' || fail "the information window stayed"
}
before=$(md5sum <"$E2E_DIR/$INI")
map_menu Import
file_dialog "$IMPORT_DIALOG" 'C:\tessel\missing.key' Open
expect_information info_no_map_list
two_lines=$(info_height "$INFO_RECT")
expect_prompt Tessel+
[ "$(answer_field)" = "simple 0 -1" ] && [ "$(answer)" = "" ] || fail "the answer should start empty: $(answer_field)"
answer_with Solo Ok
expect_information info_no_such_map
[ "$two_lines" -gt $(( $(info_height "$INFO_RECT") + 5 )) ] || fail "the missing map list is not told in two lines"
no_prompt || fail "a prompt followed a missing map"
[ "$(md5sum <"$E2E_DIR/$INI")" = "$before" ] || fail "importing a missing map changed the file"
# A file without [MAPS] whose section is named by hand.
printf '[Solo]\r\n30_N=solo\r\n' >"$E2E_DIR/nomaps.key"
map_menu Import
file_dialog "$IMPORT_DIALOG" nomaps.key Open
expect_information info_no_map_list_2
expect_prompt Tessel+
answer_with Solo Ok
expect_prompt Tessel+
answer_with Solo Ok
wait_until 10 eval 'section $INI Solo | grep -qx "30_N=solo"' || fail "Solo was not imported: $(section $INI Solo)"
section $INI MAPS | grep -qx 'Solo=' || fail "Solo is not in [MAPS]"

# The big map travels whole. Figures: from pressing Ok until the file holds the whole map,
# and until the editor answers again; a win_tool call alone costs the figure given last.
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
big_is() { [ "$(section "$1" "$2" | md5sum)" = "$(md5sum <"$TESSEL_E2E_WORK/big.expected")" ]; }
renamed() { big_is $INI Huge && ! grep -q '^\[Big\]' "$E2E_DIR/$INI"; }
timed_ok() {  # timed_ok LABEL NAME CHECK...: Ok with NAME; CHECK tells when the file is written
  local label=$1 name=$2 title start written answered
  shift 2
  title=$(prompt_title)
  W settext "$title" 104 "$name" >/dev/null
  start=$(now_ms)
  click "$title" Ok
  wait_until 60 "$@" || fail "$label: the file does not hold the whole map"
  written=$(now_ms)
  items $MAP_LIST >/dev/null
  answered=$(now_ms)
  echo "figure: $label of 2000 keys: written after $((written - start)) ms, editor answering after $((answered - start)) ms"
}
click_map Big
map_menu Copy
expect_prompt Tessel+
timed_ok Copy BigCopy big_is $INI BigCopy
map_menu Export
file_dialog "$EXPORT_DIALOG" big Save
expect_prompt 'Tessel+ : Exporting Big'
timed_ok Export Big big_is big.key Big
map_menu Import
file_dialog "$IMPORT_DIALOG" big.key Open
expect_prompt Tessel+
answer_with Big Ok
expect_prompt Tessel+
timed_ok Import Imported big_is $INI Imported
map_menu Rename
expect_prompt Tessel+
timed_ok Rename Huge renamed
[ "$(section $INI Selectors | paste -sd'|')" = "59_C=Greek|61_C=Huge" ] || fail "[Selectors] after Rename: $(section $INI Selectors)"
start=$(now_ms); W list >/dev/null; echo "figure: one win_tool call: $(( $(now_ms) - start )) ms"

# A map file that cannot be written: the error names it, and nothing is written.
printf '[MAPS]\r\n' >"$E2E_DIR/locked.key"
at_exit 'chattr -i "$E2E_DIR/locked.key" 2>/dev/null' 
chattr +i "$E2E_DIR/locked.key" || fail "chattr +i is needed for this test"
click_map Greek
map_menu Export
file_dialog "$EXPORT_DIALOG" locked.key Save
expect_prompt 'Tessel+ : Exporting Greek'
answer_with Greek Ok
close_box 'Tessel+ : Error' 'Unable to write to C:\tessel\locked.key'
[ "$(cat "$E2E_DIR/locked.key")" = "$(printf '[MAPS]\r')" ] || fail "locked.key changed"
chattr -i "$E2E_DIR/locked.key"
echo PASS
