#!/usr/bin/env bash
# The hidden-mode host serves its thread's messages the whole time it holds the hook: on
# 64-bit Windows the system calls the hook for applications of the other word size through
# messages to that thread, and the player's timer of such a keystroke ticks there.
# `win_tool.exe host-probe` posts messages to the host's thread and has it call the hook there.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup

start_host "$(settings_file host_messages.ini)"
start_target Probe

# Posted messages are taken at once, not at the next poll of the front value.
out=$(wine_run 60 win_tool.exe host-probe TESSHIDE32.EXE ping 20)
echo "host thread: $out"
case "$out" in "handled=20 of 20 "*) ;; *) fail "the host did not serve its messages: $out" ;; esac
median=$(printf '%s' "$out" | sed -n 's/.*median_ms=\([0-9.]*\).*/\1/p')
awk -v m="$median" 'BEGIN { exit !(m < 250) }' || fail "messages waited for the poll: median $median ms"

# A mapped key handed to the host's thread: its text, with a Wait, plays through the
# host's timer into the focused window, and Playing is cleared at the end.
out=$(wine_run 20 win_tool.exe host-probe TESSHIDE32.EXE key 41 1e) || fail "the key was not handed over: $out"
expect_text Probe "abcd" 10
wait_until 5 eval '[ "$(store_field Playing)" = 0 ]' || fail "Playing stayed set after the text"
keys bp:5a,2c
expect_text Probe "abcdz"

# The host still leaves within about one poll after a front end claims the hook.
t0=$(( $(date +%s%N) / 1000000 ))
wine_run 10 store_client.exe setfront 1 >/dev/null || fail "setfront failed"
wait_until 5 running TESSHIDE32.EXE 0 ||
  fail "the host did not leave after the front value became 1"
left=$(( $(date +%s%N) / 1000000 - t0 ))
echo "host left $left ms after the front value became 1"
[ "$(store_field Front)" = 0 ] || fail "the leaving host did not clear the front value"
echo PASS
