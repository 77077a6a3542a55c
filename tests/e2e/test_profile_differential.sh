#!/usr/bin/env bash
# Generated settings files read by the private-profile functions and by the program's own
# settings-file layer: the answers must agree (profile_differential.exe prints the first
# differences). TESSEL_DIFFERENTIAL_SECONDS sets how long it runs (default 20).
source "$(dirname "$0")/harness.sh"
e2e_setup

wine_run 120 profile_differential.exe "${TESSEL_DIFFERENTIAL_SECONDS:-20}" || fail "the readers disagree"
echo PASS
