#!/usr/bin/env bash
# The map editor opened from the button window: hook off while it is active, the map list
# and the assignment rows, Store (encoding, line breaks, quotes), every refusal with its
# message and nothing written, Remove on another map's selector, Make Selector, the small
# and large states, the place it reopens at, and failed writes.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"
e2e_setup

INI=editor.ini
# An immutable settings file must not outlive the test: the next setup removes the folder.
at_exit 'chattr -i "$E2E_DIR/$INI" 2>/dev/null'
start_front_end "/I:$(settings_file $INI)" /M:Greek
button=$(button_hwnd)
open_editor

# Mapping is off while the editor is the active application.
wait_until 10 eval '[ "$(store_field HookHandle)" = 0 ]' || fail "the hook stayed on while editing"
[ "$(store_field Front)" = 0 ] || fail "front value $(store_field Front) while editing"

# First opening: centred on the 1024 x 768 screen, small state.
IFS=, read -r l t r b <<<"$(W rect "$ED")"
[ $(( l + r )) -ge 1022 ] && [ $(( l + r )) -le 1026 ] && [ $(( t + b )) -ge 766 ] && [ $(( t + b )) -le 770 ] ||
  fail "not centred: $l,$t,$r,$b"
[ "$(ctl $MORE_BUTTON)" = ">>" ] || fail "not small at first"
e2e_screenshot map_editor_small

# Map list: "<off>", the maps, then the "+" maps; the button's map is selected.
[ "$(items $MAP_LIST)" = "$(printf '%s\n' '0 - 0 <off>' '1 * 0 Greek' '2 - 0 Tom & Jerry' '3 - 0 Empty' '4 - 0 +acute')" ] ||
  fail "map list: $(items $MAP_LIST)"
[ "$(ctl $SELECTOR_VIEW)" = "(C) F1" ] || fail "selector view: $(ctl $SELECTOR_VIEW)"
# Rows: name, tab, label, tab, result; selectors of every map; the dead key; plain text
# after a font switch (\x01); key 0_N and the key "Comment" left out. Sorted by the list.
expected_rows='A\x09\x09\x01\xE1
A\x09(S)\x09{ENTER}\x01A b
B\x09\x09<-> [+acute]
F1\x09(C)\x09--> [Greek]
F2\x09(C)\x09--> [<off>]
F3\x09(SCA)\x09--> [Tom & Jerry]
W\x09\x09\x01x y\x5Cz'
[ "$(rows)" = "$expected_rows" ] || fail "rows of Greek:
$(items $ASSIGNMENTS)"
# The key bytes are item data as well: key code and state byte.
items $ASSIGNMENTS | grep -q '^5 - 873d F3' || fail "item data of the F3 row: $(items $ASSIGNMENTS)"

# Every map shows every selector; "Tom & Jerry" has its own selector.
click_map_entry 2
expect_ctl $SELECTOR_VIEW "(SCA) F3"
[ "$(rows | grep -c -- '-->')" = 3 ] || fail "selector rows in Tom & Jerry: $(rows)"
rows | grep -Fxq 'A\x09\x09\x01tom' || fail "rows of Tom & Jerry: $(rows)"

# The map menu opens on a right-click and on a double-click; its hints show in the Info
# panel while the mouse is over an entry.
hover() {  # hover ENTRY: the mouse over the shown menu entry ENTRY of the editor
  local l t r b
  IFS=, read -r l t r b <<<"$(W menu "$ED" | awk -F'\t' -v e="$1" '$5 == e && $6 != "-" { print $6; exit }')"
  [ -n "$b" ] || fail "no shown menu entry $1"
  timeout 5 xdotool mousemove $(( (l + r) / 2 )) $(( (t + b) / 2 ))
}
read -r x y <<<"$(control_centre $MAP_LIST)"
click_at "$x" "$y" 3
wait_until 5 menu_open || fail "no map menu on a right-click"
hover New; expect_info "Create an empty map"
hover Delete; expect_info "Erase the selected map"
W menu-close "$ED" >/dev/null
wait_until 5 eval '! menu_open' || fail "the map menu stayed open"
timeout 5 xdotool mousemove "$x" "$y" click --repeat 2 --delay 80 1
wait_until 5 menu_open || fail "no map menu on a double-click"
W menu-close "$ED" >/dev/null
wait_until 5 eval '! menu_open' || fail "the map menu stayed open"

# Refusals, each with its message and nothing written.
before=$(md5sum <"$E2E_DIR/$INI")
press Store;  expect_info "Missing key selection. (Select a key)"
press "Make Selector"; expect_info "Missing key selection. (Select a key)"
press Remove; expect_info "Missing key selection. (Select a key)"
click_map_entry 1                      # Greek
focus_key_box
type_keys ctrl+F2                      # the "<off>" selector
expect_ctl $TEXT_BOX "<Selector !>"
[ "$(selected_row)" = 'F2\x09(C)\x09--> [<off>]<\x82' ] || fail "selector row not selected: $(selected_row)"
press Store;  expect_info "Used as selector. (Select another key)"
press "Make Selector"; expect_info "Used as selector. (Select another key)"
focus_key_box; type_keys b             # the dead key
expect_ctl $TEXT_BOX "<Dead Key!>"
expect_ctl $KILL_BUTTON "Edit"
press Store;  expect_info "Used as dead key. (Select another key)"
focus_key_box; type_keys q             # no assignment yet
expect_ctl $TEXT_BOX ""
expect_ctl $KILL_BUTTON "Kill"
press Store;  expect_info "No "
set_ctl $TEXT_BOX "$(head -c 1100 /dev/zero | tr '\0' x)"
press Store;  expect_info "Text too long: more than 1023 characters when stored. (Shorten the text)"
click_map_entry 0                      # <off>
press Store;  expect_info "This map cannot be edited. (Select another map)"
[ "$(md5sum <"$E2E_DIR/$INI")" = "$before" ] || fail "a refused command wrote: $(ini_text $INI)"

# Store: blanks and backslashes encoded; a line break and quotes survive the round trip.
click_map_entry 1
store_text() { set_ctl $TEXT_BOX "$1"; press Store; }
focus_key_box; type_keys q
store_text 'a b\c'
wait_until 5 ini_has $INI '16_N=a\sb\\c' || fail "Store wrote: $(ini_text $INI | grep 16_N)"
rows | grep -Fxq 'Q\x09\x09\x01a b\x5Cc' || fail "no row for Q: $(rows)"
focus_key_box; type_keys w
store_text $'line 1\r\nline 2'
wait_until 5 ini_has $INI '17_N=line\s1\013\010line\s2' || fail "line break stored as: $(ini_text $INI | grep 17_N)"
focus_key_box; type_keys e
store_text '"quoted"'
wait_until 5 ini_has $INI '18_N=\034quoted"' || fail "quotes stored as: $(ini_text $INI | grep 18_N)"
# Read back through the profile functions: choose the keys again.
focus_key_box; type_keys w
expect_ctl $TEXT_BOX $'line 1\nline 2'   # ctl drops the CR
focus_key_box; type_keys e
expect_ctl $TEXT_BOX '"quoted"'
focus_key_box; type_keys q
expect_ctl $TEXT_BOX 'a b\c'
[ "$(selected_row)" = 'Q\x09\x09\x01a b\x5Cc\x10\x80' ] || fail "Q row not selected: $(selected_row)"

# Remove on a selector deletes it whichever map it selects.
focus_key_box; type_keys ctrl+alt+shift+F3
expect_ctl $TEXT_BOX "<Selector !>"
press Remove
wait_until 5 eval '! ini_has $INI "61_CAS=Tom & Jerry"' || fail "Remove left the selector of Tom & Jerry"
rows | grep -q 'Tom & Jerry' && fail "the removed selector still shows: $(rows)"
# Make Selector replaces the map's old selector (59_C) ...
focus_key_box; type_keys ctrl+F5
press "Make Selector"
wait_until 5 ini_has $INI '63_C=Greek' || fail "Make Selector did not write 63_C=Greek"
ini_has $INI '59_C=Greek' && fail "the old selector of Greek stayed"
expect_ctl $SELECTOR_VIEW "(C) F5"
rows | grep -Fxq 'F5\x09(C)\x09--> [Greek]' || fail "no row for the new selector: $(rows)"
# ... and "<off>" may have one too.
click_map_entry 0
focus_key_box; type_keys ctrl+F6
press "Make Selector"
wait_until 5 ini_has $INI '64_C=<off>' || fail "no selector for <off>: $(ini_text $INI)"
ini_has $INI '60_C=<off>' && fail "the old selector of <off> stayed"

# Large state, then close: the place and state are written, the button shows the edited
# map and the hook is back with the button window.
click_map_entry 1
press ">>"
expect_ctl $MORE_BUTTON "<<"
e2e_screenshot map_editor_large
rect_before=$(W rect "$ED")
press Close
wait_gone "$ED"
IFS=, read -r l t r b <<<"$rect_before"
ini_has $INI "EditorTop=$t" && ini_has $INI "EditorLeft=$l" && ini_has $INI "EditorBig=1" ||
  fail "editor settings: $(ini_text $INI | grep Editor)"
expect_title Greek 10
wait_until 10 hook_installed || fail "the hook was not handed back"
[ "$(front_value)" = "$button" ] || fail "front value after closing: $(front_value)"

# Reopened at the stored place, in the large state.
open_editor
[ "$(W rect "$ED")" = "$rect_before" ] || fail "reopened elsewhere"
expect_ctl $MORE_BUTTON "<<"
W children "$ED" | awk -v id=$MACRO_BOX '$3 == id { exit $NF != 1 }' || fail "MacroBox hidden in the large state"

# A failed write: the error box, the editor stays usable and still closes; the hook is
# handed back all the same.
chattr +i "$E2E_DIR/$INI" || fail "chattr"
focus_key_box; type_keys r
store_text "not stored"
# (The command line is upper-cased, the file name with it.)
wait_window "Tessel+ : Error"
e2e_screenshot map_editor_write_error
close_box "Tessel+ : Error" 'Unable to write to C:\TESSEL\EDITOR.INI'
press "<<"                               # the editor stays usable
expect_ctl $MORE_BUTTON ">>"
press Close
close_box "Tessel+ : Error"
wait_gone "$ED"
ini_has $INI "EditorBig=1" || fail "EditorBig changed in an unwritable file"
# The button window installs the hook again; its loader cannot write the file either,
# which the button window reports in its own error box.
wait_until 10 eval '[ "$(front_value)" = "$button" ]' ||
  fail "the hook was not handed back to the button window: front $(front_value)"
if W wait-window "Tessel+ : Error" 10 >/dev/null; then click "Tessel+ : Error" OK; fi
chattr -i "$E2E_DIR/$INI"
echo PASS
