#!/usr/bin/env bash
# Failures of Install and Uninstall reach GetLastErrorText: a settings file that cannot be
# written (no hook is set, the mutex is free again), an Allocate whose store size does not
# fit 32 bits (message box, no store, nothing crashes), maps that do not fit, a failed
# write of Selected, and a store mutex that cannot be had (the process then has no store).
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/store.sh"
e2e_setup

NO_MEMORY="Tessel+ : Could not allocate memory"
TOO_SMALL="Tessel+ : Cannot load the maps"
TOO_SMALL_TEXT=$'The allocated memory is too small for the maps.\nPlease restart Tessel that it can allocate more memory.'
logged() { grep -qxF -- "$1" "$E2E_LOG"; }

# Another kind of object holds the name "TESSEL32MUTEX" before any library is loaded: the
# mutex cannot be created, and the process behaves as one without a store.
wine_bg win_tool.exe hold-event TESSEL32MUTEX 60
squatter=$E2E_BG_PID
wait_until 20 logged 'holding=TESSEL32MUTEX' || fail "the name was not taken"
nomutex=$(write_ini nomutex.ini '[MAPS]' 'N=' '[N]' '30_N=n')
out=$(client 20 install 2 "$nomutex" lasterror getfront loaded)
case "$out" in
  "lasterror=Could not open the mutex TESSEL32MUTEX (error "*")
front=0
loaded=0") ;;
  *) fail "Install without the mutex: [$out]" ;;
esac
store_gone || fail "a process without the mutex created a store"
kill "$squatter" $(pgrep -P "$squatter") 2>/dev/null
W kill win_tool.exe >/dev/null

# The directory of the settings file does not exist: Allocate cannot be written back.
keeper err install 6 'C:\nodir\x.ini' lasterror
wait_until 20 logged 'lasterror=Unable to write to C:\nodir\x.ini' ||
  fail "no write error reached the caller: $(tail -n 5 "$E2E_LOG")"
dump=$(store_dump --header)
expect_lines "$dump" "Front=6" "HookHandle=0" "LoadedCount=0" "PathOffset=0" "NeededSize=335"
out=$(client 5 getfront loaded lasterror)
expect "$out" "front=6
loaded=0
lasterror=" "another process after the failed Install (mutex free, error is per process)"

# The error ends with a successful Install in the same process.
good=$(write_ini good.ini '[MAPS]' 'GOOD=' '[GOOD]' '30_N=g')
out=$(client 20 install 7 'C:\nodir\x.ini' lasterror install 7 "$good" lasterror loaded uninstall)
expect "$out" 'lasterror=Unable to write to C:\nodir\x.ini
lasterror=
loaded=1' "a failed, then a good Install"

# The settings file is held open without sharing by another process.
locked=$(write_ini locked.ini '[MAPS]' 'LOCKED=' '[LOCKED]' '30_N=l')
wine_bg store_client.exe lock-file "$locked" 60
wait_until 20 logged 'locked=1' || fail "the file was not locked"
out=$(client 20 install 8 "$locked" lasterror getfront)
expect "$out" 'lasterror=Unable to write to C:\tessel\locked.ini
front=8' "Install of a locked settings file"
expect "$(store_value HookHandle)" 0 "no hook after the failed write"
expect "$(store_value LoadedCount)" 1 "the maps of the last good load stay"
release err
W kill store_client.exe >/dev/null
wait_until 30 store_gone || fail "the store stays"

# Allocate too large for a 32-bit store size: message box, no store, the process goes on.
for allocate in 2097148 2147483647 0x7FFFFFFF; do
  big=$(write_ini big.ini '[TESSEL32]' "Allocate=$allocate" '[MAPS]' 'BIG=')
  : >"$E2E_LOG"
  wine_bg store_client.exe install 1 "$big" getfront loaded mapbyindex 1 indexbymap BIG lasterror \
    touch 'C:\tessel\big.done'
  close_box "$NO_MEMORY" $'Something is wrong, it may be necessary to\nrestart Tessel+ or Windows'
  wait_until 20 test -f "$E2E_DIR/big.done" || fail "Allocate=$allocate: the process did not go on"
  rm -f "$E2E_DIR/big.done"
  for line in front=0 loaded=0 'map=<off>' index=0 'lasterror=Could not allocate memory'; do
    logged "$line" || fail "Allocate=$allocate: missing [$line] in $(cat "$E2E_LOG")"
  done
  expect "$(ini_value big.ini Allocate)" "$allocate" "Allocate=$allocate is not rewritten without a load"
  wait_until 20 store_gone || fail "Allocate=$allocate: a store exists"
done

# Maps that do not fit a new store of 320 bytes: the box, and the error for the caller.
small=$(write_ini small.ini '[TESSEL32]' 'Allocate=-4' '[MAPS]' 'SMALL=' '[SMALL]' '30_N=some text')
: >"$E2E_LOG"
wine_bg store_client.exe install 1 "$small" lasterror getfront touch 'C:\tessel\small.done'
close_box "$TOO_SMALL" "$TOO_SMALL_TEXT"
wait_until 20 test -f "$E2E_DIR/small.done" || fail "the process did not go on after the box"
logged 'lasterror=The allocated memory is too small for the maps.' ||
  fail "maps that do not fit were not reported: $(cat "$E2E_LOG")"
logged 'front=1' || fail "Front was not written"
wait_until 20 store_gone || fail "the small store stays"

# Uninstall cannot write Selected: the error reaches the caller; the hook is gone anyway.
keeper un install 9 "$good"
wait_until 20 store_value_is LoadedCount 1 || fail "no store for the Uninstall test"
: >"$E2E_LOG"
wine_bg store_client.exe lock-file "$good" 60
wait_until 20 logged 'locked=1' || fail "good.ini was not locked"
out=$(client 20 uninstall lasterror selected uninstall lasterror)
expect "$out" 'lasterror=Unable to write to C:\tessel\good.ini
selected=0
lasterror=Unable to write to C:\tessel\good.ini' "Uninstall of a locked settings file"
expect "$(store_value HookHandle)" 0 "the hook after a failed write of Selected"
echo PASS
