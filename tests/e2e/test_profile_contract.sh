#!/usr/bin/env bash
# The settings-file contract against the private-profile functions: the same cases the
# in-memory double passes natively.
source "$(dirname "$0")/harness.sh"
e2e_setup

[ -f "$E2E_DIR/gtest_profile_contract.exe" ] || fail "gtest_profile_contract.exe is not in the win64 build"
wine_run 120 gtest_profile_contract.exe --gtest_color=no
rc=$?
[ "$rc" -eq 0 ] || fail "gtest_profile_contract.exe exited with $rc"
echo PASS
