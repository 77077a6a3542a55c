#!/usr/bin/env bash
# The hidden-mode host: one at a time, "/M:" selects a map ignoring case (an unknown name
# means mapping off), and it leaves promptly when a front end claims the hook, saving the
# selection for the next holder.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup
ini=$(settings_file hosts.ini)

host_gone_within() { wait_until "$1" running TESSHIDE32.EXE 0; }

# /M: ignores case.
start_host "$ini" /M:second
# A process that keeps the store mapped, so that it outlives the hosts.
wine_bg store_client.exe wait-file 'C:\tessel\stop' 300
wait_until 5 selected_is 2 || fail "/M:second did not select map Second (SelectedMap=$(store_field SelectedMap))"
[ "$(store_field Front)" = -1 ] || fail "the host's front value is not -1"

# A second host ends at once and leaves the first one's map alone.
wine_run 10 TESSHIDE32.EXE "/I:$ini" /M:First || fail "a second host did not end by itself"
selected_is 2 || fail "a second host changed the selection"

# A front end claims the hook: the host leaves within about one poll.
t0=$(( $(date +%s%N) / 1000000 ))
wine_run 10 store_client.exe setfront 1 >/dev/null || fail "setfront failed"
host_gone_within 5 || fail "the host did not leave after the front value became 1"
echo "host left $(( $(date +%s%N) / 1000000 - t0 )) ms after the front value became 1"
[ "$(store_field Front)" = 0 ] || fail "the leaving host did not clear the front value"
tr -d '\r' < "$E2E_DIR/hosts.ini" | grep -q '^Selected=2$' ||
  fail "the selection did not survive the hand-over: $(grep Selected "$E2E_DIR/hosts.ini")"

# Next host without /M: takes the saved selection; front value 0 also makes it leave.
start_host "$ini"
wait_until 5 selected_is 2 || fail "the saved selection was not restored"
wine_run 10 store_client.exe setfront 0 >/dev/null || fail "setfront failed"
host_gone_within 5 || fail "the host did not leave after the front value became 0"

# A settings-file name longer than its 260-character buffer would name another file: the
# host ends at once without installing anything.
long="C:\\$(printf 'x%.0s' $(seq 1 270)).INI"
wine_run 10 TESSHIDE32.EXE "/I:$long" || fail "a host with a cut settings-file name did not end by itself"
[ "$(store_field Front)" = 0 ] || fail "a host with a cut settings-file name took the front value"

# An unknown /M: name means mapping off, whatever is stored as Selected.
start_host "$ini" /M:NOSUCHMAP
wait_until 5 selected_is 0 || fail "an unknown /M: name did not switch mapping off"
echo PASS
