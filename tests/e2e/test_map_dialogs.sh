#!/usr/bin/env bash
# The dialogs of the map commands on their own, run by dialog_probe.exe. The prompt (class
# TAsk): button layouts by the number of fields, the answer field as a plain field or a
# drop-down, scaling by the zoom, focus on the first button, Enter and Escape pressing
# nothing, the close box giving 0. The open and save dialogs of Import and Export: titles,
# filters, default extension, a missing file accepted for Import, an existing one for Export.
source "$(dirname "$0")/harness.sh"
e2e_setup

# win_tool with CR removed, keeping its exit status.
W() {
  local out rc
  out=$(wine_run 20 win_tool.exe "$@")
  rc=$?
  printf '%s\n' "$out" | tr -d '\r'
  return $rc
}
# has_control TITLE CLASS ID: the window has that control.
has_control() { W children "$1" | grep -qE "^[0-9]+ $2 $3 "; }

# prompt ZOOM SPEC ANSWER TITLE: opens the prompt and waits for its window.
prompt() {
  rm -f "$E2E_DIR/prompt.out"
  (cd "$E2E_DIR" && exec timeout -k 5 120 "$WINE" dialog_probe.exe prompt "$1" "$2" "$3" 9>&- >"$E2E_DIR/prompt.out" 2>&1) &
  wait_until 20 W wait-window "$4" 1 || fail "no prompt \"$4\""
  wait_until 10 has_control "$4" Static 105 || fail "prompt \"$4\" has no controls"
}
# outcome TEXT: the probe's output once the dialog has closed.
outcome() {
  wait_until 20 grep -qE '^(answer=|chosen=|cancelled)' "$E2E_DIR/prompt.out" ||
    fail "the prompt did not close (waiting for [$1]); windows: $(W list)"
  local got
  got=$(tr -d '\r' <"$E2E_DIR/prompt.out" | tr '\n' ' ')
  [ "$got" = "$1" ] || fail "expected [$1], got [$got]"
}
# control TITLE ID: "class id [text] l,t,r,b visible" of the control with that id
control() { W children "$1" | grep -E "^[0-9]+ [A-Za-z]+ $2 " | cut -d' ' -f2-; }
visible() { [ "$(control "$1" "$2" | awk '{print $NF}')" = 1 ]; }
focus_is() { [ "$(W focus)" = "$1" ]; }
# Pixels darker than mid-grey inside a screen rectangle "l,t,r,b" of a screenshot.
dark_pixels() {
  local l t r b
  IFS=, read -r l t r b <<<"$2"
  convert "$TESSEL_E2E_WORK/shots/$1.png" -crop "$((r - l - 6))x$((b - t - 6))+$((l + 3))+$((t + 3))" \
    -colorspace gray -threshold 50% -negate -format '%[fx:round(mean*w*h)]' info:
}
rect_of() { control "$1" "$2" | grep -oE '[0-9-]+,[0-9-]+,[0-9-]+,[0-9-]+'; }

# 1. Four fields and no answer field: two buttons, the left one focused; Escape does nothing.
title='Tessel+ : Question'
prompt 100 'Tessel+ : Question,do you really want to\npermanently remove map\nTom && Jerry ?,<-Back,Yes' '-' "$title"
control "$title" 101 | grep -q '^Button 101 \[<-Back\]' || fail "left button: $(control "$title" 101)"
control "$title" 102 | grep -q '^Button 102 \[Yes\]' || fail "right button: $(control "$title" 102)"
visible "$title" 101 && visible "$title" 102 || fail "both buttons must show"
visible "$title" 103 && fail "the only button must be hidden"
visible "$title" 104 && fail "the answer field must be hidden"
[ "$(W ctltext "$title" 6)" = "$(printf 'do you really want to\npermanently remove map\nTom && Jerry ?')" ] ||
  fail "prompt text: $(W ctltext "$title" 6)"
wait_until 10 focus_is 'Button|<-Back' || fail "focus: $(W focus)"
wait_until 10 focus_window "$title" || fail "cannot focus the prompt"
timeout 5 xdotool key Escape Tab
wait_until 10 focus_is 'Button|Yes' || fail "Tab after Escape did not reach Yes: $(W focus)"
W wait-window "$title" 0 >/dev/null || fail "Escape closed the prompt"
e2e_screenshot prompt_question
W click "$title" Yes >/dev/null
outcome 'result=2 answer=[-] '

# 2. An empty answer: a plain editable field without a list; Enter in it presses nothing.
title='Tessel+'
prompt 100 'Tessel+,Specify a name for the new map,<-Back,Ok' '' "$title"
[ "$(W combo "$title" 3 | head -n 1)" = "simple 0 -1" ] || fail "plain field: $(W combo "$title" 3)"
visible "$title" 104 || fail "the answer field must show"
W children "$title" | grep -E ' ComboLBox ' | grep -q ' 1$' && fail "the plain field shows a list"
wait_until 10 focus_window "$title" || fail "cannot focus the prompt"
edit=$(W children "$title" | awk '$2 == "Edit" {print $1}')
W fgattach "$title" "$edit" >/dev/null || fail "cannot focus the answer field"
timeout 10 xdotool type --delay 50 'Latin'
timeout 5 xdotool key Return Tab
wait_until 10 focus_is 'Button|<-Back' || fail "Tab after Enter did not wrap to <-Back: $(W focus)"
W wait-window "$title" 0 >/dev/null || fail "Enter closed the prompt"
W click "$title" Ok >/dev/null
outcome 'result=2 answer=[Latin] '

# 3. Three choices at zoom 150: a drop-down starting at its first item, everything scaled;
#    the close box gives 0 and still returns the answer field's text.
prompt 150 'Tessel+,Select a map to import,<-Back,Ok' 'alpha,beta,gamma' "$title"
[ "$(W combo "$title" 3 | tr '\n' ' ')" = "dropdown 3 0 alpha beta gamma " ] || fail "drop-down: $(W combo "$title" 3)"
[ "$(W ctltext "$title" 3)" = alpha ] || fail "the field starts with $(W ctltext "$title" 3)"
IFS=, read -r l t r b <<<"$(rect_of "$title" 101)"
[ $((r - l)) = 112 ] && [ $((b - t)) = 30 ] || fail "the buttons are not scaled by 150 %: $l,$t,$r,$b"
IFS=, read -r l t r b <<<"$(rect_of "$title" 105)"
[ $((r - l)) = 304 ] || fail "the prompt label is not scaled: $l,$t,$r,$b"
sleep 0.5  # let the controls paint before the picture
e2e_screenshot prompt_dropdown
[ "$(dark_pixels prompt_dropdown "$(rect_of "$title" 104)")" -gt 20 ] || fail "the answer field shows no text"
W settext "$title" 4 'typed' >/dev/null
W close "$title" >/dev/null
outcome 'result=0 answer=[typed] '

# 4. Three fields: the only button, captioned with field 3, focused; Enter presses it.
title='Information'
prompt 100 'Information,All done,Close' '-' "$title"
visible "$title" 101 || visible "$title" 102 && fail "two buttons for three fields"
control "$title" 103 | grep -q '^Button 103 \[Close\] .* 1$' || fail "only button: $(control "$title" 103)"
wait_until 10 focus_is 'Button|Close' || fail "focus: $(W focus)"
wait_until 10 focus_window "$title" || fail "cannot focus the prompt"
timeout 5 xdotool key Return
outcome 'result=1 answer=[-] '

# 5. Two fields give "Ok"; a comma in the prompt moves the rest into the buttons.
prompt 100 'Two,fields' '-' 'Two'
control Two 103 | grep -q '^Button 103 \[Ok\]' || fail "two fields: $(control Two 103)"
W click Two Ok >/dev/null
outcome 'result=1 answer=[-] '
prompt 100 'Cut,one, two,<-Back,Ok' '-' 'Cut'
[ "$(W ctltext Cut 6)" = one ] || fail "the prompt was not cut at the comma"
control Cut 101 | grep -q '^Button 101 \[ two\]' || fail "left button: $(control Cut 101)"
control Cut 102 | grep -q '^Button 102 \[<-Back\]' || fail "right button: $(control Cut 102)"
W click Cut '<-Back' >/dev/null
outcome 'result=2 answer=[-] '

# file_dialog import|export TITLE: opens the dialog and waits for it.
file_dialog() {
  rm -f "$E2E_DIR/prompt.out"
  (cd "$E2E_DIR" && exec timeout -k 5 120 "$WINE" dialog_probe.exe "$1" 9>&- >"$E2E_DIR/prompt.out" 2>&1) &
  wait_until 30 W wait-window "$2" 1 || fail "no dialog \"$2\""
  wait_until 10 has_control "$2" Edit 1148 || fail "dialog \"$2\" has no file name field"
}
name_field() { W children "$1" | awk '$2 == "Edit" && $3 == 1148 {print $1}'; }
type_combo() { W children "$1" | awk '$2 == "ComboBox" && $3 == 1136 {print $1}'; }

title='Select a file for storing the map (can be new)'
file_dialog export "$title"
[ "$(W combo "$title" "$(type_combo "$title")" | tr '\n' '|')" = \
  "droplist 3 0|Map files (*.key)|Ini files (*.ini)|Text files (*.txt)|" ] || fail "export filters: $(W combo "$title" "$(type_combo "$title")")"
W settext "$title" "$(name_field "$title")" 'out' >/dev/null
W click "$title" Save >/dev/null
outcome 'chosen=[C:\tessel\out.key] '
# An existing file is taken without a question: the map is merged into it.
printf '[MAPS]\r\n' >"$E2E_DIR/old.key"
file_dialog export "$title"
W settext "$title" "$(name_field "$title")" 'old.key' >/dev/null
W click "$title" Save >/dev/null
outcome 'chosen=[C:\tessel\old.key] '

title='Select a file with a keyboard map'
file_dialog import "$title"
[ "$(W combo "$title" "$(type_combo "$title")" | tr '\n' '|')" = \
  "droplist 4 0|Map files (*.key)|Ini files (*.ini)|Text files (*.txt)|All files|" ] || fail "import filters: $(W combo "$title" "$(type_combo "$title")")"
e2e_screenshot import_dialog
W settext "$title" "$(name_field "$title")" 'C:\tessel\missing.key' >/dev/null
W click "$title" Open >/dev/null
outcome 'chosen=[C:\tessel\missing.key] '
file_dialog import "$title"
W click "$title" Cancel >/dev/null
outcome 'cancelled '
echo PASS
