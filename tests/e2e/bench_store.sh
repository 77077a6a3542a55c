#!/usr/bin/env bash
# Timing of Install under Wine (not a test; prints figures): settings files of 1000, 10000,
# 20000 and 50000 entries (or the counts given as arguments) loaded by the library, with the
# private-profile functions' own reads of the same file beside them.
source "$(dirname "$0")/harness.sh"
e2e_setup
[ $# -gt 0 ] || set -- 1000 10000 20000 50000
wine_run 600 time_install.exe "$@" | tr -d '\r'
