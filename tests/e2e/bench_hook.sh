#!/usr/bin/env bash
# Timing of the hook under Wine (not a test; prints figures):
#   the same 2000 unmapped keystrokes with and without the hook installed,
#   the delay from a mapped keystroke to its first character, and the characters per
#   second of a 1000-character replacement text.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup

ini=$(settings_file timing.ini)
for run in 1 2 3; do wine_run 120 time_keys.exe unmapped 2000; done | tee "$E2E_DIR/without.txt"
start_host "$ini"
for run in 1 2 3; do wine_run 120 time_keys.exe unmapped 2000; done | tee "$E2E_DIR/with.txt"
wine_run 120 time_keys.exe latency 100
wine_run 120 time_keys.exe throughput
without=$(awk -F'total_ms=' '{split($2,a," "); print a[1]}' "$E2E_DIR/without.txt" | sort -n | head -1)
with=$(awk -F'total_ms=' '{split($2,a," "); print a[1]}' "$E2E_DIR/with.txt" | sort -n | head -1)
echo "best of 3: without hook ${without} ms, with hook ${with} ms, ratio $(awk -v a="$with" -v b="$without" 'BEGIN {printf "%.3f", a / b}')"
