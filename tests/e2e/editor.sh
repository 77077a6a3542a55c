# Helpers for the end-to-end tests of the map editor, opened from the button's menu: its
# controls by control id, the map menu's commands with their prompts (class TAsk) and file
# dialogs, the dead-key dialog, the character selector and pictures of controls.
# Source after harness.sh and mapper.sh.

ED="Tessel+ : Map editor"
KD="Tessel+ : Dead key"
GRID="Tessel+ : Character selector"
FONT_DIALOG="Tessel+ : Select a font for displaying replacement text"
IMPORT_DIALOG='Select a file with a keyboard map'
EXPORT_DIALOG='Select a file for storing the map (can be new)'
# Control ids of the editor window and of the dead-key dialog.
MAP_LIST=200 SELECTOR_VIEW=201 ASSIGNMENTS=202 FONT_BUTTON=203 SHIFT_BOX=205 CONTROL_BOX=206
ALT_BOX=207 SEL_CHAR=208 KEY_BOX=209 TEXT_BOX=210 KILL_BUTTON=214 MORE_BUTTON=215 MACRO_BOX=216
LANG_LIST=217 INSERT_VK=218 VKEY_BOX=219 INSERT_SCAN=220 SCAN_CODE_BOX=221 INFO=900
DEAD_MAP=103 DEFAULT=105

open_editor() { menu_choose Controls "Edit Maps"; wait_window "$ED"; }
ctl() { W text "$ED" "$1"; }
ctl_is() { [ "$(ctl "$1")" = "$2" ]; }
expect_ctl() { wait_until "${3:-5}" ctl_is "$1" "$2" || fail "control $1: expected [$2], got [$(ctl "$1")]"; }
set_ctl_of() { W settext "$1" "$2" "$3" >/dev/null || fail "no control $2 in \"$1\""; }
set_ctl() { set_ctl_of "$ED" "$@"; }
press() { click "$ED" "$1"; }
info_is() { ctl_is $INFO "$1"; }
expect_info() { wait_until 5 info_is "$1" || fail "Info: expected [$1], got [$(ctl $INFO)]"; }
checked() { W checked "$ED" "$1"; }
# The boxes S, C, A as "010".
boxes() { echo "$(checked $SHIFT_BOX)$(checked $CONTROL_BOX)$(checked $ALT_BOX)"; }
boxes_are() { [ "$(boxes)" = "$1" ]; }
expect_boxes() { wait_until 5 boxes_are "$1" || fail "state boxes: expected $1, got $(boxes)"; }
# Items of a list box: "index */- data text" with control characters as \xHH.
items() { W items "$ED" "$1"; }
# The visible part of the assignment rows (the two key bytes cut off by the item data).
rows() { items $ASSIGNMENTS | cut -d' ' -f4- | sed -E 's/(\\x[0-9A-F]{2}|.)(\\x[0-9A-F]{2}|.)$//'; }
selected_row() { items $ASSIGNMENTS | awk '$2 == "*" { $1 = $2 = $3 = ""; sub(/^ +/, ""); print }'; }
# The map list's entries ("<off>" first), the selected one ("" when none), the index of one.
map_names() { items $MAP_LIST | cut -d' ' -f4- | paste -sd'|'; }
selected_entry() { items $MAP_LIST | awk '$2 == "*" { $1 = $2 = $3 = ""; sub(/^ +/, ""); print }'; }
entry_index() { items $MAP_LIST | awk -v n="$1" '{ i = $1; $1 = $2 = $3 = ""; sub(/^ +/, ""); if ($0 == n) print i }'; }

# control_rect [TITLE] ID and control_centre [TITLE] ID: on the screen (TITLE: the editor).
control_rect() {
  [ $# -gt 1 ] || set -- "$ED" "$1"
  W children "$1" | awk -v id="$2" '$3 == id { print $(NF-1); exit }'
}
control_centre() { local l t r b; IFS=, read -r l t r b <<<"$(control_rect "$@")"; echo $(( (l + r) / 2 )) $(( (t + b) / 2 )); }
click_at() { timeout 5 xdotool mousemove "$1" "$2" click "${3:-1}" || fail "xdotool click $*"; }
type_keys() { timeout 10 xdotool key --delay 80 "$@" || fail "xdotool key $*"; }
# A real click on entry INDEX of the map list (13 pixels a line), until it is selected.
map_entry_selected() { items $MAP_LIST | grep -q "^$1 \*"; }
click_map_entry() {
  local l t r b try
  IFS=, read -r l t r b <<<"$(control_rect $MAP_LIST)"
  for try in 1 2 3; do
    click_at $(( l + 20 )) $(( t + 2 + 13 * $1 + 6 ))
    wait_until 2 map_entry_selected "$1" && return 0
  done
  fail "map entry $1 not selected: $(items $MAP_LIST)"
}
click_map() { click_map_entry "$(entry_index "$1")"; }
focus_is() { [ "$(W focus | cut -d' ' -f1)" = "$1" ]; }
# focus_control ID: X focus and Wine foreground on the editor, then a real click into the
# control (again when a click is lost), so that keys typed through X arrive there.
focus_control() {
  local try
  wait_until 10 focus_window "$ED" || fail "cannot focus the editor"
  for try in 1 2 3; do
    click_at $(control_centre "$1")
    wait_until 2 focus_is "$1" && return 0
  done
  fail "control $1 has no focus (focus: $(W focus), foreground: $(W getfg))"
}
focus_key_box() { focus_control $KEY_BOX; }

# --- The map menu and its prompts ---

# Windows left to no window manager at all (before the front end starts): hiding a
# captioned window then costs no 2 s wait (docs/platform-notes.md).
unmanaged_windows() {
  wine_run 20 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null || fail "reg add Managed"
  at_exit "wine_run 20 reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null"
}

# map_menu ENTRY: right-click on the map list, then New, Copy, Delete, Rename, Import or
# Export from the menu.
map_menu() {
  click_at $(control_centre $MAP_LIST) 3
  W menu-pick "$ED" "$1" >/dev/null || fail "no map menu for $1"
}
# The title of the open prompt (empty when none).
prompt_title() { W list | awk '$3 == "TAsk"' | sed -n 's/^[^[]*\[\(.*\)\] [-0-9,]*$/\1/p' | head -n 1; }
prompt_is() { [ "$(prompt_title)" = "$1" ]; }
expect_prompt() { wait_until 20 prompt_is "$1" || fail "expected the prompt [$1], open: [$(prompt_title)]"; }
no_prompt() { [ -z "$(prompt_title)" ]; }
# The prompt's text, its answer field's text and state, the visible buttons ("<-Back|Ok").
prompt_text() { W text "$(prompt_title)" 105; }
answer() { W text "$(prompt_title)" 104; }
answer_is() { [ "$(answer)" = "$1" ]; }
answer_field() { combo_state "$(prompt_title)" 104; }
prompt_buttons() {
  W children "$(prompt_title)" | awk '$2 == "Button" && $NF == 1' | sed 's/^[^[]*\[\(.*\)\] .*$/\1/' | paste -sd'|'
}
# answer_with TEXT BUTTON: types TEXT into the answer field and presses BUTTON.
answer_with() {
  local title; title=$(prompt_title)
  W settext "$title" 104 "$1" >/dev/null
  click "$title" "$2"
}
press_prompt() { click "$(prompt_title)" "$1"; }
# refused TEXT MESSAGE: the name is refused and the prompt comes back holding it.
refused() {
  local title; title=$(prompt_title)
  answer_with "$1" Ok
  expect_info "$2"
  expect_prompt "$title"
  wait_until 5 answer_is "$1" || fail "the prompt came back with [$(answer)] instead of [$1]"
}
# file_dialog TITLE NAME BUTTON [FILTERS]: types NAME into the open or save dialog and presses
# BUTTON; with FILTERS ("|"-separated, the preselected one first), checks the type filters.
file_dialog() {
  wait_window "$1" 30
  wait_until 10 W text "$1" 1148 || fail "no file name field in [$1]"
  [ -z "$4" ] || [ "$(combo_state "$1" 1136 | paste -sd'|')" = "$4" ] ||
    fail "filters of [$1]: $(combo_state "$1" 1136)"
  W settext "$1" 1148 "$2" >/dev/null
  click "$1" "$3"
}

# --- Dead keys and the text tools ---

kd_ctl() { W text "$KD" "$1"; }
# open_tool ID TITLE: clicks the editor's button ID and waits for the window it opens.
open_tool() { click "$ED" "$1"; wait_window "$2"; }
open_kill() { open_tool $KILL_BUTTON "$KD"; }
# end_dialog TITLE ID: clicks button ID (IDOK 1, IDCANCEL 2) and waits until TITLE is gone.
end_dialog() { click "$1" "$2"; wait_gone "$1"; }
# kill_answer NAME DEFAULT ID: types the dead-key dialog's texts and ends it with "Accept"
# (1) or "<- Back" (2).
kill_answer() {
  set_ctl_of "$KD" $DEAD_MAP "$1"
  set_ctl_of "$KD" $DEFAULT "$2"
  end_dialog "$KD" "$3"
}
# grid_geometry: the character selector's client area and cell pitch (GL GT GR GB PITCH_X
# PITCH_Y); cell_rect COLUMN ROW and cell_centre COLUMN ROW in screen coordinates.
grid_geometry() {
  IFS=, read -r GL GT GR GB <<<"$(W rect "$GRID" client)"
  PITCH_X=$(( (GR - GL - 3) / 16 )) PITCH_Y=$(( (GB - GT - 3) / 14 ))
  [ $(( (GR - GL - 3) % 16 )) = 0 ] && [ $(( (GB - GT - 3) % 14 )) = 0 ] || fail "grid client area $GL,$GT,$GR,$GB"
}
cell_rect() { echo "$(( GL + 1 + $1 * PITCH_X )),$(( GT + 1 + $2 * PITCH_Y )),$(( GL + ($1 + 1) * PITCH_X )),$(( GT + ($2 + 1) * PITCH_Y ))"; }
cell_centre() { echo "$(( GL + 1 + $1 * PITCH_X + PITCH_X / 2 )) $(( GT + 1 + $2 * PITCH_Y + PITCH_Y / 2 ))"; }
# pick_character CODE: opens the selector with "Character" and clicks the cell of CODE.
pick_character() {
  open_tool $SEL_CHAR "$GRID"
  grid_geometry
  click_at $(cell_centre $(( ($1 - 32) % 16 )) $(( ($1 - 32) / 16 )))
  wait_gone "$GRID"
}

# crop SHOT L,T,R,B OUT: a part of a screenshot.
crop() {
  local l t r b
  IFS=, read -r l t r b <<<"$2"
  timeout 20 convert "$1" -crop "$((r - l))x$((b - t))+$l+$t" +repage "$3" || fail "convert $1"
}
# Darkest pixel of an image, 0 (black) to 1 (white).
darkest() { timeout 20 convert "$1" -colorspace Gray -format '%[fx:minima]' info:; }
same_image() { [ "$(timeout 20 compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
