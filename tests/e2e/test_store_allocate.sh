#!/usr/bin/env bash
# Size of a new store from Allocate, the fit test against BlockSize, and the "maps do not
# fit" message box, which each process shows once.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/store.sh"
e2e_setup

TOO_SMALL="Tessel+ : Cannot load the maps"

# A settings file C:\tessel\NAME whose maps need exactly NEEDED bytes of the store:
# 350 bytes for header, path, "<off>", map M and tables, plus the entries of M.
ini_needing() {
  local name=$1 needed=$2
  python3 - "$E2E_DIR/$name" "$needed" "${#name}" <<'PY'
import sys
path, needed, name_length = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rest = needed - (304 + len("C:\\tessel\\") + name_length + 1 + 8 + 2 + 2 + 16)
lines = ["[MAPS]", "M=", "[M]"]
key = 2
while rest > 1003 + 3:
    lines.append("%d_N=%s" % (key, "x" * 1000)); rest -= 1003; key += 1
lines.append("%d_N=%s" % (key, "y" * (rest - 3)))
open(path, "w", newline="").write("\r\n".join(lines) + "\r\n")
PY
  printf 'C:\\tessel\\%s' "$name"
}

# Allocate -> BlockSize of a new store, seen from another process.
for case in "abc 20480" "0x20 36864" "16 20480" "0 4096" "-3 1024" "-4 320" "-1000 320"; do
  set -- $case
  ini=$(write_ini alloc.ini '[TESSEL32]' "Allocate=$1")
  keeper alloc install 1 "$ini"
  if [ "$2" = 320 ]; then
    # Not even the path fits: the load fails with the message box.
    close_box "$TOO_SMALL" $'The allocated memory is too small for the maps.\nPlease restart Tessel that it can allocate more memory.'
  fi
  wait_until 20 store_value_is BlockSize "$2" ||
    fail "Allocate=$1: BlockSize $(store_value BlockSize), expected $2"
  expect "$(store_value Front)" 1 "Allocate=$1: front"
  release alloc
  wait_until 30 store_gone || fail "Allocate=$1: the store stays"
done

# Default store of 20480 bytes: 20479 needed bytes fit, 20480 do not.
ini=$(ini_needing fit.ini 20479)
keeper fit install 1 "$ini"
wait_until 20 store_value_is LoadedCount 1 || fail "20479 bytes did not load"
expect "$(store_value NeededSize)" 20479 "NeededSize of the fitting file"
expect "$(store_value DataEnd)" 20479 "DataEnd of the fitting file"
expect "$(store_value BlockSize)" 20480 "BlockSize"
expect "$(ini_value fit.ini Allocate)" 19 "Allocate after 20479 bytes"
client 20 uninstall >/dev/null

ini_needing fit.ini 20480 >/dev/null
wine_bg store_client.exe install 7 "$ini" touch 'C:\tessel\first.done' install 8 "$ini" \
  touch 'C:\tessel\second.done' getfront
close_box "$TOO_SMALL"
wait_until 20 test -f "$E2E_DIR/second.done" || fail "the second Install in the process did not return"
sleep 4
window_shown "$TOO_SMALL" && fail "the message box came twice in one process"
expect "$(store_value NeededSize)" 20480 "NeededSize of the file that does not fit"
expect "$(store_value LoadedCount)" 1 "the previous maps stay"
expect "$(store_value DataEnd)" 20479 "the previous data stays"
expect "$(store_value HookHandle)" 0 "no hook when the maps do not fit"
expect "$(store_value Front)" 8 "Front is written before the load"
expect "$(ini_value fit.ini Allocate)" 20 "Allocate after 20480 bytes"

# Another process shows it again, once; the mutex is free afterwards.
wine_bg store_client.exe install 9 "$ini"
close_box "$TOO_SMALL"
out=$(client 20 getfront loaded selected)
expect "$out" "front=9
loaded=1
selected=0" "after the failed loads"
release fit
echo PASS
