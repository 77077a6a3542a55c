#!/usr/bin/env bash
# The store's mutex: every export waits for it, and a process that dies while holding it
# (killed, or ended without releasing) does not block the others.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/store.sh"
e2e_setup

ini=$(write_ini mutex.ini '[MAPS]' 'ONE=' '[ONE]' '30_N=one')
keeper store install 3 "$ini"
wait_until 20 store_value_is LoadedCount 1 || fail "no store"

holding() { grep -c '^holding=1' "$E2E_LOG" 2>/dev/null | grep -qx "$1"; }
# The holders run under their own image name so that killing them spares the others.
cp "$E2E_DIR/store_client.exe" "$E2E_DIR/holder.exe" || fail "cannot copy store_client.exe"

# A holder that is killed with TerminateProcess.
wine_bg holder.exe hold-mutex 200
wait_until 20 holding 1 || fail "the holder never took the mutex"
out=$(client 4 getfront)
expect "$?" 124 "GetFront while another process holds the mutex (output [$out])"
W kill holder.exe >/dev/null || fail "cannot kill the holder"
out=$(client 20 getfront loaded)
expect "$out" "front=3
loaded=1" "exports after the holder was terminated"

# A holder whose Unix process is killed: the Wine server abandons its mutex.
wine_bg holder.exe hold-mutex 200
holder=$E2E_BG_PID
wait_until 20 holding 2 || fail "the second holder never took the mutex"
client 4 getfront >/dev/null
expect "$?" 124 "GetFront while the second holder lives"
pids=$(pgrep -P "$holder")
[ -n "$pids" ] || fail "no Wine process under the second holder's time-out"
kill -9 $pids
out=$(client 20 setfront 4 getfront loaded)
expect "$out" "front=4
loaded=1" "exports after the holder was killed from outside"

# A holder that ends without releasing leaves the mutex abandoned too.
client 20 exit-holding >/dev/null
out=$(client 20 getfront selected loaded mapbyindex 1)
expect "$out" "front=4
selected=0
loaded=1
map=ONE" "exports after a holder ended without releasing"

# The store tool waits for the mutex too, and reads once it is free.
wine_bg store_client.exe hold-mutex 3
wait_until 20 holding 3 || fail "the third holder never took the mutex"
start=$(date +%s%N)
store_dump --header >/dev/null || fail "tesselstore after the holder let go"
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$elapsed" -ge 1000 ] || fail "tesselstore did not wait for the mutex (${elapsed} ms)"
release store
echo PASS
