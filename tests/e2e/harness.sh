# End-to-end harness: sourced by every tests/e2e/test_*.sh.
#
#   source "$(dirname "$0")/harness.sh"
#   e2e_setup                  cached wine64 prefix, own Xvfb, persistent wineserver, fresh E2E_DIR
#   wine_run SECS prog args    run in E2E_DIR with a time-out; returns the program's exit code
#   wine_bg prog args          start in the background (E2E_BG_PID; killed at teardown)
#   wait_until SECS cmd args   poll every 0.1 s until cmd succeeds
#   run_windows_gtest PROG SECS run a GoogleTest program; fail when it fails
#   focus_window TITLE         Wine foreground + X focus on the top-level window TITLE
#   e2e_screenshot NAME        $TESSEL_E2E_WORK/shots/NAME.png of the whole screen
#   fail MESSAGE               print FAIL: MESSAGE and exit 1
#   at_exit COMMAND            run COMMAND at the end of the test, before the teardown
# Windows, through tests/windows/win_tool.exe (see there for TITLE and CONTROL):
#   W ARGS...                  win_tool.exe ARGS, output without CR, its exit code kept
#   window_shown TITLE         true while a window TITLE shows
#   wait_window TITLE [SECS]   fail unless a window TITLE shows within SECS (20)
#   wait_gone TITLE [SECS]     fail unless no window TITLE is left within SECS (10)
#   click TITLE CONTROL        press a button (its text or control id), fail if there is none
#   box_text TITLE             the texts of the Static controls of a dialog, one a line
#   close_box TITLE [TEXT]     wait for a message box, check its text, press OK, wait till gone
#   combo_state TITLE CONTROL  "simple|dropdown|droplist COUNT SELECTED", then the item texts
#   running IMAGE [COUNT]      a process IMAGE runs (exactly COUNT of them when given)
# Files in C:\tessel, without CR: ini_text FILE, ini_value FILE KEY, ini_has FILE LINE,
# section FILE NAME (its lines).
#
# Environment: TESSEL_WIN64_DIR (win64 build folder), TESSEL_E2E_WORK (cache and logs),
# TESSEL_E2E_TIMEOUT (whole-script watchdog in seconds, default 300).
# Quirks this relies on are described in docs/platform-notes.md.

# Watchdog: re-run the whole test under `timeout` so that nothing can hang the suite. timeout
# signals its whole process group, so the TERM trap below still tears Wine and Xvfb down.
if [ -z "${TESSEL_E2E_WATCHDOG:-}" ]; then
  export TESSEL_E2E_WATCHDOG=1
  timeout -k 15 "${TESSEL_E2E_TIMEOUT:-300}" bash "$0" "$@"
  _e2e_rc=$?
  [ "$_e2e_rc" -eq 124 ] && echo "FAIL: watchdog: $(basename "$0") exceeded ${TESSEL_E2E_TIMEOUT:-300} s"
  exit "$_e2e_rc"
fi

_E2E_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
_E2E_REPO=$(cd "$_E2E_HERE/../.." && pwd)
E2E_NAME=$(basename "$0" .sh)

export TESSEL_WIN64_DIR=${TESSEL_WIN64_DIR:-$_E2E_REPO/build/win64}
export TESSEL_E2E_WORK=${TESSEL_E2E_WORK:-${TMPDIR:-/tmp}/tessel-e2e-$(id -u)}
export WINEPREFIX=$TESSEL_E2E_WORK/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINESERVER=/usr/lib/wine/wineserver64
export WINE=/usr/lib/wine/wine64
export E2E_DIR=$WINEPREFIX/drive_c/tessel
export E2E_WIN_DIR='C:\tessel'
E2E_LOG=$TESSEL_E2E_WORK/logs/$E2E_NAME.log   # output of background programs and Xvfb
E2E_BG_PID=
_E2E_XVFB_PID=
_E2E_BG_PIDS=()
_E2E_UP=0

fail() {
  echo "FAIL: $*"
  if [ -s "$E2E_LOG" ]; then
    echo "--- last lines of $E2E_LOG:"
    tail -n 20 "$E2E_LOG"
  fi
  exit 1
}

# Poll every 0.1 s until the command succeeds; non-zero after the deadline.
wait_until() {
  local secs=$1; shift
  local end=$(( $(date +%s%N) / 1000000 + secs * 1000 ))
  until "$@" >/dev/null 2>&1; do
    [ $(( $(date +%s%N) / 1000000 )) -ge "$end" ] && return 1
    sleep 0.1
  done
  return 0
}

# Run a Windows program in E2E_DIR; its exit code is returned, its output goes to stdout.
# fd 9 (the prefix lock) is closed so that no Wine process can keep the lock alive.
wine_run() {
  local secs=$1; shift
  (cd "$E2E_DIR" && timeout -k 5 "$secs" "$WINE" "$@" 9>&-)
}

# Start a Windows program in the background; wineserver -k ends it at teardown.
wine_bg() {
  (cd "$E2E_DIR" && exec timeout -k 5 "${TESSEL_E2E_TIMEOUT:-300}" "$WINE" "$@" 9>&- >>"$E2E_LOG" 2>&1) &
  E2E_BG_PID=$!
  _E2E_BG_PIDS+=("$E2E_BG_PID")
}

# Runs one of the GoogleTest programs of the win64 build; fails the test when it fails.
run_windows_gtest() {
  local program=$1 secs=$2 rc
  [ -f "$E2E_DIR/$program" ] || fail "$program is not in the win64 build"
  wine_run "$secs" "$program" --gtest_color=no
  rc=$?
  [ "$rc" -eq 0 ] || fail "$program exited with $rc"
}

e2e_screenshot() {
  mkdir -p "$TESSEL_E2E_WORK/shots"
  local out=$TESSEL_E2E_WORK/shots/$1.png
  timeout 20 import -window root "$out" 9>&- && echo "screenshot: $out"
}

# X window id of the visible top-level window whose title is exactly TITLE.
e2e_xid() {
  local re
  re=$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')
  timeout 5 xdotool search --onlyvisible --name "^$re\$" 2>/dev/null | head -n 1
}

# Wine's foreground window and the X input focus are independent without a window manager;
# xdotool keystrokes only arrive when both point at the same window.
focus_window() {
  local title=$1 xid
  wine_run 20 win_tool.exe fg "$title" >/dev/null || return 1
  xid=$(e2e_xid "$title")
  [ -n "$xid" ] || return 1
  timeout 5 xdotool windowfocus --sync "$xid" 2>/dev/null || return 1
  [ "$(wine_run 20 win_tool.exe getfg)" = "$title" ]
}

_AT_EXIT=()
at_exit() {
  _AT_EXIT+=("$1")
  trap '_rc=$?; for _c in "${_AT_EXIT[@]}"; do eval "$_c"; done; (exit $_rc); e2e_teardown' EXIT
}

W() {
  local out rc
  out=$(wine_run 60 win_tool.exe "$@")
  rc=$?
  printf '%s\n' "$out" | tr -d '\r'
  return $rc
}
window_shown() { W wait-window "$1" 0 >/dev/null; }
wait_window() { W wait-window "$1" "${2:-20}" >/dev/null || fail "no window \"$1\""; }
wait_gone() { W wait-gone "$1" "${2:-10}" >/dev/null || fail "the window \"$1\" stayed"; }
click() { W click "$1" "$2" >/dev/null || fail "no button $2 in \"$1\""; }
box_text() {
  local i
  for i in $(W children "$1" | awk '$2 == "Static" && $4 != "[]" { print $1 }'); do W text "$1" "@$i"; done
}
box_text_is() { [ "$(box_text "$1")" = "$2" ]; }
close_box() {
  wait_window "$1"
  [ $# -lt 2 ] || wait_until 5 box_text_is "$1" "$2" || fail "message box \"$1\" says [$(box_text "$1")], expected [$2]"
  click "$1" OK
  wait_gone "$1"
}
combo_state() {
  local items kinds=(- simple dropdown droplist)
  items=$(W items "$1" "$2") || return 1
  echo "${kinds[$(( 0x$(W style "$1" "$2" | cut -d' ' -f1) & 3 ))]} $(grep -c . <<<"$items")" \
    "$(awk '$2 == "*" { s = $1 } END { print s == "" ? -1 : s }' <<<"$items")"
  [ -z "$items" ] || cut -d' ' -f4- <<<"$items"
}
running() {
  local n; n=$(W procs | grep -ci " $1\$")
  if [ $# -gt 1 ]; then [ "$n" = "$2" ]; else [ "$n" -gt 0 ]; fi
}

ini_text() { tr -d '\r' <"$E2E_DIR/$1"; }
ini_value() { ini_text "$1" | sed -n "s/^$2=//p" | head -n 1; }
ini_has() { ini_text "$1" | grep -Fxq -- "$2"; }
section() { ini_text "$1" | awk -v s="[$2]" '/^\[/ { inside = ($0 == s); next } inside'; }

_e2e_start_xvfb() {
  local n tries
  for tries in 1 2 3 4 5 6 7 8 9 10; do
    n=$(( 100 + RANDOM % 800 ))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset 9>&- >>"$E2E_LOG" 2>&1 &
    _E2E_XVFB_PID=$!
    export DISPLAY=":$n"
    if wait_until 10 timeout 2 xdpyinfo -display ":$n"; then
      return 0
    fi
    kill "$_E2E_XVFB_PID" 2>/dev/null
    wait "$_E2E_XVFB_PID" 2>/dev/null
    _E2E_XVFB_PID=
  done
  return 1
}

# The prefix is created once per work folder (~6 s) and reused by every later test.
_e2e_prefix() {
  if [ -f "$WINEPREFIX/.tessel-ready" ] && [ -f "$WINEPREFIX/system.reg" ]; then
    return 0
  fi
  echo "creating Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  timeout -k 5 180 "$WINE" wineboot -i 9>&- >>"$E2E_LOG" 2>&1 || return 1
  timeout -k 5 60 "$WINESERVER" -w 9>&-
  [ -f "$WINEPREFIX/system.reg" ] || return 1
  touch "$WINEPREFIX/.tessel-ready"
}

e2e_teardown() {
  local rc=$?
  trap - EXIT INT TERM HUP
  if [ "$_E2E_UP" = 1 ]; then
    timeout 15 "$WINESERVER" -k 9>&- 2>/dev/null
    local p
    for p in "${_E2E_BG_PIDS[@]}"; do kill "$p" 2>/dev/null; done
    if [ -n "$_E2E_XVFB_PID" ]; then
      kill "$_E2E_XVFB_PID" 2>/dev/null
      wait "$_E2E_XVFB_PID" 2>/dev/null
    fi
  fi
  exit "$rc"
}

e2e_setup() {
  mkdir -p "$TESSEL_E2E_WORK/logs" || fail "cannot create $TESSEL_E2E_WORK"
  : >"$E2E_LOG"
  [ -d "$TESSEL_WIN64_DIR" ] || fail "TESSEL_WIN64_DIR=$TESSEL_WIN64_DIR does not exist (build the win64 preset)"
  [ -n "$(find "$TESSEL_WIN64_DIR" -name TESSHOOK32.DLL -print -quit)" ] ||
    fail "no TESSHOOK32.DLL under TESSEL_WIN64_DIR=$TESSEL_WIN64_DIR (build the win64 preset first)"

  # One test at a time per prefix: hold the lock (fd 9) until this script ends.
  exec 9>"$TESSEL_E2E_WORK/prefix.lock"
  flock -w 240 9 || fail "prefix $WINEPREFIX stayed locked by another test"

  trap e2e_teardown EXIT
  trap 'exit 143' TERM
  trap 'exit 130' INT
  trap 'exit 129' HUP
  _E2E_UP=1

  # A server left behind by a killed run would serve the old processes.
  [ -d "$WINEPREFIX" ] && timeout 15 "$WINESERVER" -k 9>&- 2>/dev/null

  _e2e_start_xvfb || fail "Xvfb did not start"
  _e2e_prefix || fail "wineboot -i failed for $WINEPREFIX (see $E2E_LOG)"

  # A test that made a file immutable (a settings file that cannot be written) and died
  # before undoing it would block the rm.
  [ -d "$E2E_DIR" ] && chattr -R -i "$E2E_DIR" 2>/dev/null
  rm -rf "$E2E_DIR"
  mkdir -p "$E2E_DIR" || fail "cannot create $E2E_DIR"
  local f n=0
  while IFS= read -r -d '' f; do
    cp -f "$f" "$E2E_DIR/" && n=$((n + 1))
  done < <(find "$TESSEL_WIN64_DIR" \( -name googletest -o -name CMakeFiles -o -name _deps -o -name release \) -prune -o \
             -type f \( -iname '*.exe' -o -iname '*.dll' -o -iname '*.chm' \) -print0)
  [ -f "$E2E_DIR/TESSHOOK32.DLL" ] || fail "TESSHOOK32.DLL was not copied to $E2E_DIR"

  # Persistent server: each later program start costs ~0.1 s instead of ~1 s.
  timeout 15 "$WINESERVER" -p 9>&- || fail "wineserver -p failed"
  echo "e2e: $E2E_NAME display $DISPLAY prefix $WINEPREFIX ($n programs in $E2E_WIN_DIR)"
}
