#!/usr/bin/env bash
# The shared map store seen from two processes: one installs, another reads what it loaded
# through the exports and through the store tool; a second Install while hooked only
# changes the front value; Uninstall writes the selection back; the store goes with the
# last process that maps it.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/store.sh"
e2e_setup

# Without any store every export answers "no store".
out=$(client 20 getfront selected loaded mapbyindex 1 mapbyindex 0 indexbymap GREEK version \
  setfront 5 getfront select 1 selected uninstall) || fail "store_client without store: $out"
expect "$out" "front=0
selected=0
loaded=0
map=<off>
map=<off>
index=0
version=40109
front=0
selected=0" "exports without a store"
store_dump >/dev/null 2>&1
expect "$?" 2 "tesselstore without a store"

ini=$(write_ini basics.ini \
  '[TESSEL32]' 'Selected=2' 'DoBeep=0' 'MessageShowTime=250' \
  '[MAPS]' 'GREEK=' 'A twenty char name.=' 'abc=' 'ABC=' \
  '[Selectors]' '30_C=GREEK' '59_C=<off>' 'Comment=GREEK' \
  '[GREEK]' '30_N=alpha' '31_N=\sbeta\\' '030_N=shadowed' '255_N=never' '32_N=a\001b' \
  '[A twenty char name.]' '200_CAS=ext' \
  '[abc]' '2_N=x')  # [ABC] would be the same section: names are matched without case

keeper one install 77 "$ini"
wait_until 20 store_value_is LoadedCount 4 || fail "the first process loaded no maps"

out=$(client 20 getfront selected loaded mapbyindex 0 mapbyindex 1 mapbyindex 2 mapbyindex 5 \
  mapbyindex -1 indexbymap greek indexbymap abc indexbymap '<off>' indexbymap nothing \
  indexbymap 'A TWENTY CHAR NAME.') || fail "second process: $out"
expect "$out" "front=77
selected=2
loaded=4
map=<off>
map=GREEK
map=A twenty char n
map=<off>
map=<off>
index=1
index=4
index=0
index=0
index=2" "second process's view"

dump=$(store_dump) || fail "tesselstore failed: $dump"
expect_lines "$dump" "Front=77" "BlockSize=20480" "LoadedCount=4" "SelectedMap=2" "PathOffset=304" \
  "MessageTime=250" "Playing=0" 'SettingsPath=C:\\tessel\\basics.ini' \
  "map 0 <off>" "  30_C GREEK" "  59_C <off>" \
  "map 1 GREEK" "  30_N alpha" '  31_N  beta\\' "  30_N shadowed" \
  "map 2 A twenty char name." "  200_CAS ext" "map 3 abc" "map 4 ABC" "  2_N x" \
  "SkippedEntries=2"
hook=$(printf '%s\n' "$dump" | sed -n 's/^HookHandle=//p')
[ -n "$hook" ] && [ "$hook" != 0 ] || fail "no hook handle in the store"
[ "$(printf '%s\n' "$dump" | grep -c '^  ')" = 8 ] || fail "wrong number of entries:
$dump"
needed=$(printf '%s\n' "$dump" | sed -n 's/^NeededSize=//p')
expect "$(printf '%s\n' "$dump" | sed -n 's/^DataEnd=//p')" "$needed" "DataEnd after a load"
expect "$(ini_value basics.ini Allocate)" "$((needed / 1024))" "Allocate written back"

# A second Install while the hook is set changes only the front value.
other=$(write_ini other.ini '[MAPS]' 'OTHER=' '[OTHER]' '30_N=other')
out=$(client 20 install 55 "$other" getfront loaded mapbyindex 1 lasterror) || fail "install 2: $out"
expect "$out" "front=55
loaded=4
map=GREEK
lasterror=" "second Install while hooked"
expect "$(store_value HookHandle)" "$hook" "hook handle after the second Install"
expect "$(store_value SettingsPath)" 'C:\\tessel\\basics.ini' "settings path after the second Install"

# Selection: beyond LoadedCount selects off, negative is kept.
out=$(client 20 select 5 selected select 4 selected select -2 selected select 3 selected)
expect "$out" "selected=0
selected=4
selected=-2
selected=3" "SelectMap"

# Uninstall: the selection goes to the file the maps came from; the maps stay.
out=$(client 20 uninstall getfront selected loaded mapbyindex 3) || fail "uninstall: $out"
expect "$out" "front=0
selected=0
loaded=4
map=abc" "after Uninstall"
expect "$(ini_value basics.ini Selected)" 3 "Selected written by Uninstall"
expect "$(store_value HookHandle)" 0 "hook handle after Uninstall"
expect "$(ini_value other.ini Selected)" "" "the other file is untouched"
client 20 uninstall >/dev/null
expect "$(ini_value basics.ini Selected)" 0 "Selected after a second Uninstall"

# Install after Uninstall reloads from the new file and selects its Selected.
printf '[TESSEL32]\r\nSelected=1\r\n' >>"$E2E_DIR/other.ini"
out=$(client 20 install -1 "$other" getfront loaded selected mapbyindex 1 indexbymap greek)
expect "$out" "front=-1
loaded=1
selected=1
map=OTHER
index=0" "reload after Uninstall"
dump=$(store_dump)
expect_lines "$dump" "map 1 OTHER" "  30_N other" 'SettingsPath=C:\\tessel\\other.ini' "MessageTime=-300"
client 20 uninstall >/dev/null

# The store lives while a process maps it and goes with the last one.
release one
wait_until 30 store_gone || fail "the store outlived its last process"
out=$(client 20 loaded getfront)
expect "$out" "loaded=0
front=0" "after the last process"
echo PASS
