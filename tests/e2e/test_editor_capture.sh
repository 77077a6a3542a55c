#!/usr/bin/env bash
# The keystroke capture fields with keys typed through X, and trying a map live: an
# assignment stored in the editor plays in another application at once, and the hook is
# off again when the user comes back to the editor.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"
e2e_setup

start_front_end "/I:$(settings_file editor.ini)" /M:Greek
open_editor
editor_hwnd=$(W list | awk '$3 == "TMapeditor" { print $1 }')
still_open() { window_shown "$ED" || fail "the editor closed after $1"; }

# key  expected key field  S C A boxes  (and the replacement field where it tells)
focus_key_box
type_keys a
expect_ctl $KEY_BOX "A"; expect_boxes 000; expect_ctl $TEXT_BOX 'á'   # win_tool prints UTF-8
[ "$(selected_row)" = 'A\x09\x09\x01\xE1\x1E\x80' ] || fail "row of A not selected: $(selected_row)"
type_keys shift+a
expect_ctl $KEY_BOX "A"; expect_boxes 100; expect_ctl $TEXT_BOX "{ENTER}A b"
type_keys 105                                   # right Control: extended, key code 157
expect_ctl $KEY_BOX "Control'"; expect_boxes 010
type_keys alt+a
expect_ctl $KEY_BOX "A"; expect_boxes 001
type_keys alt+F4                                # captured, the editor stays
expect_ctl $KEY_BOX "F4"; expect_boxes 001; still_open Alt+F4
type_keys F10 Return Escape                     # no menu, no default or cancel button
expect_ctl $KEY_BOX "Escape"; expect_boxes 000; still_open Escape
focus_is $KEY_BOX || fail "the key field lost the focus"
type_keys Caps_Lock a                           # Caps Lock counts as Shift
expect_ctl $KEY_BOX "A"; expect_boxes 100
type_keys Caps_Lock
type_keys ctrl+Tab                              # captured
expect_ctl $KEY_BOX "Tab"; expect_boxes 010
focus_is $KEY_BOX || fail "Control+Tab moved the focus"
type_keys Tab                                   # moves the focus, chooses nothing
wait_until 5 focus_is $TEXT_BOX || fail "Tab did not move the focus to the replacement field"
expect_ctl $KEY_BOX "Tab"; expect_boxes 010

# The virtual-key and scan-code fields (large state).
press ">>"
focus_control $SCAN_CODE_BOX
type_keys 105
expect_ctl $SCAN_CODE_BOX "&157"
type_keys a
expect_ctl $SCAN_CODE_BOX "&30"
focus_control $VKEY_BOX
type_keys semicolon
expect_ctl $VKEY_BOX "#186"
type_keys Return
expect_ctl $VKEY_BOX "ENTER"
e2e_screenshot editor_capture_large

# Try it live: store Q = xyz, switch to another application and type Q there.
focus_key_box
type_keys q
expect_ctl $TEXT_BOX ""
type_keys Tab
wait_until 5 focus_is $TEXT_BOX || fail "Tab did not reach the replacement field"
timeout 10 xdotool type --delay 80 xyz
expect_ctl $TEXT_BOX "xyz"
press Store
wait_until 5 ini_has editor.ini '16_N=xyz' || fail "Store did not write 16_N=xyz"
start_target Target
wait_until 10 hook_installed || fail "no hook while another application is active"
[ "$(store_field Front)" = "$(( 16#$editor_hwnd ))" ] || fail "front value $(store_field Front), not the editor"
[ "$(store_field SelectedMap)" = 1 ] || fail "Greek is not active: $(store_field SelectedMap)"
keys bp:51,10
expect_text Target "xyz"
# Back in the editor: mapping off again.
wait_until 10 focus_window "$ED" || fail "cannot focus the editor again"
wait_until 10 eval '[ "$(store_field HookHandle)" = 0 ]' || fail "the hook stayed on in the editor"
[ "$(store_field Front)" = 0 ] || fail "front value $(store_field Front) in the editor"
press Close
wait_gone "$ED"
wait_until 10 hook_installed || fail "the hook was not handed back"
wait_until 10 selected_is 1 || fail "Greek is not active after closing"
echo PASS
