#!/usr/bin/env bash
# The player's operating-system calls for real: posted key messages, keyboard state, key
# mapping, window enumeration and texts, focus across threads and into another process,
# WinExec of a missing program.
source "$(dirname "$0")/harness.sh"
e2e_setup

[ -f "$E2E_DIR/gtest_player_platform.exe" ] || fail "gtest_player_platform.exe is not in the win64 build"
OTHER="Player Other App"
wine_bg target_app.exe "$OTHER"
wait_until 20 wine_run 5 win_tool.exe wait-window "$OTHER" 1 || fail "window $OTHER never appeared"

TESSEL_OTHER_TITLE="$OTHER" wine_run 180 gtest_player_platform.exe --gtest_color=no
rc=$?
[ "$rc" -eq 0 ] || fail "gtest_player_platform.exe exited with $rc"
[ "$(tr -d '\r' < "$E2E_DIR/$OTHER.txt")" = "moved" ] || fail "$OTHER holds [$(cat "$E2E_DIR/$OTHER.txt")]"
echo PASS
