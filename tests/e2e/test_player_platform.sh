#!/usr/bin/env bash
# The player's operating-system calls for real: posted key messages, keyboard state, key
# mapping, window enumeration and texts, focus across threads and into another process,
# WinExec of a missing program.
source "$(dirname "$0")/harness.sh"
e2e_setup

OTHER="Player Other App"
wine_bg target_app.exe "$OTHER"
wait_window "$OTHER"

TESSEL_OTHER_TITLE="$OTHER" run_windows_gtest gtest_player_platform.exe 180
[ "$(tr -d '\r' < "$E2E_DIR/$OTHER.txt")" = "moved" ] || fail "$OTHER holds [$(cat "$E2E_DIR/$OTHER.txt")]"
echo PASS
