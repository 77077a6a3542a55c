#!/usr/bin/env bash
# Per-program maps with three copies of a test program: PROGA.EXE has a rule for GREEK,
# PROGB.EXE none, PROGC.EXE "<off>". A coming to the front switches to GREEK before any key
# (the button follows), B brings the earlier map back, C lets keys pass, a selector typed in
# A holds until the next program; the same with the hidden-mode host holding the hook; the
# editor's "Programs..." writes [Programs], and Rename and Delete carry the rules along.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"
e2e_setup

INI=programs.ini
for program in PROGA PROGB PROGC; do cp "$E2E_DIR/target_app.exe" "$E2E_DIR/$program.EXE"; done
printf '[TESSEL32]\r\nMessageShowTime=0\r\nSelected=2\r\n[MAPS]\r\nGREEK=\r\nLatin=\r\nOther=\r\n' >"$E2E_DIR/$INI"
printf '[Selectors]\r\n59_N=Other\r\n[GREEK]\r\n30_N=\xce\xb1\r\n[Latin]\r\n30_N=l\r\n[Other]\r\n30_N=o\r\n' >>"$E2E_DIR/$INI"
printf '[Programs]\r\nproga.exe=GREEK\r\nPROGC.EXE=<off>\r\nBad:Name=GREEK\r\nPROGB.EXE=NoSuchMap\r\n' >>"$E2E_DIR/$INI"

start_program() {  # start_program IMAGE TITLE: the test program under that name, in front
  rm -f "$E2E_DIR/$2.txt"
  wine_bg "$1" "$2" --unicode
  wait_window "$2"
  wait_until 10 test -f "$E2E_DIR/$2.txt" || fail "$2 writes no text"
}
front() { wait_until 10 focus_window "$1" || fail "cannot bring $1 to the front"; }
session() {  # session TAG: the story, with whichever client holds the hook
  front B; wait_until 5 selected_is 2 || fail "$1: B changed the map"
  front A; wait_until 5 selected_is 1 || fail "$1: A did not switch to GREEK"
  keys bp:41,1e; expect_text A "α"
  front B; wait_until 5 selected_is 2 || fail "$1: B did not bring Latin back"
  keys bp:41,1e; expect_text B "l"
  front C; wait_until 5 selected_is 0 || fail "$1: C did not switch mapping off"
  keys bp:41,1e; expect_text C "a"
  front A; wait_until 5 selected_is 1 || fail "$1: A did not switch to GREEK again"
  keys bp:70,3b; wait_until 5 selected_is 3 || fail "$1: the selector in A did not switch"
  keys bp:41,1e; expect_text A "αo"               # the choice holds in A
  front B; wait_until 5 selected_is 2 || fail "$1: leaving A did not bring Latin back"
  rm -f "$E2E_DIR"/{A,B,C}.txt
  W close A >/dev/null; W close B >/dev/null; W close C >/dev/null
  wait_gone A
}

start_front_end "/I:C:\\tessel\\$INI"
start_program PROGA.EXE A; start_program PROGB.EXE B; start_program PROGC.EXE C
front B
expect_title Latin 5
follow=$(W time-front A GREEK 5) || fail "the button did not follow A to the front: $follow"
echo "figure: A to the front, the button shows GREEK after ${follow#follow_ms=} ms"
session "front end"
menu_choose Controls Close
wait_until 20 eval '! running TESSEL32.EXE' || fail "the front end did not close"

start_host "C:\\tessel\\$INI"
start_program PROGA.EXE A; start_program PROGB.EXE B; start_program PROGC.EXE C
session host
W kill TESSHIDE32.EXE >/dev/null

# The editor: the programs of GREEK, the rules it ignores, Rename and Delete.
unmanaged_windows
start_front_end "/I:C:\\tessel\\$INI"
open_editor
click_map_entry 1
map_menu "Programs..."
wait_window "Tessel+ : Programs"
[ "$(W text "Tessel+ : Programs" 102)" = "proga.exe" ] || fail "GREEK's programs: $(W text "Tessel+ : Programs" 102)"
W text "Tessel+ : Programs" 104 | grep -q '^Bad:Name=GREEK: ' && W text "Tessel+ : Programs" 104 | grep -q '^PROGB.EXE=NoSuchMap: ' ||
  fail "ignored rules: $(W text "Tessel+ : Programs" 104)"
set_ctl_of "Tessel+ : Programs" 102 $'proga.exe\r\nwinword.exe\r\nx/y'
click "Tessel+ : Programs" 1
expect_info "Not a program's file name: x/y (no \\ / or :)"
set_ctl_of "Tessel+ : Programs" 102 $'proga.exe\r\nwinword.exe'
end_dialog "Tessel+ : Programs" 1
wait_until 5 ini_has $INI "winword.exe=GREEK" || fail "[Programs]: $(section $INI Programs)"
map_menu Rename
expect_prompt Tessel+
answer_with Hellas Ok
wait_until 10 eval '[ "$(section $INI Programs | grep -c "=Hellas$")" = 3 ]' || fail "Rename: $(section $INI Programs)"
click_map_entry 3
map_menu Delete
expect_prompt 'Tessel+ : Question'
press_prompt Yes
wait_until 10 eval '! section $INI Programs | grep -q "=Hellas$"' || fail "Delete left: $(section $INI Programs)"
section $INI Programs | grep -qx 'PROGC.EXE=<off>' || fail "Delete removed other rules: $(section $INI Programs)"
echo PASS
