# Helpers for the end-to-end tests of the front end TESSEL32.EXE: its button window (class
# TMain), its menu (read through menu_probe.dll), the front value and the hidden-mode host.
# Source after harness.sh and mapper.sh.

# "hwnd title" of the visible button window, nothing when there is none.
button_window() {
  wine_run 10 win_tool.exe list 2>/dev/null | tr -d '\r' |
    sed -n 's/^\([0-9a-f]*\) [0-9]* TMain \[\(.*\)\] [-0-9,]*$/\1 \2/p' | head -n 1
}
button_title() { button_window | cut -d' ' -f2-; }
button_hwnd() { local w; w=$(button_window); [ -n "$w" ] && echo $((16#${w%% *})); }
button_rect() { wine_run 10 win_tool.exe list 2>/dev/null | tr -d '\r' | awk '$3 == "TMain" { print $NF; exit }'; }
title_is() { [ "$(button_title)" = "$1" ]; }
# expect_title TITLE [SECONDS]: the button window's caption (and the button's) becomes TITLE.
expect_title() {
  wait_until "${2:-5}" title_is "$1" || fail "expected the button to show [$1], it shows [$(button_title)]"
  [ "$(wine_run 10 win_tool.exe ctltext "$1" 0 | tr -d '\r')" = "$1" ] || fail "the button's own caption is not [$1]"
}

front_value() { store_field Front; }
# The button window exists and holds the hook: the front value is its handle.
front_end_holds_hook() {
  local hwnd; hwnd=$(button_hwnd)
  [ -n "$hwnd" ] && [ "$(front_value)" = "$hwnd" ] && hook_installed
}
host_holds_hook() { [ "$(front_value)" = -1 ] && hook_installed && process_count TESSHIDE32.EXE 1; }
process_count() { [ "$(wine_run 10 win_tool.exe list-processes 2>/dev/null | grep -ci "^$1 ")" = "$2" ]; }

# start_front_end [PROGRAM.EXE] ARGS...: the front end (TESSEL32.EXE unless named) in the
# background; waits for its window with the hook.
start_front_end() {
  local program=TESSEL32.EXE
  case ${1:-} in *.EXE|*.exe) program=$1; shift ;; esac
  wine_bg "$program" "$@"
  FRONT_PID=$E2E_BG_PID
  wait_until 30 front_end_holds_hook || fail "no button window holding the hook after $program $*"
}

# The open menus as menu_probe.dll reads them ("depth position id flags text rect").
menu_dump() { wine_run 10 win_tool.exe menu "$(button_title)" | tr -d '\r'; }
# The entries of the first open menu, one "flags text" per line at depth $1 (default 0).
menu_entries() {
  menu_dump | awk -F'\t' -v d="${1:-0}" '/^#menu/ { n++ } n == 1 && $1 == d { print $4 " " $5 }'
}
open_menu() {
  local title; title=$(button_title)
  wine_run 10 win_tool.exe click "$title" "$title" >/dev/null || fail "cannot click the button [$title]"
  wait_until 10 eval 'wine_run 5 win_tool.exe list | grep -q "#32768"' || fail "the menu did not open"
}
close_menu() {
  wine_run 10 win_tool.exe menu-close "$(button_title)" >/dev/null
  wait_until 10 eval '! wine_run 5 win_tool.exe list | grep -q "#32768"' || fail "the menu did not close"
}
# menu_choose ENTRY...: opens the menu and clicks each entry in turn (submenus on the way),
# each named as it shows ("Tom & Jerry").
menu_choose() {
  local title entry
  title=$(button_title)
  open_menu
  for entry in "$@"; do
    wait_until 10 wine_run 10 win_tool.exe menu-pick "$title" "$entry" || fail "cannot choose menu entry [$entry]"
  done
}

# A timed information window (captionless dialog) of a process other than the button window's.
info_windows() { wine_run 10 win_tool.exe list 2>/dev/null | tr -d '\r' | grep ' #32770 \[\] '; }
# The text of the message box CAPTION (its first Static control with a text).
message_box_text() {
  local index
  index=$(wine_run 10 win_tool.exe children "$1" 2>/dev/null | tr -d '\r' | awk '$2 == "Static" && $4 != "[]" { print $1; exit }')
  [ -n "$index" ] && wine_run 10 win_tool.exe ctltext "$1" "$index" | tr -d '\r'
}
expect_message_box() {
  wait_until 20 wine_run 5 win_tool.exe wait-window "$1" 1 || fail "no message box [$1]"
}
# Settings-file value as stored (CR removed).
ini_value() { tr -d '\r' < "$E2E_DIR/$1" | sed -n "s/^$2=//p" | head -n 1; }
