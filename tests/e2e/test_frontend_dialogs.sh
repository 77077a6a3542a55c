#!/usr/bin/env bash
# The front end's dialogs: the options dialog (mapping off while it is open, a second start
# still refused, controls, tab order and hints, fall-backs, "< Back" writes nothing, "Set"
# writes, the zoom scales the next dialog), the About box, the help file, and failed writes
# of the settings file that are reported while the hook still comes back.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/frontend.sh"
e2e_setup
ini=$(settings_file options.ini)
OPTIONS="Tessel+ : Options"

options_shown() { wine_run 5 win_tool.exe wait-window "$OPTIONS" 0.1; }
open_options() {
  menu_choose Controls Options
  wait_until 10 options_shown || fail "the options dialog did not open"
}
# Text of the dialog's control INDEX (creation order; the Info panel is 10).
field() { wine_run 10 win_tool.exe ctltext "$OPTIONS" "$1" | tr -d '\r'; }
set_field() { wine_run 10 win_tool.exe settext "$OPTIONS" "$1" "$2" >/dev/null || fail "settext $1"; }
press() { wine_run 10 win_tool.exe click "$OPTIONS" "$1" >/dev/null || fail "cannot press $1"; }
# "width height" of the dialog's control INDEX.
control_size() {
  wine_run 10 win_tool.exe children "$OPTIONS" | tr -d '\r' | awk -v i="$1" '$1 == i { split($(NF-1), r, ","); print r[3] - r[1], r[4] - r[2] }'
}
checked() { [ "$(wine_run 10 win_tool.exe checked "$OPTIONS" "$1" | tr -d "\r")" = 1 ]; }  # by control id
topmost() { [ $(( 0x$(wine_run 10 win_tool.exe style "$1" | tr -d '\r' | cut -d' ' -f2) & 0x8 )) -ne 0 ]; }

start_front_end "/I:$ini"
expect_title First
topmost First || fail "OnTop (default 1) did not make the window topmost"

# While the dialog is open mapping is off, the button shows the off title, and a second
# start is still refused.
open_options
[ "$(front_value)" = 0 ] && ! hook_installed || fail "mapping is not off while the options dialog is open"
wine_run 10 win_tool.exe list | grep -q ' TSettings \[Tessel+ : Options\]' || fail "the dialog is not of class TSettings"
expect_title "All off" 2
wine_bg TESSEL32.EXE "/I:$ini"
second=$E2E_BG_PID
wait_until 15 eval '! kill -0 $second 2>/dev/null' || fail "a second start while the options dialog is open did not end"
process_count TESSEL32.EXE 1 || fail "two front ends run"

# Controls in creation (= tab) order, filled from the settings file: the stored "abc" is
# shown as stored, the stored zoom 89 became 100 at start. Last the Info panel, whose text
# is the hint of whatever lies under the mouse.
expected=$(printf '%s\n' 'Button Beep on map change' 'Static Message duration' 'Edit abc' 'Button Set' \
  'Static Title when off' 'Edit All off' 'Button < Back' 'Button Always on top' 'Static Zoom  (%)' \
  'Edit 100' 'Static')
actual=$(wine_run 10 win_tool.exe children "$OPTIONS" | tr -d '\r' |
  sed 's/^[0-9]* \([A-Za-z]*\) [0-9-]* \[\(.*\)\] .*$/\1 \2/; $s/ .*//')
[ "$actual" = "$expected" ] || fail "controls of the options dialog:
$actual"
checked 101 && checked 106 || fail "Beep and Always on top should be ticked (defaults)"
[ "$(control_size 3)" = "65 20" ] && [ "$(control_size 10)" = "269 19" ] || fail "sizes at zoom 100: Set $(control_size 3), Info $(control_size 10)"

# Tab order and hints.
focus_window "$OPTIONS" || fail "cannot focus the options dialog"
focused() { wine_run 10 win_tool.exe focus | tr -d '\r'; }
order=$(focused)
for i in 1 2 3 4 5 6 7; do keys bp:09,0f; order="$order|$(focused)"; done
[ "$order" = "Button|Beep on map change|Edit|abc|Button|Set|Edit|All off|Button|< Back|Button|Always on top|Edit|100|Button|Beep on map change" ] ||
  fail "tab order: $order"
hint_at() {  # hint_at CONTROL-INDEX: the Info panel's text with the mouse over that control
  local rect wanted=$2; rect=$(wine_run 10 win_tool.exe children "$OPTIONS" | tr -d '\r' | awk -v i="$1" '$1 == i { print $(NF-1) }')
  IFS=, read -r l t r b <<< "$rect"
  timeout 5 xdotool mousemove $(( (l + r) / 2 )) $(( (t + b) / 2 )) sleep 0.1 mousemove $(( (l + r) / 2 + 1 )) $(( (t + b) / 2 ))
  wait_until 3 eval '[ "$(field 10)" = "$wanted" ]' || fail "hint over control $1: [$(field 10)], expected [$2]"
}
hint_at 9 "Magnification in percents (90 - 1000)"
hint_at 8 "Magnification of the visible elements"
hint_at 2 "Time in milliseconds; 0 means no message"
hint_at 6 "Discard changes"
e2e_screenshot frontend_options_100

# "< Back" after changing every field leaves the file byte for byte as it was; the hook
# comes back with the stored map.
cp "$E2E_DIR/options.ini" "$E2E_DIR/before-back.ini"
set_field 2 5; set_field 5 X; set_field 9 300
press "Beep on map change"; press "Always on top"
press "< Back"
wait_until 10 eval '! options_shown' || fail "< Back did not close the dialog"
wait_until 10 front_end_holds_hook || fail "the hook did not come back after < Back"
cmp -s "$E2E_DIR/options.ini" "$E2E_DIR/before-back.ini" || fail "< Back changed the settings file: $(diff "$E2E_DIR/before-back.ini" "$E2E_DIR/options.ini")"
expect_title First 2

# "Set": "abc" falls back to 300, the zoom change deletes the editor's place, the keys the
# file did not have are appended in the order of the writes.
open_options
set_field 5 'Off!'; set_field 9 200
press "Always on top"
press Set
wait_until 10 eval '! options_shown' || fail "Set did not close the dialog"
wait_until 10 front_end_holds_hook || fail "the hook did not come back after Set"
section=$(tr -d '\r' < "$E2E_DIR/options.ini" | sed -n '/^\[TESSEL32\]/,/^\[MAPS\]/p' | grep -v '^\[' | cut -d= -f1 | tr '\n' ' ')
[ "$section" = "MessageShowTime Zoom Selected TitleWhenOff Allocate DoBeep OnTop " ] || fail "[TESSEL32] keys after Set: $section"
for key in MessageShowTime=300 Zoom=200 TitleWhenOff='Off!' DoBeep=1 OnTop=0; do
  [ "$(ini_value options.ini "${key%%=*}")" = "${key#*=}" ] || fail "after Set ${key%%=*}=$(ini_value options.ini "${key%%=*}")"
done
! topmost First || fail "OnTop=0 did not take the window out of the topmost layer"
wine_run 10 store_client.exe select 0 >/dev/null
expect_title 'Off!' 2

# The zoom applies to the next dialog: twice as large. A zoom of 89 falls back to 100.
open_options
[ "$(control_size 3)" = "130 40" ] && [ "$(control_size 10)" = "538 38" ] || fail "sizes at zoom 200: Set $(control_size 3), Info $(control_size 10)"
[ "$(field 9)" = 200 ] && [ "$(field 2)" = 300 ] || fail "fields at the second opening: zoom $(field 9), duration $(field 2)"
e2e_screenshot frontend_options_200
set_field 9 89
press Set
wait_until 10 eval '! options_shown' || fail "Set did not close the dialog"
[ "$(ini_value options.ini Zoom)" = 100 ] || fail "zoom 89 was stored as $(ini_value options.ini Zoom)"

# The About box leaves the hook installed.
wine_run 10 store_client.exe select 1 >/dev/null
expect_title First 2
menu_choose Controls Help About
wait_until 10 wine_run 5 win_tool.exe wait-window "About : Tessel+" 0.1 || fail "no About box"
wine_run 10 win_tool.exe list | grep -q ' TAbout \[About : Tessel+\]' || fail "the About box is not of class TAbout"
version=$(wine_run 10 win_tool.exe ctltext "About : Tessel+" 0 | tr -d '\r')
[ "$version" = "Tessel+ (64 bit)       ver: 4.1.9 / 4.1.9" ] || fail "About version line: [$version]"
front_end_holds_hook || fail "the About box took the hook away"
e2e_screenshot frontend_about
wine_run 10 win_tool.exe click "About : Tessel+" Ok >/dev/null
wait_until 10 eval '! wine_run 5 win_tool.exe wait-window "About : Tessel+" 0.1' || fail "Ok did not close the About box"

# Help: the HTML help viewer opens TESSEL32.CHM beside the program; without the file a
# message says so.
menu_choose Controls Help Contents
wait_until 20 eval 'wine_run 5 win_tool.exe list | grep -q " HH Parent \[Tessel+ Help\]"' || fail "the help viewer did not open"
e2e_screenshot frontend_help
wine_run 10 win_tool.exe close "Tessel+ Help" >/dev/null
wait_until 10 eval '! wine_run 5 win_tool.exe list | grep -q " HH Parent "' || fail "the help viewer did not close"
mv "$E2E_DIR/TESSEL32.CHM" "$E2E_DIR/moved.chm"
menu_choose Controls Help Contents
expect_message_box "Tessel+ : Help"
wait_until 5 eval 'message_box_text "Tessel+ : Help" | grep -q TESSEL32.chm' || fail "the message does not name the file: $(message_box_text "Tessel+ : Help")"
wine_run 10 win_tool.exe click "Tessel+ : Help" OK >/dev/null
front_end_holds_hook || fail "the front end lost the hook"

# Failed writes are reported and the sequence goes on: after Options the hook comes back
# (the file is writable again by the time the error is acknowledged: the library writes to
# it when it loads the maps), and Close gives the hook up before it reports.
chattr +i "$E2E_DIR/options.ini" || fail "chattr +i failed"
open_options
set_field 9 150
press Set
expect_message_box "Tessel+ : Error"
wait_until 5 eval '[ "$(message_box_text "Tessel+ : Error")" = "Unable to write to C:\\TESSEL\\OPTIONS.INI" ]' ||
  fail "error text: $(message_box_text "Tessel+ : Error")"
chattr -i "$E2E_DIR/options.ini"
wine_run 10 win_tool.exe click "Tessel+ : Error" OK >/dev/null
wait_until 10 front_end_holds_hook || fail "the hook did not come back after a failed write"
[ "$(ini_value options.ini Zoom)" = 100 ] || fail "the failed Set changed Zoom"
chattr +i "$E2E_DIR/options.ini"
menu_choose Controls Close
expect_message_box "Tessel+ : Error"
[ "$(front_value)" = 0 ] && ! hook_installed || fail "the hook was not given up before the error was shown"
wine_run 10 win_tool.exe click "Tessel+ : Error" OK >/dev/null
wait_until 10 eval '! kill -0 $FRONT_PID 2>/dev/null' || fail "the front end did not end after its error"
chattr -i "$E2E_DIR/options.ini"
echo PASS
