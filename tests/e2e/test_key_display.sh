#!/usr/bin/env bash
# Key names from the system (GetKeyNameTextA) as the editor's lists show them.
source "$(dirname "$0")/harness.sh"
e2e_setup

run_windows_gtest gtest_key_display.exe 60
echo PASS
