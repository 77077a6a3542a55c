#!/usr/bin/env bash
# The map menu's New, Copy, Delete and Rename in the map editor: prompts, name checks with
# the prompt coming back (backslashes and surrounding quotes refused too), merging copies,
# Delete's question, Rename moving the selector and the editor going on with the new name,
# and the faults these commands used to have (a stale entry deleted, reserved names, failed
# writes erasing maps).
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"
e2e_setup

INI=mapmgmt.ini
# An immutable settings file must not outlive the test: the next setup removes the folder.
at_exit 'chattr -i "$E2E_DIR/$INI" 2>/dev/null'
unmanaged_windows
start_front_end "/I:$(settings_file $INI)" /M:Greek
open_editor
[ "$(selected_entry)" = Greek ] || fail "the editor does not start on Greek: $(items $MAP_LIST)"

# New: an empty, plain answer field; bad and taken names come back; the trimmed name is
# appended to [MAPS] and the rebuilt list has no selection.
map_menu New
expect_prompt Tessel+
[ "$(prompt_text)" = "Specify a name for the new map" ] || fail "New prompt: $(prompt_text)"
[ "$(prompt_buttons)" = "<-Back|Ok" ] || fail "New buttons: $(prompt_buttons)"
[ "$(answer_field)" = "simple 0 -1" ] || fail "New answer field: $(answer_field)"
[ "$(answer)" = "" ] || fail "New starts with [$(answer)]"
e2e_screenshot map_new_prompt
for name in 'sixteen-chars-xx' '   ' 'maps' '<off>' 'a=b' 'x\sy' '"q"'; do
  refused "$name" "Not valid mapname"
done
# A typed comma splits the answer text that comes back into choices.
answer_with 'a,<-Back' Ok
expect_info "Not valid mapname"
expect_prompt Tessel+
[ "$(answer_field | paste -sd'|')" = "dropdown 2 0|a|<-Back" ] || fail "after a comma: $(answer_field)"
refused ' GREEK ' "Map already exists with this name"
refused '+Acute' "Map already exists with this name"
answer_with '  fifteen-chars-x  ' Ok
wait_until 10 no_prompt || fail "the prompt stayed after a good name"
[ "$(section $INI MAPS | paste -sd'|')" = "Greek=|Cyrillic=|+acute=|fifteen-chars-x=" ] ||
  fail "[MAPS] after New: $(section $INI MAPS)"
[ "$(map_names)" = "<off>|Greek|Cyrillic|fifteen-chars-x|+acute" ] || fail "map list: $(map_names)"
[ -z "$(selected_entry)" ] || fail "an entry is selected after New: $(selected_entry)"
# "<-Back" ends New without a change.
before=$(md5sum <"$E2E_DIR/$INI")
map_menu New
expect_prompt Tessel+
answer_with 'Unused' '<-Back'
wait_until 10 no_prompt || fail "the prompt stayed after <-Back"
[ "$(md5sum <"$E2E_DIR/$INI")" = "$before" ] || fail "<-Back changed the file"

# Delete right after a rebuild: nothing is selected, so nothing is deleted.
map_menu Delete
expect_info "There is no selected map. (Select a map first)"
no_prompt || fail "Delete asked about a map although none is selected"

# Copy works on the edited map (Greek) and merges: Cyrillic keeps 40_N, 30_N takes Greek's
# value, Greek's other keys follow; no selector is copied.
map_menu Copy
expect_prompt Tessel+
[ "$(prompt_text)" = "$(printf 'Specify a name for the target map\n(if it exists the maps will be merged)')" ] ||
  fail "Copy prompt: $(prompt_text)"
[ "$(answer)" = Greek ] || fail "Copy starts with [$(answer)]"
refused 'Selectors' "Not valid mapname"
refused 'x\sy' "Not valid mapname"
answer_with 'Cyrillic' Ok
wait_until 10 no_prompt || fail "the Copy prompt stayed"
[ "$(section $INI Cyrillic | paste -sd'|')" = "30_N=alpha|40_N=own|31_N=beta|48_N=+acute,'" ] ||
  fail "[Cyrillic] after Copy: $(section $INI Cyrillic)"
[ "$(section $INI Selectors | paste -sd'|')" = "59_C=Greek|60_C=<off>|61_C=Cyrillic" ] ||
  fail "[Selectors] after Copy: $(section $INI Selectors)"

# Delete asks the three-line question without an answer field; "<-Back" changes nothing,
# "Yes" removes the section, the [MAPS] key and the selector and leaves the editor on <off>.
click_map Cyrillic
map_menu Delete
expect_prompt 'Tessel+ : Question'
[ "$(prompt_text)" = "$(printf 'do you really want to\npermanently remove map\nCyrillic ?')" ] ||
  fail "Delete prompt: $(prompt_text)"
[ "$(prompt_buttons)" = "<-Back|Yes" ] || fail "Delete buttons: $(prompt_buttons)"
W children 'Tessel+ : Question' | grep -qE '^[0-9]+ ComboBox 104 .* 1$' && fail "Delete shows an answer field"
e2e_screenshot map_delete_prompt
before=$(md5sum <"$E2E_DIR/$INI")
press_prompt '<-Back'
wait_until 10 no_prompt || fail "the Delete prompt stayed"
[ "$(md5sum <"$E2E_DIR/$INI")" = "$before" ] || fail "<-Back changed the file"
map_menu Delete
expect_prompt 'Tessel+ : Question'
press_prompt Yes
wait_until 10 eval '[ "$(selected_entry)" = "<off>" ]' || fail "Delete did not leave <off> selected: $(items $MAP_LIST)"
[ -z "$(section $INI Cyrillic)" ] && ! grep -q '^\[Cyrillic\]' "$E2E_DIR/$INI" || fail "[Cyrillic] is still there"
[ "$(section $INI MAPS | paste -sd'|')" = "Greek=|+acute=|fifteen-chars-x=" ] || fail "[MAPS] after Delete: $(section $INI MAPS)"
[ "$(section $INI Selectors | paste -sd'|')" = "59_C=Greek|60_C=<off>" ] || fail "[Selectors] after Delete: $(section $INI Selectors)"
expect_ctl $SELECTOR_VIEW "(C) F2"

# "<off>" selected: Copy, Delete, Rename and Export refuse. After a New the list has no
# selection while the editor is still on "<off>": they refuse as well (Delete for want of a
# selected entry).
refuses() {
  set_ctl $INFO ""
  map_menu "$1"
  expect_info "$2"
  no_prompt || fail "$1 prompted: $(prompt_title)"
}
for command in Copy Delete Rename Export; do
  refuses $command "This map cannot be edited. (Select another map)"
done
map_menu New
expect_prompt Tessel+
answer_with Latin Ok
wait_until 10 no_prompt || fail "the New prompt stayed"
[ -z "$(selected_entry)" ] || fail "an entry is selected after New: $(selected_entry)"
for command in Copy Rename Export; do
  refuses $command "This map cannot be edited. (Select another map)"
done
refuses Delete "There is no selected map. (Select a map first)"

# Rename: name checks; the copy lands under the new name, the selector follows, the old
# map is gone, and the editor goes on with the new name (a Store lands there).
click_map Greek
map_menu Rename
expect_prompt Tessel+
[ "$(prompt_text)" = "Specify a new name for Greek" ] || fail "Rename prompt: $(prompt_text)"
[ "$(answer)" = Greek ] || fail "Rename starts with [$(answer)]"
refused 'greek' "Map already exists with this name"
refused 'MAPS' "Not valid mapname"
refused 'x\sy' "Not valid mapname"
answer_with ' Hellenic ' Ok
wait_until 10 no_prompt || fail "the Rename prompt stayed"
[ "$(section $INI Hellenic | paste -sd'|')" = "30_N=alpha|31_N=beta|48_N=+acute,'" ] || fail "[Hellenic]: $(section $INI Hellenic)"
grep -q '^\[Greek\]' "$E2E_DIR/$INI" && fail "[Greek] is still there"
[ "$(section $INI MAPS | paste -sd'|')" = "+acute=|fifteen-chars-x=|Latin=|Hellenic=" ] || fail "[MAPS] after Rename: $(section $INI MAPS)"
[ "$(section $INI Selectors | paste -sd'|')" = "59_C=Hellenic|60_C=<off>" ] || fail "[Selectors] after Rename: $(section $INI Selectors)"
[ -z "$(selected_entry)" ] || fail "an entry is selected after Rename: $(selected_entry)"
expect_ctl $SELECTOR_VIEW "(C) F1"
rows | grep -Fxq 'A\x09\x09\x01alpha' || fail "the rows do not show the renamed map: $(rows)"
focus_key_box
type_keys e
set_ctl $TEXT_BOX epsilon
press Store
wait_until 10 eval 'section $INI Hellenic | grep -qx "18_N=epsilon"' || fail "Store after Rename: $(section $INI Hellenic)"
grep -q '^\[Greek\]' "$E2E_DIR/$INI" && fail "Store after Rename wrote into the old map"

# A settings file that cannot be written: Rename and Delete show the error and erase nothing.
chattr +i "$E2E_DIR/$INI" || fail "chattr +i is needed for this test"
before=$(md5sum <"$E2E_DIR/$INI")
map_menu Rename
expect_prompt Tessel+
answer_with 'Greek' Ok
close_box 'Tessel+ : Error' 'Unable to write to C:\TESSEL\MAPMGMT.INI'
click_map Hellenic
map_menu Delete
expect_prompt 'Tessel+ : Question'
press_prompt Yes
close_box 'Tessel+ : Error' 'Unable to write to C:\TESSEL\MAPMGMT.INI'
[ "$(md5sum <"$E2E_DIR/$INI")" = "$before" ] || fail "a failed write changed the file"
[ "$(map_names)" = "<off>|fifteen-chars-x|Latin|Hellenic|+acute" ] || fail "map list after failed writes: $(map_names)"
chattr -i "$E2E_DIR/$INI"
echo PASS
