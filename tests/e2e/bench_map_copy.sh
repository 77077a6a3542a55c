#!/usr/bin/env bash
# Timing of the map commands' file work under Wine (not a test; prints figures): Copy,
# Rename, Export, Import and Delete of a map of 2000 keys (or the counts given).
source "$(dirname "$0")/harness.sh"
e2e_setup
for keys in "${@:-2000}"; do wine_run 600 time_map_copy.exe "$keys" | tr -d '\r'; done
