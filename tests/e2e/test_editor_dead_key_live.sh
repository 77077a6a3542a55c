#!/usr/bin/env bash
# A dead key made in the editor works at once in another application: the dead key, then
# a key its "+" map has, then one it lacks (the default text, then the key itself), and a
# key of the active map after it. It still works once the editor is closed.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"
e2e_setup

INI=dead_key_live.ini
start_front_end "/I:$(settings_file $INI)" /M:Main
open_editor

# ";" becomes a dead key of the new map "+acute" with the default text "'".
focus_key_box; type_keys semicolon
open_kill
kill_answer acute "'" 1
wait_until 5 ini_has $INI "39_N=+acute,'" || fail "dead key stored as: $(ini_text $INI | grep '^39_N')"
# "+acute" gets "e" -> e acute.
click_map_entry 2
[ "$(items $MAP_LIST | sed -n 3p)" = "2 * 0 +acute" ] || fail "map list: $(items $MAP_LIST)"
focus_key_box; type_keys e
pick_character 233
press Store
wait_until 5 ini_has $INI $'18_N=\xe9' || fail "+acute holds: $(ini_text $INI)"
click_map_entry 1                        # the hook runs with the edited map active

# Another application becomes active: the editor's hook plays the maps as they now stand.
start_target Live
wait_until 10 hook_installed || fail "the editor did not install the hook for the other application"
keys bp:ba,27; sleep 0.3
[ -z "$(target_text Live)" ] || fail "the dead key typed something: [$(target_text Live)]"
keys bp:45,12;  expect_text Live $'\xe9'
keys bp:ba,27 bp:41,1e;  expect_text Live $'\xe9\'a'
keys bp:51,10;  expect_text Live $'\xe9\'aQ'
keys bp:42,30;  expect_text Live $'\xe9\'aQb'

# Closed editor: the button window's hook knows the dead key too.
press Close
wait_gone "$ED"
wait_until 10 hook_installed || fail "the hook was not handed back"
wait_until 10 focus_window Live || fail "cannot focus Live"
keys bp:ba,27 bp:45,12;  expect_text Live $'\xe9\'aQb\xe9'
echo PASS
