#!/usr/bin/env bash
# The settings-file contract against the private-profile functions: the same cases the
# in-memory double passes natively.
source "$(dirname "$0")/harness.sh"
e2e_setup

run_windows_gtest gtest_profile_contract.exe 120
echo PASS
