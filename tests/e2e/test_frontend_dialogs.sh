#!/usr/bin/env bash
# The front end's dialogs: the options dialog (mapping off while it is open, a second start
# still refused, controls, tab order and hints, fall-backs, "< Back" writes nothing, "Set"
# writes (a title with blanks around it survives a restart), the zoom scales the next
# dialog), the About box, the help file, and failed writes
# of the settings file that are reported while the hook still comes back.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup
ini=$(settings_file options.ini)
OPTIONS="Tessel+ : Options"

# Control ids of the options dialog.
BEEP=101 DURATION=103 SET=1 OFF_TITLE=105 BACK=2 ON_TOP=106 ZOOM=108 INFO=900
open_options() { menu_choose Controls Options; wait_window "$OPTIONS" 10; }
field() { W text "$OPTIONS" "$1"; }
set_field() { W settext "$OPTIONS" "$1" "$2" >/dev/null || fail "settext $1"; }
press() { click "$OPTIONS" "$1"; }
# "width height" of the dialog's control ID, its rect on the screen.
control_rect() { W children "$OPTIONS" | awk -v id="$1" '$3 == id { print $(NF-1); exit }'; }
control_size() { local l t r b; IFS=, read -r l t r b <<<"$(control_rect "$1")"; echo $((r - l)) $((b - t)); }
checked() { [ "$(W checked "$OPTIONS" "$1")" = 1 ]; }
topmost() { [ $(( 0x$(W style "$1" | cut -d' ' -f2) & 0x8 )) -ne 0 ]; }

start_front_end "/I:$ini"
expect_title First
topmost First || fail "OnTop (default 1) did not make the window topmost"

# While the dialog is open mapping is off, the button shows the off title, and a second
# start is still refused.
open_options
[ "$(front_value)" = 0 ] && ! hook_installed || fail "mapping is not off while the options dialog is open"
W list | grep -q ' TSettings \[Tessel+ : Options\]' || fail "the dialog is not of class TSettings"
expect_title "All off" 2
wine_bg TESSEL32.EXE "/I:$ini"
second=$E2E_BG_PID
wait_until 15 ended $second || fail "a second start while the options dialog is open did not end"
running TESSEL32.EXE 1 || fail "two front ends run"

# Controls in creation (= tab) order, filled from the settings file: the stored "abc" is
# shown as stored, the stored zoom 89 became 100 at start. Last the Info panel, whose text
# is the hint of whatever lies under the mouse.
expected=$(printf '%s\n' 'Button Beep on map change' 'Static Message duration' 'Edit abc' 'Button Set' \
  'Static Title when off' 'Edit All off' 'Button < Back' 'Button Always on top' 'Static Zoom  (%)' \
  'Edit 100' 'Static')
actual=$(W children "$OPTIONS" |
  sed 's/^[0-9]* \([A-Za-z]*\) [0-9-]* \[\(.*\)\] .*$/\1 \2/; $s/ .*//')
[ "$actual" = "$expected" ] || fail "controls of the options dialog:
$actual"
checked $BEEP && checked $ON_TOP || fail "Beep and Always on top should be ticked (defaults)"
[ "$(control_size $SET)" = "65 20" ] && [ "$(control_size $INFO)" = "269 19" ] ||
  fail "sizes at zoom 100: Set $(control_size $SET), Info $(control_size $INFO)"

# Tab order and hints.
focus_window "$OPTIONS" || fail "cannot focus the options dialog"
order=$(W focus)
for i in 1 2 3 4 5 6 7; do keys bp:09,0f; order="$order|$(W focus)"; done
[ "$order" = "101 Button [Beep on map change]|103 Edit [abc]|1 Button [Set]|105 Edit [All off]|2 Button [< Back]|106 Button [Always on top]|108 Edit [100]|101 Button [Beep on map change]" ] ||
  fail "tab order: $order"
hint_at() {  # hint_at CONTROL-ID HINT: the Info panel's text with the mouse over that control
  local l t r b wanted=$2
  IFS=, read -r l t r b <<<"$(control_rect "$1")"
  timeout 5 xdotool mousemove $(( (l + r) / 2 )) $(( (t + b) / 2 )) sleep 0.1 mousemove $(( (l + r) / 2 + 1 )) $(( (t + b) / 2 ))
  wait_until 3 eval '[ "$(field $INFO)" = "$wanted" ]' || fail "hint over control $1: [$(field $INFO)], expected [$2]"
}
hint_at $ZOOM "Magnification in percents (90 - 1000)"
hint_at 107 "Magnification of the visible elements"
hint_at $DURATION "Time in milliseconds; 0 means no message"
hint_at $BACK "Discard changes"
e2e_screenshot frontend_options_100

# "< Back" after changing every field leaves the file byte for byte as it was; the hook
# comes back with the stored map.
cp "$E2E_DIR/options.ini" "$E2E_DIR/before-back.ini"
set_field $DURATION 5; set_field $OFF_TITLE X; set_field $ZOOM 300
press $BEEP; press $ON_TOP
press $BACK
wait_gone "$OPTIONS"
wait_until 10 front_end_holds_hook || fail "the hook did not come back after < Back"
cmp -s "$E2E_DIR/options.ini" "$E2E_DIR/before-back.ini" || fail "< Back changed the settings file: $(diff "$E2E_DIR/before-back.ini" "$E2E_DIR/options.ini")"
expect_title First 2

# "Set": "abc" falls back to 300, the zoom change deletes the editor's place, the keys the
# file did not have are appended in the order of the writes.
open_options
set_field $OFF_TITLE ' Off '; set_field $ZOOM 200
press $ON_TOP
press $SET
wait_gone "$OPTIONS"
wait_until 10 front_end_holds_hook || fail "the hook did not come back after Set"
keys=$(section options.ini TESSEL32 | cut -d= -f1 | tr '\n' ' ')
[ "$keys" = "MessageShowTime Zoom Selected TitleWhenOff Allocate DoBeep OnTop " ] || fail "[TESSEL32] keys after Set: $keys"
for key in MessageShowTime=300 Zoom=200 TitleWhenOff='" Off "' DoBeep=1 OnTop=0; do
  [ "$(ini_value options.ini "${key%%=*}")" = "${key#*=}" ] || fail "after Set ${key%%=*}=$(ini_value options.ini "${key%%=*}")"
done
! topmost First || fail "OnTop=0 did not take the window out of the topmost layer"
wine_run 10 store_client.exe select 0 >/dev/null
expect_title ' Off ' 2

# The zoom applies to the next dialog: twice as large. A zoom of 89 falls back to 100.
open_options
[ "$(control_size $SET)" = "130 40" ] && [ "$(control_size $INFO)" = "538 38" ] ||
  fail "sizes at zoom 200: Set $(control_size $SET), Info $(control_size $INFO)"
[ "$(field $ZOOM)" = 200 ] && [ "$(field $DURATION)" = 300 ] ||
  fail "fields at the second opening: zoom $(field $ZOOM), duration $(field $DURATION)"
e2e_screenshot frontend_options_200
set_field $ZOOM 89
press $SET
wait_gone "$OPTIONS"
[ "$(ini_value options.ini Zoom)" = 100 ] || fail "zoom 89 was stored as $(ini_value options.ini Zoom)"

# The About box leaves the hook installed.
wine_run 10 store_client.exe select 1 >/dev/null
expect_title First 2
menu_choose Controls Help About
wait_window "About : Tessel+" 10
W list | grep -q ' TAbout \[About : Tessel+\]' || fail "the About box is not of class TAbout"
version=$(W text "About : Tessel+" 101)
[ "$version" = "Tessel+ (64 bit)       ver: 4.1.9 / 4.1.9" ] || fail "About version line: [$version]"
front_end_holds_hook || fail "the About box took the hook away"
e2e_screenshot frontend_about
click "About : Tessel+" Ok
wait_gone "About : Tessel+"

# Help: the HTML help viewer opens TESSEL32.CHM beside the program; without the file a
# message says so.
menu_choose Controls Help Contents
wait_until 20 eval 'W list | grep -q " HH Parent \[Tessel+ Help\]"' || fail "the help viewer did not open"
e2e_screenshot frontend_help
W close "Tessel+ Help" >/dev/null
wait_until 10 eval '! W list | grep -q " HH Parent "' || fail "the help viewer did not close"
mv "$E2E_DIR/TESSEL32.CHM" "$E2E_DIR/moved.chm"
menu_choose Controls Help Contents
wait_window "Tessel+ : Help"
wait_until 5 eval 'box_text "Tessel+ : Help" | grep -q TESSEL32.chm' || fail "the message does not name the file: $(box_text "Tessel+ : Help")"
close_box "Tessel+ : Help"
front_end_holds_hook || fail "the front end lost the hook"

# Failed writes are reported and the sequence goes on: after Options the hook comes back
# (the file is writable again by the time the error is acknowledged: the library writes to
# it when it loads the maps), and Close gives the hook up before it reports.
chattr +i "$E2E_DIR/options.ini" || fail "chattr +i failed"
open_options
set_field $ZOOM 150
press $SET
wait_window "Tessel+ : Error"
chattr -i "$E2E_DIR/options.ini"
close_box "Tessel+ : Error" 'Unable to write to C:\TESSEL\OPTIONS.INI'
wait_until 10 front_end_holds_hook || fail "the hook did not come back after a failed write"
[ "$(ini_value options.ini Zoom)" = 100 ] || fail "the failed Set changed Zoom"
chattr +i "$E2E_DIR/options.ini"
menu_choose Controls Close
wait_window "Tessel+ : Error"
[ "$(front_value)" = 0 ] && ! hook_installed || fail "the hook was not given up before the error was shown"
close_box "Tessel+ : Error"
wait_until 10 ended $FRONT_PID || fail "the front end did not end after its error"
chattr -i "$E2E_DIR/options.ini"

# The title typed as " Off " is what the next start shows, blanks included.
start_front_end "/I:$ini"
wine_run 10 store_client.exe select 0 >/dev/null
expect_title ' Off ' 2
echo PASS
