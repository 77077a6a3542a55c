#!/usr/bin/env bash
# A client that dies while it holds the hook (killed host, killed front end) leaves its
# front value and hook handle in the store. The next host takes over: it does not refuse
# ("another host") or wait for the dead front end, it loads the maps, sets its own hook and
# restores the selection that the dead holder had.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup
ini=$(settings_file hosts.ini)   # First: a -> 1, Second: a -> 2; Selected=1

generation() { store_field LoadGeneration; }
# A store_client that keeps the store mapped throughout, as any hooked application would.
wine_bg store_client.exe wait-file 'C:\tessel\stop' 300

# takes_over WHAT: after a holder died, a new host maps the keys again with map Second.
takes_over() {
  local before typed
  before=$(generation)
  typed=$(target_text Owner)
  wine_bg TESSHIDE32.EXE "/I:$ini"
  wait_until 20 eval '[ "$(generation)" != "$before" ]' || fail "$1: the new host loaded no maps"
  sleep 1
  running TESSHIDE32.EXE || fail "$1: the new host ended"
  [ "$(store_field Front)" = -1 ] || fail "$1: the new host does not hold the front value"
  keys bp:41,1e
  expect_text Owner "${typed}2"
  echo "$1: the new host took over"
}

start_host "$ini"
start_target Owner
keys bp:41,1e;  expect_text Owner "1"
wine_run 10 store_client.exe select 2 >/dev/null   # the user's choice, not yet saved
keys bp:41,1e;  expect_text Owner "12"

# 1. The host is killed with TerminateProcess.
W kill TESSHIDE32.EXE >/dev/null || fail "cannot kill the host"
[ "$(store_field Front)" = -1 ] || fail "the killed host's front value should still be in the store"
takes_over "host killed by TerminateProcess"

# 2. The host's Wine process is killed from outside.
pids=$(pgrep -P "$E2E_BG_PID")
[ -n "$pids" ] || fail "no Wine process under the host's time-out"
kill -9 $pids
wait_until 10 running TESSHIDE32.EXE 0 || fail "the host survived kill -9"
takes_over "host killed with kill -9"

# 3. A front end (a stand-in that installs with its window's handle) is killed.
W kill TESSHIDE32.EXE >/dev/null
cp "$E2E_DIR/store_client.exe" "$E2E_DIR/frontend.exe"
wine_bg frontend.exe window "Front end stand-in" install window "$ini" wait-file 'C:\tessel\never' 300
wait_until 20 eval '[ "$(store_field Front)" -gt 1 ]' || fail "the stand-in did not install with its window"
wait_until 10 focus_window Owner || fail "cannot focus Owner"
keys bp:41,1e;  expect_text Owner "12222"
W kill frontend.exe >/dev/null || fail "cannot kill the stand-in"
takes_over "front end killed"
: >"$E2E_DIR/stop"
echo PASS
