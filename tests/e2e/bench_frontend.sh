#!/usr/bin/env bash
# Timing of the front end under Wine (not a test; prints figures): from the start of
# TESSEL32.EXE to its button window holding the hook (10 starts), and the hand-overs
# "Hide" -> host holding the hook, and unhide (a start while the host holds the hook) ->
# button window holding the hook (10 each). Medians and all values in milliseconds.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup
ini=$(settings_file frontend.ini)
rounds=${1:-10}
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# time_start: ms from CreateProcess to a TMain window holding the hook (output into a file:
# the started front end inherits it).
time_start() {
  wine_run 60 win_tool.exe time-start 40 TMain "TESSEL32.EXE /I:$ini" >"$E2E_DIR/time.out"
  sed -n 's/^start_ms=//p' "$E2E_DIR/time.out" | tr -d '\r' | grep . || fail "$(cat "$E2E_DIR/time.out")"
}
closed() { running TESSEL32.EXE 0; }

starts=()
for i in $(seq "$rounds"); do
  starts+=("$(time_start)")
  menu_choose Controls Close
  wait_until 20 closed || fail "the front end did not close"
done
echo "start-up to the button window holding the hook: median $(median "${starts[@]}") ms (${starts[*]})"

time_start >/dev/null
hides=() unhides=()
for i in $(seq "$rounds"); do
  : >"$E2E_DIR/hide.out"
  (cd "$E2E_DIR" && timeout 60 "$WINE" win_tool.exe time-hide 40 >"$E2E_DIR/hide.out" 9>&- 2>&1) &
  wait_until 20 grep -q ready "$E2E_DIR/hide.out" || fail "time-hide did not start"
  menu_choose Controls Hide
  wait_until 40 host_holds_hook || fail "the host does not hold the hook"
  wait_until 20 grep -q hide_ms "$E2E_DIR/hide.out" || fail "no hide time: $(cat "$E2E_DIR/hide.out")"
  hides+=("$(sed -n 's/^hide_ms=//p' "$E2E_DIR/hide.out" | tr -d '\r')")
  wait_until 20 closed || fail "the front end did not end after Hide"
  unhides+=("$(time_start)")
  wait_until 20 running TESSHIDE32.EXE 0 || fail "the host did not leave"
done
echo "hide -> host holding the hook: median $(median "${hides[@]}") ms (${hides[*]})"
echo "unhide -> button window holding the hook: median $(median "${unhides[@]}") ms (${unhides[*]})"
