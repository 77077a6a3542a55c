#!/usr/bin/env bash
# The editor's dead keys and replacement-text tools: Kill and Edit with the dead-key dialog
# (its texts, the "+" map made or reused, the refusals, nothing written on "<- Back", the
# close box or a bad name, a refused name told), the two text fields in step (Escape in
# MacroBox closing nothing), the command list and the key
# inserts with the brace-group rule, the character selector and the display font.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"
e2e_setup

INI=text_tools.ini
start_front_end "/I:$(settings_file $INI)" /M:Main
open_editor
file_sum() { md5sum <"$E2E_DIR/$INI"; }

# Kill's refusals, each with its message and nothing written.
before=$(file_sum)
click_map_entry 0
press Kill; expect_info "This map cannot be edited. (Select another map)"
click_map_entry 1
focus_key_box; type_keys ctrl+F1
press Kill; expect_info "Used as selector. (Select another key)"
[ "$(file_sum)" = "$before" ] || fail "a refused Kill wrote: $(ini_text $INI)"

# Kill on a key without assignment: an empty name and the key's own name as default.
focus_key_box; type_keys semicolon
key_name=$(ctl $KEY_BOX)
open_kill
W list | grep -q " TKillDialog \[$KD\]" || fail "no TKillDialog window"
# Its controls (class, id, text: no map name, the key's name) and its client area at zoom 100.
[ "$(W children "$KD" | sed -E 's/^[0-9]+ //; s/ [-0-9,]+ [01]$//' | tr '\n' '|')" = \
  "Static 101 [Mapname]|Static 102 [+]|Edit 103 []|Static 104 [Default Text]|Edit 105 [$key_name]|Button 2 [<- Back]|Button 1 [Accept]|" ] ||
  fail "dead-key dialog: $(W children "$KD")"
IFS=, read -r l t r b <<<"$(W rect "$KD" client)"
[ $((r - l))x$((b - t)) = 292x63 ] || fail "dead-key dialog client area $((r - l))x$((b - t))"
# Its hints show in the editor's Info panel.
read -r x y <<<"$(control_centre "$KD" $DEAD_MAP)"
hover_hint() { timeout 5 xdotool mousemove $((x + RANDOM % 5)) "$y"; info_is "$1"; }
wait_until 10 hover_hint "Map for the next keystroke; it will be created if don't exist" ||
  fail "no hint from the dead-key dialog: [$(ctl $INFO)]"
set_ctl_of "$KD" $DEAD_MAP acute
e2e_screenshot dead_key_dialog
end_dialog "$KD" 1   # Accept
encoded_name=$(printf '%s' "$key_name" | sed 's/\\/\\\\/g; s/ /\\s/g')
wait_until 5 ini_has $INI "39_N=+acute,$encoded_name" || fail "dead key stored as: $(ini_text $INI | grep '^39_N')"
ini_has $INI "+acute=" || fail "no +acute in [MAPS]: $(ini_text $INI)"
# The new map ends the map list; the edited map stays selected.
[ "$(items $MAP_LIST)" = "$(printf '%s\n' '0 - 0 <off>' '1 * 0 Main' '2 - 0 Other' '3 - 0 +acute')" ] ||
  fail "map list after Kill: $(items $MAP_LIST)"
expect_ctl $KILL_BUTTON "Edit"
expect_ctl $TEXT_BOX "<Dead Key!>"
rows | grep -Fq '<-> [+acute]' || fail "no dead-key row: $(rows)"
press Store; expect_info "Used as dead key. (Select another key)"

# Edit: the dialog shows the map's name and the default text; commas are kept whole.
open_kill
[ "$(kd_ctl $DEAD_MAP)" = "acute" ] || fail "Edit shows map [$(kd_ctl $DEAD_MAP)]"
kill_answer acute "a, b,,c" 1
wait_until 5 ini_has $INI '39_N=+acute,a,\sb,,c' || fail "default text stored as: $(ini_text $INI | grep '^39_N')"
open_kill
[ "$(kd_ctl $DEFAULT)" = "a, b,,c" ] || fail "Edit shows default [$(kd_ctl $DEFAULT)]"
end_dialog "$KD" 2   # <- Back

# Nothing is written on "<- Back", the close box, an empty name, a name of 15 characters
# or one that map management refuses; that one is told, and the dialog keeps it.
focus_key_box; type_keys k
before=$(file_sum)
open_kill; kill_answer grave x 2   # <- Back
open_kill; set_ctl_of "$KD" $DEAD_MAP grave; W close "$KD" >/dev/null; wait_gone "$KD"
for name in "" "fifteen-chars-x"; do
  open_kill; kill_answer "$name" x 1
done
open_kill
for name in "a,b" 'x\sy'; do
  set_ctl_of "$KD" $DEAD_MAP "$name"
  click "$KD" 1
  expect_info "Not valid mapname"
  window_shown "$KD" && [ "$(kd_ctl $DEAD_MAP)" = "$name" ] || fail "the refused name $name is not kept for correction"
  set_ctl $INFO ""
done
end_dialog "$KD" 2
[ "$(file_sum)" = "$before" ] || fail "a cancelled or refused Kill wrote: $(ini_text $INI)"
expect_ctl $KILL_BUTTON "Kill"

# An existing "+" map is linked, not made again; a name is trimmed.
open_kill; kill_answer " acute " x 1
wait_until 5 ini_has $INI '37_N=+acute,x' || fail "second dead key stored as: $(ini_text $INI | grep '^37_N')"
[ "$(ini_text $INI | grep -c '^+acute=')" = 1 ] || fail "+acute listed twice: $(ini_text $INI)"

# The two text fields in step, typed in either (large state).
press ">>"; expect_ctl $MORE_BUTTON "<<"
focus_key_box; type_keys m
expect_ctl $TEXT_BOX ""
focus_control $TEXT_BOX
type_keys x y
expect_ctl $MACRO_BOX "xy"
focus_control $MACRO_BOX
type_keys ctrl+End z
expect_ctl $TEXT_BOX "xyz"
# Escape in MacroBox does nothing: the editor and the text stay.
type_keys Escape
sleep 1
window_shown "$ED" || fail "Escape in MacroBox closed the editor"
expect_ctl $MACRO_BOX "xyz"

# The command list: "Run", "Wait", "Focus" and the 93 key names.
commands=$(items $LANG_LIST)
[ "$(printf '%s\n' "$commands" | wc -l)" = 96 ] || fail "command list: $commands"
printf '%s\n' "$commands" | sed -n '1p;2p;3p;4p;6p;96p' | cut -d' ' -f4 | tr '\n' ' ' | grep -qx 'Run Wait Focus CANCEL TAB OEMCLEAR ' ||
  fail "command list entries: $(printf '%s\n' "$commands" | head -6)"
# insert_case TEXT START END EXPECTED ACTION...: MacroBox holds TEXT, START..END selected;
# after ACTION both fields show EXPECTED.
insert_case() {
  local text=$1 start=$2 end=$3 expected=$4; shift 4
  set_ctl $MACRO_BOX "$text"
  W setsel "$ED" $MACRO_BOX "$start" "$end" >/dev/null
  "$@"
  expect_ctl $MACRO_BOX "$expected"
  expect_ctl $TEXT_BOX "$expected"
}
choose() { W select "$ED" $LANG_LIST "$1" >/dev/null; }
insert_case "{" 1 1 "{ TAB" choose 5
insert_case "x" 1 1 "x{TAB}" choose 5
insert_case "abc" 1 2 "a{TAB}c" choose 5
insert_case "" 0 0 "{!Run cmdline}" choose 0

# The virtual-key and scan-code inserts put in what their fields show.
focus_control $VKEY_BOX
type_keys semicolon
expect_ctl $VKEY_BOX "#186"
focus_control $SCAN_CODE_BOX
type_keys semicolon
expect_ctl $SCAN_CODE_BOX "&39"
insert_case "{^" 2 2 "{^ #186" press $INSERT_VK
insert_case "a" 1 1 "a{&39}" press $INSERT_SCAN
set_ctl $VKEY_BOX ""
insert_case "a" 1 1 "a" press $INSERT_VK

# The character selector: the 16 x 14 grid of codes 32..255; a click inserts the character
# at the one-line field's caret.
set_ctl $TEXT_BOX "ab"
W setsel "$ED" $TEXT_BOX 1 1 >/dev/null
open_tool $SEL_CHAR "$GRID"
W list | grep -q " TGridform \[$GRID\]" || fail "no TGridform window"
grid_geometry
sleep 0.5
e2e_screenshot character_selector
shot=$TESSEL_E2E_WORK/shots/character_selector.png
work=$TESSEL_E2E_WORK/tmp; mkdir -p "$work"
crop "$shot" "$(cell_rect 0 0)" "$work/blank.png"
crop "$shot" "$(cell_rect 15 13)" "$work/y_umlaut.png"
crop "$shot" "$(cell_rect 1 2)" "$work/A.png"
awk -v d="$(darkest "$work/blank.png")" 'BEGIN { exit !(d > 0.9) }' || fail "the top-left cell is not blank"
awk -v d="$(darkest "$work/y_umlaut.png")" 'BEGIN { exit !(d < 0.5) }' || fail "the bottom-right cell shows nothing"
awk -v d="$(darkest "$work/A.png")" 'BEGIN { exit !(d < 0.5) }' || fail "the cell of A shows nothing"
click_at $(cell_centre 1 2)
wait_gone "$GRID"
expect_ctl $TEXT_BOX "aAb"
expect_ctl $MACRO_BOX "aAb"
pick_character 255
expect_ctl $TEXT_BOX 'aAÿb'
open_tool $SEL_CHAR "$GRID"
W close "$GRID" >/dev/null
wait_gone "$GRID"
expect_ctl $TEXT_BOX 'aAÿb'

# Font: the choice is written, the assignment list shows it at once, MacroBox does not.
focus_key_box; type_keys a                     # 30_N: plain text around a brace group
expect_ctl $MACRO_BOX "a{ENTER}b"
list_rect=$(control_rect $ASSIGNMENTS) macro_rect=$(control_rect $MACRO_BOX)
e2e_screenshot font_before
crop "$TESSEL_E2E_WORK/shots/font_before.png" "$list_rect" "$work/list_before.png"
crop "$TESSEL_E2E_WORK/shots/font_before.png" "$macro_rect" "$work/macro_before.png"
open_tool $FONT_BUTTON "$FONT_DIALOG"
# choose_font ID TEXT: selects the entry TEXT of the font dialog's combo box ID.
choose_font() {
  local index; index=$(W items "$FONT_DIALOG" "$1" | awk -v t="$2" '$4 == t { print $1; exit }')
  [ -n "$index" ] || fail "no entry $2 in the font dialog's box $1: $(W items "$FONT_DIALOG" "$1")"
  W select "$FONT_DIALOG" "$1" "$index" >/dev/null
}
choose_font 1136 C059
choose_font 1140 Greek
e2e_screenshot font_dialog
end_dialog "$FONT_DIALOG" 1   # OK
wait_until 5 ini_has $INI "DisplayFont=C059" || fail "DisplayFont: $(ini_text $INI | grep DisplayFont)"
ini_has $INI "DisplayFontCSet=161" || fail "DisplayFontCSet: $(ini_text $INI | grep DisplayFontCSet)"
list_changed() {
  e2e_screenshot font_after >/dev/null
  crop "$TESSEL_E2E_WORK/shots/font_after.png" "$list_rect" "$work/list_after.png"
  ! same_image "$work/list_before.png" "$work/list_after.png"
}
macro_unchanged() {
  e2e_screenshot font_after >/dev/null
  crop "$TESSEL_E2E_WORK/shots/font_after.png" "$macro_rect" "$work/macro_after.png"
  same_image "$work/macro_before.png" "$work/macro_after.png"
}
wait_until 5 list_changed || fail "the assignment list did not change with the font"
wait_until 5 macro_unchanged || fail "MacroBox changed with the display font"
expect_ctl $MACRO_BOX "a{ENTER}b"
# Preset next time with the stored face and script, at 19 pixels (14 points).
open_tool $FONT_BUTTON "$FONT_DIALOG"
[ "$(W text "$FONT_DIALOG" 1138)" = 14 ] || fail "font dialog not preset"
end_dialog "$FONT_DIALOG" 2   # Cancel
echo PASS
