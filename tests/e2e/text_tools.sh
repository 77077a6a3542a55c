# Helpers for the end-to-end tests of the editor's dead keys and replacement-text tools.
# Source after editor.sh.

KD="Tessel+ : Dead key"
GRID="Tessel+ : Character selector"
FONT_DIALOG="Tessel+ : Select a font for displaying replacement text"
FONT_BUTTON=203 SEL_CHAR=208 LANG_LIST=217 INSERT_VK=218 VKEY_BOX=219 INSERT_SCAN=220 SCAN_CODE_BOX=221
DEAD_MAP=103 DEFAULT=105   # the dead-key dialog's two fields

# CHILD_INDEX := index of control ID of window TITLE in the order of `win_tool.exe
# children` (the same for every window of that title, so it is looked up once).
declare -A _CHILD_INDEX
index_in() {
  local key="$1|$2"
  [ -n "${_CHILD_INDEX[$key]:-}" ] ||
    _CHILD_INDEX[$key]=$(wine_run 10 win_tool.exe children "$1" | tr -d '\r' | awk -v id="$2" '$3 == id { print $1; exit }')
  CHILD_INDEX=${_CHILD_INDEX[$key]}
}
set_ctl_of() {
  index_in "$1" "$2"
  wine_run 10 win_tool.exe settext "$1" "$CHILD_INDEX" "$3" >/dev/null || fail "settext $2"
}
set_ctl() { set_ctl_of "$ED" "$@"; }
kd_ctl() { wine_run 10 win_tool.exe idtext "$KD" "$1" | tr -d '\r'; }
window_open() { wine_run 5 win_tool.exe wait-window "$1" 0.1; }
wait_window() { wait_until 20 window_open "$1" || fail "no window \"$1\""; }
wait_gone() { wait_until 10 wine_run 5 win_tool.exe wait-gone "$1" 1 || fail "window \"$1\" stayed"; }

# open_kill: the Kill (or Edit) button, then its dialog.
open_kill() { open_tool $KILL_BUTTON "$KD"; }
# end_dialog TITLE ID: clicks button ID (IDOK 1, IDCANCEL 2) and waits until TITLE is gone.
end_dialog() {
  wine_run 10 win_tool.exe clickid "$1" "$2" >/dev/null || fail "no button $2 in \"$1\""
  wait_gone "$1"
}
# kill_answer NAME DEFAULT ID: types the dialog's texts and ends it with "Accept" (1) or
# "<- Back" (2).
kill_answer() {
  set_ctl_of "$KD" $DEAD_MAP "$1"
  set_ctl_of "$KD" $DEFAULT "$2"
  end_dialog "$KD" "$3"
}

# focus_control ID: X focus and Wine foreground on the editor, then a real click into the
# control until it has the focus.
focus_control() {
  local try
  wait_until 10 focus_window "$ED" || fail "cannot focus the editor"
  for try in 1 2 3; do
    click_at $(control_centre "$ED" "$1")
    wait_until 2 focus_is "$1" && return 0
  done
  fail "control $1 has no focus (focus: $(wine_run 5 win_tool.exe focusid))"
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
control_rect() { wine_run 10 win_tool.exe children "$ED" | tr -d '\r' | awk -v id="$1" '$3 == id { print $(NF-1); exit }'; }

# grid_geometry: the character selector's client area and cell pitch (GL GT GR GB PITCH_X
# PITCH_Y); cell_rect COLUMN ROW and cell_centre COLUMN ROW in screen coordinates.
grid_geometry() {
  IFS=, read -r GL GT GR GB <<<"$(wine_run 10 win_tool.exe clientrect "$GRID" | tr -d '\r')"
  PITCH_X=$(( (GR - GL - 3) / 16 )) PITCH_Y=$(( (GB - GT - 3) / 14 ))
  [ $(( (GR - GL - 3) % 16 )) = 0 ] && [ $(( (GB - GT - 3) % 14 )) = 0 ] || fail "grid client area $GL,$GT,$GR,$GB"
}
cell_rect() { echo "$(( GL + 1 + $1 * PITCH_X )),$(( GT + 1 + $2 * PITCH_Y )),$(( GL + ($1 + 1) * PITCH_X )),$(( GT + ($2 + 1) * PITCH_Y ))"; }
cell_centre() { echo "$(( GL + 1 + $1 * PITCH_X + PITCH_X / 2 )) $(( GT + 1 + $2 * PITCH_Y + PITCH_Y / 2 ))"; }
# open_tool ID TITLE: clicks the editor's button ID and waits for the window it opens.
open_tool() {
  wine_run 10 win_tool.exe clickid "$ED" "$1" >/dev/null || fail "no button $1"
  wait_window "$2"
}
# pick_character CODE: opens the selector with "Character" and clicks the cell of CODE.
pick_character() {
  open_tool $SEL_CHAR "$GRID"
  grid_geometry
  click_at $(cell_centre $(( ($1 - 32) % 16 )) $(( ($1 - 32) / 16 )))
  wait_gone "$GRID"
}
