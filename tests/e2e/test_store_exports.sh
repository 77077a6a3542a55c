#!/usr/bin/env bash
# The export table of TESSHOOK32.DLL in both builds (undecorated names, the wide twins of the
# text exports, nothing else), and the constant answers: GetVersion by name and the TesselInfo
# table.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/store.sh"
e2e_setup

EXPECTED="GetFront
GetLastErrorText
GetLastErrorTextW
GetLoaded
GetSelected
GetVersion
IndexByMap
IndexByMapW
Install
InstallW
KeyBoardHook
MapByIndex
MapByIndexW
SelectMap
SetFront
TesselInfo
Uninstall"

exports_of() {
  "$1" -p "$2" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] //p' | sort
}

dll64=$(find "$TESSEL_WIN64_DIR" -name TESSHOOK32.DLL -not -path '*/CMakeFiles/*' -print -quit)
expect "$(exports_of x86_64-w64-mingw32-objdump "$dll64")" "$EXPECTED" "exports of the x86_64 build"

win32_dir=${TESSEL_WIN32_DIR:-$(dirname "$TESSEL_WIN64_DIR")/win32}
dll32=$(find "$win32_dir" -name TESSHOOK32.DLL -not -path '*/CMakeFiles/*' -print -quit 2>/dev/null)
if [ -n "$dll32" ]; then
  expect "$(exports_of i686-w64-mingw32-objdump "$dll32")" "$EXPECTED" "exports of the i686 build"
  i686-w64-mingw32-objdump -p "$dll32" | grep -q 'TESSHOOK32.DLL' || fail "i686 DLL name"
else
  echo "note: no i686 build under $win32_dir (set TESSEL_WIN32_DIR); its exports are not checked"
fi

out=$(client 20 version info 0 0 info 0 1 info 0 2 info 1 0 info 1 1 info 1 2 info 0 3 info 1 3 \
  info 0 4 info 1 95 info 0 95 info 0 96 info 1 96 info 2 0 info -1 0 info 0 -1 info 1 -5)
expect "$out" 'version=40109
info=Run
info=Wait
info=Focus
info=!Run cmdline
info=!Wait millisecs
info=!Focus title[,text...]
info=CANCEL
info=CANCEL
info=BACKSPACE
info=OEMCLEAR
info=OEMCLEAR
info=(null)
info=(null)
info=(null)
info=(null)
info=(null)
info=(null)' "GetVersion and TesselInfo"

# Every row of the key-name table, in order, behind the three commands.
rows=$(client 20 $(for i in $(seq 0 96); do printf 'info 0 %d ' "$i"; done) | sed 's/^info=//')
expect "$(printf '%s\n' "$rows" | wc -l)" 97 "rows of TesselInfo kind 0"
expect "$(printf '%s\n' "$rows" | sed -n '4p;18p;56p;71p;96p;97p' | tr '\n' ' ')" \
  "CANCEL ESC F10 F1 OEMCLEAR (null) " "selected rows of TesselInfo"
echo PASS
