#!/usr/bin/env bash
# One session of the front end TESSEL32.EXE: the button window follows the selection made
# from its menu, by selector keys in another application and by another process; its menu
# lists the maps without dead-key maps, "&" literally, the active map ticked; a second
# start is refused; the window moves, resizes, minimises and keeps its place in the
# settings file; a stored place off the screen is centred.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup
ini=$(settings_file frontend.ini)
start_target Typing

# Start with a start map: its name is matched without regard to case.
start_front_end "/I:$ini" /M:second
expect_title Second
selected_is 4 || fail "/M:second did not select map 4 (SelectedMap=$(store_field SelectedMap))"
[ "$(button_rect)" = "266,201,391,229" ] || fail "the window is not at the design place: $(button_rect)"

# The menu: maps without "+dead", "&" shown literally, the active map ticked; Controls
# holds the commands and Help its two entries.
open_menu
[ "$(menu_entries 0)" = "$(printf '%s\n' '- <off>' '- First' '- Tom && Jerry' 'C Second' 'SG ' 'P Controls')" ] ||
  fail "top level of the menu: $(menu_entries 0)"
[ "$(menu_entries 1)" = "$(printf '%s\n' '- Close' '- Minimize' '- Size' '- Move' '- Hide' 'SG ' '- Edit Maps' '- Options' 'P Help')" ] ||
  fail "Controls: $(menu_entries 1)"
[ "$(menu_entries 2)" = "$(printf '%s\n' '- Contents' '- About')" ] || fail "Help: $(menu_entries 2)"
e2e_screenshot frontend_menu
W menu-pick Second "Tom & Jerry" >/dev/null || fail "cannot choose Tom & Jerry"
expect_title "Tom && Jerry" 2
selected_is 2 || fail "choosing Tom & Jerry did not select map 2"
open_menu
menu_entries 0 | grep -qx 'C Tom && Jerry' || fail "Tom & Jerry is not ticked: $(menu_entries 0)"
[ "$(menu_entries 0 | grep -c '^C')" = 1 ] || fail "more than one entry ticked"
close_menu
e2e_screenshot frontend_tom_and_jerry

# A right-click on the button opens the same menu at the pointer, and a map chosen there is
# selected; Shift+F10 opens it while the button has the focus.
IFS=, read -r l t r b <<<"$(button_rect)"
timeout 5 xdotool mousemove $((l + 30)) $((t + 12)) click 3 || fail "xdotool right-click"
wait_until 10 menu_open || fail "no menu on a right-click"
[ "$(menu_entries 0 | tail -n 2 | cut -c3-)" = "$(printf ' \nControls')" ] || fail "right-click menu: $(menu_entries 0)"
[ "$(W list | awk '$3 == "#32768" { print $NF; exit }' | cut -d, -f1,2)" = "$((l + 30)),$((t + 12))" ] ||
  fail "the menu is not at the pointer: $(W list | grep ' #32768 ')"
W menu-pick "$(button_title)" First >/dev/null || fail "cannot choose First from the right-click menu"
expect_title First 2
selected_is 1 || fail "First chosen from the right-click menu is not selected"
focus_window First || fail "cannot focus the button window"
keys bd:10,2a bp:79,44 bu:10,2a          # Shift+F10
wait_until 10 menu_open || fail "no menu on Shift+F10"
close_menu

# A selector key typed in another application, and SelectMap from another process, show
# within a poll or two.
focus_window Typing || fail "cannot focus Typing"
keys bd:11,1d bp:70,3b bu:11,1d          # Ctrl+F1 selects Second
expect_title Second 2
keys bd:11,1d bp:71,3c bu:11,1d          # Ctrl+F2 switches mapping off
expect_title "All off" 2
wine_run 10 store_client.exe select 1 >/dev/null || fail "select failed"
expect_title First 2
keys text:a
expect_text Typing 1

# A second start is refused with "Tessel+ is running"; the first keeps its map and place.
rect=$(button_rect)
wine_bg TESSEL32.EXE "/I:$ini" /M:Second
second=$E2E_BG_PID
wait_until 10 info_window_shown || fail "the second start showed no information window"
e2e_screenshot frontend_is_running
wait_until 15 ended $second || fail "the second start did not end by itself"
front_end_holds_hook || fail "the first front end lost the hook"
title_is First && [ "$(button_rect)" = "$rect" ] || fail "the first window changed: $(button_title) $(button_rect)"

# Move and size with the real mouse: the grabbed point stays under the pointer; the size
# follows it.
menu_choose Controls Move
timeout 10 xdotool mousemove 300 210 mousedown 1 mousemove 350 230 sleep 0.2 mousemove 400 250 sleep 0.2 mouseup 1
wait_until 5 eval '[ "$(button_rect)" = "366,241,491,269" ]' || fail "moved to $(button_rect), expected 366,241,491,269"
menu_choose Controls Size
timeout 10 xdotool mousemove 480 260 mousedown 1 mousemove 500 265 sleep 0.2 mousemove 520 270 sleep 0.2 mouseup 1
wait_until 5 eval '[ "$(button_rect)" = "366,241,531,279" ]' || fail "sized to $(button_rect), expected 366,241,531,279"
e2e_screenshot frontend_moved_and_sized

# Closed while minimised: the place it has when restored is stored, not the parking place.
menu_choose Controls Minimize
W close First >/dev/null || fail "cannot close the window"
wait_until 10 ended $FRONT_PID || fail "the front end did not end"
for key in Width=165 Height=38 Top=241 Left=366 Selected=1; do
  [ "$(ini_value frontend.ini "${key%%=*}")" = "${key#*=}" ] ||
    fail "stored ${key%%=*}=$(ini_value frontend.ini "${key%%=*}"), expected ${key#*=}"
done
[ "$(front_value)" = 0 ] && ! hook_installed || fail "closing left the front value $(front_value) or the hook"

# The stored place is restored; one off the screen is centred.
start_front_end "/I:$ini"
[ "$(button_rect)" = "366,241,531,279" ] || fail "the stored place was not restored: $(button_rect)"
expect_title First
W close First >/dev/null
wait_until 10 ended $FRONT_PID || fail "the front end did not end"
sed -i 's/^Left=.*/Left=5000\r/' "$E2E_DIR/frontend.ini"
start_front_end "/I:$ini"
[ "$(button_rect)" = "429,365,594,403" ] || fail "a place off the screen was not centred: $(button_rect)"
echo PASS
