# Helpers for the end-to-end tests of the mapper: the hidden-mode host and the front end
# TESSEL32.EXE (its button window of class TMain and the button's menu, read through
# menu_probe.dll) with a test settings file, target windows to type into, and checks of what
# arrived. Source after harness.sh.

# Copies tests/e2e/data/NAME into C:\tessel and prints its Windows path.
settings_file() {
  cp "$_E2E_HERE/data/$1" "$E2E_DIR/$1" || fail "no settings file $1"
  printf 'C:\\tessel\\%s' "$1"
}

# A header field as the store tool prints it ("SelectedMap=1").
store_field() { wine_run 10 tesselstore.exe 2>/dev/null | tr -d '\r' | sed -n "s/^$1=//p" | head -n 1; }
selected_is() { [ "$(store_field SelectedMap)" = "$1" ]; }
front_value() { store_field Front; }
hook_installed() { [[ "$(store_field HookHandle)" =~ ^[1-9-] ]]; }
host_holds_hook() { [ "$(front_value)" = -1 ] && hook_installed && running TESSHIDE32.EXE 1; }

# start_host SETTINGS [options...]: TESSHIDE32.EXE /I:<file> ...; waits for the hook.
start_host() {
  local ini=$1; shift
  wine_bg TESSHIDE32.EXE "/I:$ini" "$@"
  HOST_PID=$E2E_BG_PID
  wait_until 20 hook_installed || fail "the hidden-mode host did not install the hook"
}

# start_target TITLE [args]: a target window, focused.
start_target() {
  local title=$1; shift
  rm -f "$E2E_DIR/$title.txt" "$E2E_DIR/$title.msg"
  wine_bg target_app.exe "$title" "$@"
  wait_window "$title"
  wait_until 10 test -f "$E2E_DIR/$title.txt" || fail "window $title writes no text file"
  wait_until 10 focus_window "$title" || fail "cannot focus $title"
}

# Text of the target's first edit control.
target_text() { tr -d '\r' < "$E2E_DIR/$1.txt" 2>/dev/null; }
text_is() { [ "$(target_text "$1")" = "$2" ]; }
text_ends_with() { case "$(target_text "$1")" in *"$2") return 0 ;; *) return 1 ;; esac; }
# expect_text TITLE TEXT [SECONDS]
expect_text() {
  wait_until "${3:-5}" text_is "$1" "$2" || fail "expected [$2] in $1, got [$(target_text "$1")]"
}

# Keyboard messages the target's edit received, without the time stamps:
# "1 WM_KEYDOWN 0x41 0x001E0001".
target_messages() { tr -d '\r' < "$E2E_DIR/$1.msg" 2>/dev/null | cut -d' ' -f2-; }

# Sends keys (send_keys.exe tokens) to the foreground window.
keys() { wine_run 20 send_keys.exe "$@" >/dev/null || fail "send_keys $*"; }

# The timed information window (a captionless dialog): its rect, empty when none shows.
info_rect() { W list | awk '$3 == "#32770" && $4 == "[]" { print $NF; exit }'; }
info_window_shown() { [ -n "$(info_rect)" ]; }

# --- The front end ---

# "hwnd title" of the visible button window, nothing when there is none.
button_window() { W list | sed -n 's/^\([0-9a-f]*\) [0-9]* TMain \[\(.*\)\] [-0-9,]*$/\1 \2/p' | head -n 1; }
button_title() { button_window | cut -d' ' -f2-; }
button_hwnd() { local w; w=$(button_window); [ -n "$w" ] && echo $((16#${w%% *})); }
button_rect() { W list | awk '$3 == "TMain" { print $NF; exit }'; }
title_is() { [ "$(button_title)" = "$1" ]; }
# expect_title TITLE [SECONDS]: the button window's caption (and the button's) becomes TITLE.
expect_title() {
  wait_until "${2:-5}" title_is "$1" || fail "expected the button to show [$1], it shows [$(button_title)]"
  [ "$(W text "$1" 100)" = "$1" ] || fail "the button's own caption is not [$1]"
}
# The button window exists and holds the hook: the front value is its handle.
front_end_holds_hook() {
  local hwnd; hwnd=$(button_hwnd)
  [ -n "$hwnd" ] && [ "$(front_value)" = "$hwnd" ] && hook_installed
}

# start_front_end [PROGRAM.EXE] ARGS...: the front end (TESSEL32.EXE unless named) in the
# background; waits for its window with the hook.
start_front_end() {
  local program=TESSEL32.EXE
  case ${1:-} in *.EXE|*.exe) program=$1; shift ;; esac
  wine_bg "$program" "$@"
  FRONT_PID=$E2E_BG_PID
  wait_until 30 front_end_holds_hook || fail "no button window holding the hook after $program $*"
}
ended() { ! kill -0 "$1" 2>/dev/null; }

# The open menus as menu_probe.dll reads them ("depth position id flags text rect").
menu_dump() { W menu "$(button_title)"; }
# The entries of the first open menu, one "flags text" per line at depth $1 (default 0),
# whether highlighted left out.
menu_entries() {
  menu_dump | awk -F'\t' -v d="${1:-0}" '/^#menu/ { n++ }
    n == 1 && $1 == d { f = $4; sub("H", "", f); print (f == "" ? "-" : f) " " $5 }'
}
menu_open() { W list | grep -q ' #32768 '; }
open_menu() { click "$(button_title)" 100; wait_until 10 menu_open || fail "the menu did not open"; }
close_menu() {
  W menu-close "$(button_title)" >/dev/null
  wait_until 10 eval '! menu_open' || fail "the menu did not close"
}
# menu_choose ENTRY...: opens the menu and clicks each entry in turn (submenus on the way),
# each named as it shows ("Tom & Jerry").
menu_choose() {
  local title; title=$(button_title)
  open_menu
  W menu-pick "$title" "$@" >/dev/null || fail "cannot choose [$*] from the menu"
}
