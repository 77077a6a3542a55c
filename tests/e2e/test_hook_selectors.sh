#!/usr/bin/env bash
# Selectors switch maps from any state, the new map's name shows for MessageShowTime, and
# "<off>" switches mapping off.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup

start_host "$(settings_file selectors.ini)"
start_target Selectors
selected_is 0 || fail "mapping should start off"

keys bp:41,1e;  expect_text Selectors "a"
keys bp:70,3b                                  # F1 selects map One
wait_until 5 info_window_shown || fail "no information window after a selector"
sleep 0.5   # the text is drawn right after the window shows
e2e_screenshot selector_map_name
wait_until 10 selected_is 1 || fail "F1 did not select map One"
wait_until 10 eval '! info_window_shown' || fail "the information window stayed"
keys bp:41,1e;  expect_text Selectors "a1"
keys bp:71,3c                                  # F2 selects map Two
wait_until 10 selected_is 2 || fail "F2 did not select map Two"
wait_until 10 eval '! info_window_shown' || fail "the information window stayed"
keys bp:41,1e;  expect_text Selectors "a12"
keys bp:72,3d                                  # F3 is <off>
wait_until 10 selected_is 0 || fail "F3 did not switch mapping off"
wait_until 10 eval '! info_window_shown' || fail "the information window stayed"
keys bp:41,1e;  expect_text Selectors "a12a"

# Selector keystrokes reach the application neither down nor up.
target_messages Selectors | grep -q -E 'WM_KEY(DOWN|UP) 0x7[012]' && fail "a selector key reached the window"
echo PASS
