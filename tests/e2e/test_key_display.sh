#!/usr/bin/env bash
# Key names from the system (GetKeyNameTextA) as the editor's lists show them.
source "$(dirname "$0")/harness.sh"
e2e_setup

[ -f "$E2E_DIR/gtest_key_display.exe" ] || fail "gtest_key_display.exe is not in the win64 build"
wine_run 60 gtest_key_display.exe --gtest_color=no
rc=$?
[ "$rc" -eq 0 ] || fail "gtest_key_display.exe exited with $rc"
echo PASS
