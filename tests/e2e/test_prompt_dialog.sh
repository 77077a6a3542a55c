#!/usr/bin/env bash
# The prompt dialog (class TAsk) on its own, run by dialog_probe.exe, for what the map
# commands cannot show: scaling by the zoom, the first focus, Enter and Escape pressing
# nothing but a focused button, and the close box giving 0 with the answer field's text.
source "$(dirname "$0")/harness.sh"
e2e_setup

# prompt ZOOM SPEC ANSWER TITLE: opens the prompt and waits for its controls.
prompt() {
  rm -f "$E2E_DIR/prompt.out"
  (cd "$E2E_DIR" && exec timeout -k 5 120 "$WINE" dialog_probe.exe prompt "$1" "$2" "$3" 9>&- >"$E2E_DIR/prompt.out" 2>&1) &
  wait_until 20 W text "$4" 105 || fail "no prompt \"$4\""
}
outcome() {  # outcome TEXT: what the probe printed once the dialog closed
  wait_until 20 grep -q '^answer=' "$E2E_DIR/prompt.out" || fail "the prompt did not close (waiting for [$1])"
  [ "$(tr -d '\r' <"$E2E_DIR/prompt.out" | paste -sd' ')" = "$1" ] || fail "expected [$1], got [$(cat "$E2E_DIR/prompt.out")]"
}
control() { W children "$1" | grep -E "^[0-9]+ [A-Za-z]+ $2 " | cut -d' ' -f2-; }
visible() { [ "$(control "$1" "$2" | awk '{print $NF}')" = 1 ]; }
size_of() { control "$1" "$2" | grep -oE '[0-9-]+,[0-9-]+,[0-9-]+,[0-9-]+' | awk -F, '{print $3 - $1 "x" $4 - $2}'; }
focus_is() { [ "$(W focus)" = "$1" ]; }

# Four fields and no answer field: two buttons, the left one focused; Escape does nothing
# (the Tab after it still reaches the dialog).
title='Tessel+ : Question'
prompt 100 'Tessel+ : Question,do you really want to\npermanently remove map\nTom && Jerry ?,<-Back,Yes' '-' "$title"
visible "$title" 101 && visible "$title" 102 || fail "both buttons must show"
visible "$title" 103 || visible "$title" 104 && fail "the only button and the answer field must be hidden"
wait_until 10 focus_is '101 Button [<-Back]' || fail "first focus: $(W focus)"
wait_until 10 focus_window "$title" || fail "cannot focus the prompt"
timeout 5 xdotool key Escape Tab
wait_until 10 focus_is '102 Button [Yes]' || fail "Tab after Escape did not reach Yes: $(W focus)"
e2e_screenshot prompt_question
click "$title" Yes
outcome 'result=2 answer=[-]'

# Three choices at zoom 150: a drop-down starting at its first item, everything scaled;
# Enter in the answer field presses nothing; the close box gives 0 and the field's text.
title=Tessel+
prompt 150 'Tessel+,Select a map to import,<-Back,Ok' 'alpha,beta,gamma' "$title"
[ "$(combo_state "$title" 104 | paste -sd' ')" = "dropdown 3 0 alpha beta gamma" ] || fail "drop-down: $(combo_state "$title" 104)"
[ "$(size_of "$title" 101)" = 112x30 ] || fail "a button of 75 x 20 at 150 %: $(size_of "$title" 101)"
[ "$(size_of "$title" 105)" = 304x73 ] || fail "the prompt of 203 x 49 at 150 %: $(size_of "$title" 105)"
sleep 0.5  # let the controls paint before the picture
e2e_screenshot prompt_dropdown
W settext "$title" 104 typed >/dev/null
wait_until 10 focus_window "$title" || fail "cannot focus the prompt"
W fgattach "$title" 104 >/dev/null || fail "cannot focus the answer field"
timeout 5 xdotool key Return Tab
wait_until 10 focus_is '101 Button [<-Back]' || fail "Tab after Enter did not wrap to <-Back: $(W focus)"
W close "$title" >/dev/null
outcome 'result=0 answer=[typed]'

# Three fields: the only button, captioned with field 3, focused; Enter presses it.
title=Information
prompt 100 'Information,All done,Close' '-' "$title"
control "$title" 103 | grep -q '^Button 103 \[Close\] .* 1$' || fail "only button: $(control "$title" 103)"
wait_until 10 focus_is '103 Button [Close]' || fail "first focus: $(W focus)"
wait_until 10 focus_window "$title" || fail "cannot focus the prompt"
timeout 5 xdotool key Return
outcome 'result=1 answer=[-]'
echo PASS
