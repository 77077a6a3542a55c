#!/usr/bin/env bash
# Timing of Install under Wine (not a test; prints figures): settings files of 1000 and
# 10000 entries loaded through the real private-profile functions, with the share of the
# time spent in the profile reads.
source "$(dirname "$0")/harness.sh"
e2e_setup
wine_run 600 time_install.exe "${@:-1000 10000}" | tr -d '\r'
