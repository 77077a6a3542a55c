#!/usr/bin/env bash
# The front end in any script, in Wine's default (English) locale: a map named in Greek is
# made in the editor and given a text beyond the code page; the assignment list, the button
# and its menu show them, the settings file turns into UTF-8 with a mark, and the text types
# into another application; Export and Import carry the map byte for byte; the character
# selector inserts α from its Greek block.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"
e2e_setup

INI=unicode_editing.ini GREEK=Ελληνικά TEXT=α→😀
printf '[TESSEL32]\r\nMessageShowTime=0\r\n[MAPS]\r\nLatin=\r\n[Latin]\r\n30_N=caf\xe9\r\n' >"$E2E_DIR/$INI"
unmanaged_windows
start_front_end "/I:C:\\tessel\\$INI"
open_editor

# New "Ελληνικά", then "α→😀" stored for key A.
map_menu New
expect_prompt Tessel+
answer_with "$GREEK" Ok
wait_until 10 no_prompt || fail "the New prompt stayed"
[ "$(map_names)" = '<off>|Latin|\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC' ] || fail "map list: $(map_names)"
click_map_entry 2
focus_key_box; type_keys a
set_ctl $TEXT_BOX "$TEXT"
press Store
wait_until 5 eval '[ "$(section $INI "$GREEK")" = "30_N=$TEXT" ]' || fail "[$GREEK] holds: $(section $INI "$GREEK")"
[ "$(head -c 3 "$E2E_DIR/$INI" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the file did not become UTF-8 with a mark"
grep -q $'^30_N=caf\xc3\xa9\r$' "$E2E_DIR/$INI" || fail "the ANSI text of Latin did not become UTF-8: $(section $INI Latin)"
# The row as the list holds it (UTF-16, read from outside) and as it shows.
rows | grep -Fxq 'A\x09\x09\x01\u03B1\u2192\uD83D\uDE00' || fail "rows: $(rows)"
e2e_screenshot unicode_assignment
IFS=, read -r l t r b <<<"$(control_rect $ASSIGNMENTS)"
crop "$TESSEL_E2E_WORK/shots/unicode_assignment.png" "$((l + 102)),$((t + 2)),$((l + 200)),$((t + 18))" \
  "$TESSEL_E2E_WORK/shots/unicode_row.png"    # the result column of the first row
colours=$(convert "$TESSEL_E2E_WORK/shots/unicode_row.png" -unique-colors -format %w info:)
[ "$colours" -gt 1 ] || fail "the row's text column shows no text"

# Export and Import under a new name: the same entries, byte for byte.
map_menu Export
file_dialog "$EXPORT_DIALOG" greek.key Save
expect_prompt "Tessel+ : Exporting $GREEK"
answer_with "$GREEK" Ok
wait_until 10 test -s "$E2E_DIR/greek.key" || fail "no greek.key"
[ "$(head -c 3 "$E2E_DIR/greek.key" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "greek.key is not UTF-8 with a mark"
map_menu Import
file_dialog "$IMPORT_DIALOG" greek.key Open
expect_prompt Tessel+
answer_with "$GREEK" Ok
expect_prompt Tessel+
answer_with Νέο Ok
wait_until 10 eval '[ "$(section $INI Νέο)" = "$(section $INI "$GREEK")" ]' || fail "imported: $(section $INI Νέο)"

# The character selector's Greek block: α is column 1, row 4 of U+0370.
click_map_entry 2
set_ctl $TEXT_BOX ""
open_tool $SEL_CHAR "$GRID"
grid_geometry
click_at $(( GL + 15 )) $(( GT - 9 ))    # the Block menu of the menu bar
W menu-pick "$GRID" "Greek and Coptic" >/dev/null || fail "no Greek block in the character selector"
sleep 0.5
e2e_screenshot character_selector_greek
click_at $(cell_centre 1 4)
wait_gone "$GRID"
expect_ctl $TEXT_BOX α

# The button and its menu show the name; the text types into another application.
press Close
wait_gone "$ED"
expect_title "$GREEK" 5
open_menu
menu_entries 0 | grep -qx "C $GREEK" || fail "menu: $(menu_entries 0)"
close_menu
start_target Unicode --unicode
keys bp:41,1e
expect_text Unicode "$TEXT"
echo PASS
