# Helpers for the end-to-end tests of the mapper: a hidden-mode host with a test settings
# file, a target window to type into, and checks of what arrived. Source after harness.sh.

# Copies tests/e2e/data/NAME into C:\tessel and prints its Windows path.
settings_file() {
  cp "$_E2E_HERE/data/$1" "$E2E_DIR/$1" || fail "no settings file $1"
  printf 'C:\\tessel\\%s' "$1"
}

# True when the store tool sees an installed hook.
hook_installed() {
  wine_run 10 tesselstore.exe 2>/dev/null | tr -d '\r' | grep -q -E '^HookHandle=[1-9-]'
}

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
  wait_until 20 wine_run 5 win_tool.exe wait-window "$title" 1 || fail "window $title never appeared"
  wait_until 10 test -f "$E2E_DIR/$title.txt" || fail "window $title writes no text file"
  wait_until 10 focus_window "$title" || fail "cannot focus $title"
}

# Text of the target's first edit control.
target_text() { tr -d '\r' < "$E2E_DIR/$1.txt" 2>/dev/null; }

text_is() { [ "$(target_text "$1")" = "$2" ]; }

# expect_text TITLE TEXT [SECONDS]
expect_text() {
  wait_until "${3:-5}" text_is "$1" "$2" || fail "expected [$2] in $1, got [$(target_text "$1")]"
}

# Keyboard messages the target's edit received, without the time stamps:
# "1 WM_KEYDOWN 0x41 0x001E0001".
target_messages() { tr -d '\r' < "$E2E_DIR/$1.msg" 2>/dev/null | cut -d' ' -f2-; }

# Sends keys (send_keys.exe tokens) to the foreground window.
keys() { wine_run 20 send_keys.exe "$@" >/dev/null || fail "send_keys $*"; }

# A header field as the store tool prints it ("SelectedMap=1").
store_field() { wine_run 10 tesselstore.exe 2>/dev/null | tr -d '\r' | sed -n "s/^$1=//p" | head -n 1; }
selected_is() { [ "$(store_field SelectedMap)" = "$1" ]; }
# True while a timed information window (a captionless dialog) is on the screen.
info_window_shown() { wine_run 10 win_tool.exe list 2>/dev/null | grep -q '#32770'; }
text_ends_with() { case "$(target_text "$1")" in *"$2") return 0 ;; *) return 1 ;; esac; }
