# Helpers for the end-to-end tests of the map menu's commands: the menu opened with a real
# right-click on the map list, the prompt dialogs (class TAsk) and the file dialogs they
# show, and sections of settings and map files. Source after editor.sh.

# win_tool with CR removed, keeping its exit status.
W() {
  local out rc
  out=$(wine_run 20 win_tool.exe "$@")
  rc=$?
  printf '%s\n' "$out" | tr -d '\r'
  return $rc
}

# at_exit COMMAND: run at the end of the test, before the harness tears down.
_AT_EXIT=()
at_exit() {
  _AT_EXIT+=("$1")
  trap '_rc=$?; for _c in "${_AT_EXIT[@]}"; do eval "$_c"; done; (exit $_rc); e2e_teardown' EXIT
}
# Windows left to no window manager at all (before the front end starts): hiding a
# captioned window then costs no 2 s wait (docs/platform-notes.md).
unmanaged_windows() {
  wine_run 20 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null || fail "reg add Managed"
  at_exit "wine_run 20 reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null"
}

# map_menu ENTRY: right-click on the map list, then New, Copy, Delete, Rename, Import or
# Export from the menu (the first Down highlights New).
map_menu() {
  local keys=(28) entry x y
  for entry in New Copy Delete Rename Import Export; do
    [ "$entry" = "$1" ] && break
    keys+=(28)
  done
  read -r x y <<<"$(control_centre "$ED" $MAP_LIST)"
  click_at "$x" "$y" 3
  wine_run 20 win_tool.exe menukeys "${keys[@]}" 0d >/dev/null || fail "no map menu for $1"
}

# The title of the open prompt (empty when none).
prompt_title() { W list | awk '$3 == "TAsk"' | sed -n 's/^[^[]*\[\(.*\)\] [-0-9,]*$/\1/p' | head -n 1; }
prompt_is() { [ "$(prompt_title)" = "$1" ]; }
expect_prompt() { wait_until 20 prompt_is "$1" || fail "expected the prompt [$1], open: [$(prompt_title)]"; }
no_prompt() { [ -z "$(prompt_title)" ]; }
# The prompt's text, its answer field's text, the visible buttons ("<-Back|Ok").
prompt_text() { W idtext "$(prompt_title)" 105; }
answer_index() { W children "$(prompt_title)" | awk '$2 == "Edit" { print $1; exit }'; }
answer() { W ctltext "$(prompt_title)" "$(answer_index)"; }
answer_is() { [ "$(answer)" = "$1" ]; }
prompt_buttons() {
  W children "$(prompt_title)" | awk '$2 == "Button" && $NF == 1' | sed 's/^[^[]*\[\(.*\)\] .*$/\1/' | paste -sd'|'
}
# The answer field as win_tool's combo shows it: "simple|dropdown N SEL" and the items.
answer_field() { W combo "$(prompt_title)" "$(W children "$(prompt_title)" | awk '$2 == "ComboBox" { print $1; exit }')"; }
# answer_with TEXT BUTTON: types TEXT into the answer field and presses BUTTON.
answer_with() {
  local title; title=$(prompt_title)
  W settext "$title" "$(answer_index)" "$1" >/dev/null
  W click "$title" "$2" >/dev/null || fail "no button $2 in the prompt [$title]"
}
press_prompt() { W click "$(prompt_title)" "$1" >/dev/null || fail "no button $1 in the prompt"; }
# refused TEXT MESSAGE: the name is refused and the prompt comes back holding it.
refused() {
  local title; title=$(prompt_title)
  answer_with "$1" Ok
  expect_info "$2"
  expect_prompt "$title"
  wait_until 5 answer_is "$1" || fail "the prompt came back with [$(answer)] instead of [$1]"
}

has_file_name_field() { W children "$1" | grep -qE "^[0-9]+ Edit 1148 "; }
# The file type filters of dialog TITLE, "|"-separated, the preselected one first.
file_filters() {
  W combo "$1" "$(W children "$1" | awk '$2 == "ComboBox" && $3 == 1136 { print $1 }')" | paste -sd'|'
}
# file_dialog TITLE NAME BUTTON [FILTERS]: types NAME into the open or save dialog and presses
# BUTTON; with FILTERS, checks the type filters first.
file_dialog() {
  local index
  wait_until 30 W wait-window "$1" 1 || fail "no file dialog [$1]"
  wait_until 10 has_file_name_field "$1" || fail "no file name field in [$1]"
  [ -z "$4" ] || [ "$(file_filters "$1")" = "$4" ] || fail "filters of [$1]: $(file_filters "$1")"
  index=$(W children "$1" | awk '$2 == "Edit" && $3 == 1148 { print $1 }')
  W settext "$1" "$index" "$2" >/dev/null
  W click "$1" "$3" >/dev/null || fail "no button $3 in [$1]"
}
IMPORT_DIALOG='Select a file with a keyboard map'
EXPORT_DIALOG='Select a file for storing the map (can be new)'

# section FILE NAME: the lines of section [NAME] of a file in C:\tessel, without CR.
section() { tr -d '\r' <"$E2E_DIR/$1" | awk -v s="[$2]" '/^\[/ { inside = ($0 == s); next } inside'; }
# The map list's entries ("<off>" first) and the selected one ("" when none).
map_names() { items $MAP_LIST | cut -d' ' -f4- | paste -sd'|'; }
selected_entry() { items $MAP_LIST | awk '$2 == "*" { $1 = $2 = $3 = ""; sub(/^ +/, ""); print }'; }
# The index of entry NAME in the map list.
entry_index() { items $MAP_LIST | awk -v n="$1" '{ i = $1; $1 = $2 = $3 = ""; sub(/^ +/, ""); if ($0 == n) print i }'; }
click_map() { click_map_entry "$(entry_index "$1")"; }
