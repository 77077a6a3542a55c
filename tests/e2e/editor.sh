# Helpers for the end-to-end tests of the map editor: the front end with a test settings
# file, the editor opened from the button's menu, and its controls read by control id.
# Source after harness.sh and mapper.sh.

ED="Tessel+ : Map editor"
# Control ids of the editor window.
MAP_LIST=200 SELECTOR_VIEW=201 ASSIGNMENTS=202 SHIFT_BOX=205 CONTROL_BOX=206 ALT_BOX=207
KEY_BOX=209 TEXT_BOX=210 KILL_BUTTON=214 MORE_BUTTON=215 MACRO_BOX=216 CLOSE_BUTTON=222 INFO=900

# start_editor_front_end SETTINGS BUTTONTITLE [options]: TESSEL32.EXE /I:<file>; waits for its button.
start_editor_front_end() {
  local ini=$1 title=$2; shift 2
  wine_bg TESSEL32.EXE "/I:$ini" "$@"
  wait_until 20 wine_run 5 win_tool.exe wait-window "$title" 1 || fail "no button window \"$title\""
  wait_until 10 hook_installed || fail "the front end did not install the hook"
}

# Centre of a descendant of window TITLE with control id ID, in screen coordinates.
control_centre() {
  wine_run 10 win_tool.exe children "$1" | tr -d '\r' |
    awk -v id="$2" '$3 == id { n = split($(NF-1), r, ","); print int((r[1]+r[3])/2), int((r[2]+r[4])/2); exit }'
}

# Index of the editor's control ID in the order of `win_tool.exe children`.
child_index() { wine_run 10 win_tool.exe children "$ED" | tr -d '\r' | awk -v id="$1" '$3 == id { print $1; exit }'; }

click_at() { timeout 5 xdotool mousemove "$1" "$2" click "${3:-1}" || fail "xdotool click $*"; }

# open_editor BUTTONTITLE: a real click on the button, then Controls > Edit Maps in its menu.
open_editor() {
  local rect l t r b
  rect=$(wine_run 10 win_tool.exe rect "$1" | tr -d '\r')
  IFS=, read -r l t r b <<<"$rect"
  [ -n "$b" ] || fail "no button window \"$1\""
  click_at $(( (l + r) / 2 )) $(( (t + b) / 2 ))
  wine_run 20 win_tool.exe menukeys 26 27 28 28 28 28 28 0d >/dev/null || fail "the button's menu did not open"
  wait_until 20 wine_run 5 win_tool.exe wait-window "$ED" 1 || fail "the map editor did not open"
}

ctl() { wine_run 10 win_tool.exe idtext "$ED" "$1" | tr -d '\r'; }
ctl_is() { [ "$(ctl "$1")" = "$2" ]; }
expect_ctl() { wait_until "${3:-5}" ctl_is "$1" "$2" || fail "control $1: expected [$2], got [$(ctl "$1")]"; }
checked() { wine_run 10 win_tool.exe checked "$ED" "$1" | tr -d '\r'; }
# The boxes S, C, A as "010".
boxes() { echo "$(checked $SHIFT_BOX)$(checked $CONTROL_BOX)$(checked $ALT_BOX)"; }
boxes_are() { [ "$(boxes)" = "$1" ]; }
expect_boxes() { wait_until 5 boxes_are "$1" || fail "state boxes: expected $1, got $(boxes)"; }
# Items of a list box: "index */- data text" with control characters as \xHH.
items() { wine_run 10 win_tool.exe lbitems "$ED" "$1" | tr -d '\r'; }
# The visible part of the assignment rows (the two key bytes cut off by the item data).
rows() { items $ASSIGNMENTS | cut -d' ' -f4- | sed -E 's/(\\x[0-9A-F]{2}|.)(\\x[0-9A-F]{2}|.)$//'; }
selected_row() { items $ASSIGNMENTS | awk '$2 == "*" { $1 = $2 = $3 = ""; sub(/^ +/, ""); print }'; }
press() { click_button "$1"; }
click_button() { wine_run 10 win_tool.exe click "$ED" "$1" >/dev/null || fail "no button $1"; }
info_is() { ctl_is $INFO "$1"; }
expect_info() { wait_until 5 info_is "$1" || fail "Info: expected [$1], got [$(ctl $INFO)]"; }
# The settings file's lines without CR.
ini_text() { tr -d '\r' <"$E2E_DIR/$1"; }
ini_has() { ini_text "$1" | grep -Fxq -- "$2"; }
# A real click on entry INDEX of the map list (13 pixels a line), until it is selected.
map_entry_selected() { items $MAP_LIST | grep -q "^$1 \*"; }
click_map_entry() {
  local rect l t r b try
  rect=$(wine_run 10 win_tool.exe children "$ED" | tr -d '\r' | awk -v id=$MAP_LIST '$3 == id { print $(NF-1) }')
  IFS=, read -r l t r b <<<"$rect"
  for try in 1 2 3; do
    click_at $(( l + 20 )) $(( t + 2 + 13 * $1 + 6 ))
    wait_until 2 map_entry_selected "$1" && return 0
  done
  fail "map entry $1 not selected: $(items $MAP_LIST)"
}
focus_is() { [ "$(wine_run 5 win_tool.exe focusid | tr -d '\r')" = "$1" ]; }
# Keys typed through X into the editor's key field: X focus and Wine foreground on the
# editor, then a real click into the field (again when a click is lost).
focus_key_box() {
  local try
  wait_until 10 focus_window "$ED" || fail "cannot focus the editor"
  for try in 1 2 3; do
    click_at $(control_centre "$ED" $KEY_BOX)
    wait_until 2 focus_is $KEY_BOX && return 0
  done
  fail "the key field has no focus (focus: $(wine_run 5 win_tool.exe focusid), foreground: $(wine_run 5 win_tool.exe getfg))"
}
type_keys() { timeout 10 xdotool key --delay 80 "$@" || fail "xdotool key $*"; }
# An error box of the front end: its text, then closed with OK.
error_box_text() { wine_run 10 win_tool.exe children "Tessel+ : Error" | tr -d '\r' | grep -o 'Static -\?[0-9]* \[[^]]\+\]' | sed 's/^[^[]*\[//; s/\]$//'; }
