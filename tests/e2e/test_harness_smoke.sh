#!/usr/bin/env bash
# The harness itself: a target window gets the Wine foreground and the X focus, and keys
# typed through SendInput and through the X keyboard both arrive in its edit control.
source "$(dirname "$0")/harness.sh"
e2e_setup

TITLE="Smoke Target"
wine_bg target_app.exe "$TITLE"
wait_window "$TITLE"
focus_window "$TITLE" || fail "could not focus \"$TITLE\" (foreground: $(W getfg))"

wine_run 20 send_keys.exe -w "$TITLE" text:abc || fail "send_keys failed"
wait_until 5 grep -qx abc "$E2E_DIR/$TITLE.txt" || fail "SendInput: edit holds [$(cat "$E2E_DIR/$TITLE.txt")]"

# Every key reached the edit as down, character and up, with the scan code in the lParam.
log="$E2E_DIR/$TITLE.msg"
grep -q ' 1 WM_KEYDOWN 0x41 0x001E0001$' "$log" || fail "no WM_KEYDOWN for a: $(cat "$log")"
grep -q ' 1 WM_CHAR 0x61 0x001E0001$' "$log" || fail "no WM_CHAR a: $(cat "$log")"
grep -q ' 1 WM_KEYUP 0x41 0xC01E0001$' "$log" || fail "no WM_KEYUP for a: $(cat "$log")"

# Capitals go through Shift; the real X keyboard needs both foreground and X focus.
wine_run 20 send_keys.exe text:" X1" || fail "send_keys failed"
timeout 10 xdotool type --delay 30 'yz' || fail "xdotool type failed"
wait_until 5 grep -qx 'abc X1yz' "$E2E_DIR/$TITLE.txt" || fail "edit holds [$(cat "$E2E_DIR/$TITLE.txt")]"

[ "$(W text "$TITLE" @0)" = "abc X1yz" ] || fail "win_tool reads another text"
e2e_screenshot harness_smoke >/dev/null || fail "no screenshot"
[ -s "$TESSEL_E2E_WORK/shots/harness_smoke.png" ] || fail "empty screenshot"

W close "$TITLE" || fail "close failed"
wait_gone "$TITLE" 5
echo PASS
