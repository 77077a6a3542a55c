#!/usr/bin/env bash
# Display scaling: one session at 96 DPI, then the same at 192 DPI (the prefix's LogPixels).
# At 96 everything has its design size. At 192 the button window is twice its design size
# (its size is stored in design pixels), the options dialog's client area and the map editor
# are twice their size at 96, a label's text is twice as tall and drawn at that size rather
# than stretched, and the information window fits its text.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"
source "$(dirname "$0")/pixels.sh"
e2e_setup

OPTIONS="Tessel+ : Options"
INI=scaling.ini
printf '[TESSEL32]\r\nMessageShowTime=0\r\n[MAPS]\r\nGreek=\r\n[Greek]\r\n30_N=a\r\n' >"$E2E_DIR/$INI"

size_of() { local l t r b; IFS=, read -r l t r b <<<"$1"; echo "$((r - l))x$((b - t))"; }

# session DPI: the sizes at the prefix's DPI, in BUTTON, OPTIONS, TEXT (label height and
# whether doubled) and EDITOR; the information window checked for its text.
session() {
  local dpi=$1
  start_front_end "/I:C:\\tessel\\$INI"
  BUTTON=$(size_of "$(button_rect)")
  menu_choose Controls Options
  wait_window "$OPTIONS"
  OPTIONS_SIZE=$(size_of "$(W rect "$OPTIONS" client)")
  e2e_screenshot "options_$dpi" >/dev/null || fail "no screenshot"
  TEXT=$(glyph_box "options_$dpi" "$(control_rect "$OPTIONS" 102)")
  click "$OPTIONS" 2
  wait_gone "$OPTIONS"
  open_editor
  EDITOR=$(size_of "$(W rect "$ED" client)")
  e2e_screenshot "editor_$dpi" >/dev/null
  click "$ED" Close
  wait_gone "$ED"
  menu_choose Controls Close
  wait_until 20 eval '! running TESSEL32.EXE' || fail "the front end did not close"
  wine_bg dialog_probe.exe info 'Scaled text' 2500
  PIXELS_SCALE=$((dpi / 96)) shown "info_$dpi" 1
  echo "$dpi DPI: button $BUTTON, options client $OPTIONS_SIZE, label text $TEXT, editor client $EDITOR, information window $(size_of "$INFO_RECT")"
}

session 96
[ "$BUTTON" = 125x28 ] || fail "96 DPI: the button window is $BUTTON, not its design size 125x28"
[ "$OPTIONS_SIZE" = 269x148 ] || fail "96 DPI: the options client area is $OPTIONS_SIZE"
[ "$EDITOR" = 441x212 ] || fail "96 DPI: the editor's client area is $EDITOR"
[ "$(ini_value $INI Width)x$(ini_value $INI Height)" = 125x28 ] || fail "96 DPI: stored $(ini_value $INI Width)x$(ini_value $INI Height)"
options96=$OPTIONS_SIZE editor96=$EDITOR text96=${TEXT% *} info96=$(size_of "$INFO_RECT")

at_exit "wine_run 20 reg delete 'HKCU\\Control Panel\\Desktop' /v LogPixels /f >/dev/null 2>&1"
wine_run 20 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null ||
  fail "cannot set LogPixels"
session 192
twice() { local w=${1%x*} h=${1#*x}; echo "$((2 * w))x$((2 * h))"; }
[ "$BUTTON" = 250x56 ] || fail "192 DPI: the button window is $BUTTON, not twice its design size"
[ "$OPTIONS_SIZE" = "$(twice "$options96")" ] || fail "192 DPI: the options client area is $OPTIONS_SIZE, at 96 $options96"
[ "$EDITOR" = "$(twice "$editor96")" ] || fail "192 DPI: the editor's client area is $EDITOR, at 96 $editor96"
height=${TEXT% *}
[ "$height" -ge $((2 * text96 - 2)) ] && [ "$height" -le $((2 * text96 + 2)) ] ||
  fail "192 DPI: the label's text is $height pixels tall, at 96 $text96"
[ "${TEXT#* }" = 0 ] || fail "192 DPI: the label's text is a stretched bitmap"
[ "$(ini_value $INI Width)x$(ini_value $INI Height)" = 125x28 ] ||
  fail "192 DPI: the button's size was stored as $(ini_value $INI Width)x$(ini_value $INI Height), not in design pixels"
info192=$(size_of "$INFO_RECT")
[ "${info192%x*}" -gt $((2 * ${info96%x*} - 8)) ] || fail "192 DPI: the information window is $info192, at 96 $info96"
echo PASS
