#!/usr/bin/env bash
# Unicode replacement text through the hook, in Wine's default (English) locale: a UTF-8
# settings file types é→α and an emoji into a Unicode window (its UTF-16 units arrive, the
# emoji as its surrogate pair) and into an ANSI window (the code page's conversion); Run
# starts a program in a folder with a Greek name; Focus finds a window titled in Cyrillic;
# the information window shows a Greek map name; the host takes a Greek /M:; an ANSI file
# with bytes 128-255 and \NNN escapes types what it always typed.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/pixels.sh"
e2e_setup

GREEK=Ελληνικά CYRILLIC=Кириллица
mkdir -p "$E2E_DIR/Πρόγραμμα" && cp "$E2E_DIR/target_app.exe" "$E2E_DIR/Πρόγραμμα/" || fail "no Greek folder"
printf '[TESSEL32]\r\nMessageShowTime=1500\r\nDoBeep=0\r\n[MAPS]\r\n%s=\r\n[Selectors]\r\n59_C=%s\r\n' \
  "$GREEK" "$GREEK" >"$E2E_DIR/unicode.ini"
printf '[%s]\r\n30_N=é→α\r\n48_N=😀\r\n46_N={!Run C:\\tessel\\Πρόγραμμα\\target_app.exe --unicode Ρω}\r\n32_N={!Focus %s}x\r\n' \
  "$GREEK" "$CYRILLIC" >>"$E2E_DIR/unicode.ini"
start_host 'C:\tessel\unicode.ini' "/M:$GREEK"
selected_is 1 || fail "/M:$GREEK did not select the map"

# A Unicode window: exactly U+00E9 U+2192 U+03B1, then U+1F600 as D83D DE00.
start_target Unicode --unicode
keys bp:41,1e bp:42,30
expect_text Unicode "é→α😀"
chars=$(target_messages Unicode | awk '$2 == "WM_CHAR" { print $3 }' | paste -sd' ')
[ "$chars" = "0xE9 0x2192 0x3B1 0xD83D 0xDE00" ] || fail "WM_CHAR of the Unicode window: $chars"

# An ANSI window receives the system's conversion: é is its Windows-1252 byte.
start_target Ansi
keys bp:41,1e bp:42,30
wait_until 5 eval '[ "$(head -c 1 "$E2E_DIR/Ansi.txt" | od -An -tx1 | tr -d " ")" = e9 ]' ||
  fail "é did not arrive as 0xE9 in the ANSI window: $(od -An -tx1 "$E2E_DIR/Ansi.txt")"
sleep 1
echo "figure: é→α😀 in an ANSI window of code page 1252: $(od -An -tx1 "$E2E_DIR/Ansi.txt" | tr -s ' ')" \
  "(WM_CHAR $(target_messages Ansi | awk '$2 == "WM_CHAR" { print $3 }' | paste -sd' '))"

# Run: a program whose path holds Greek letters, with a Greek argument.
keys bp:43,2e
wait_window "Ρω" 20
W close "Ρω" >/dev/null

# Focus: a window titled in Cyrillic is found and typed into.
start_target "$CYRILLIC" --unicode
focus_window Unicode || fail "cannot focus Unicode"
keys bp:44,20
expect_text "$CYRILLIC" x 10

# The map name in the information window, drawn as the Greek text it is: the hook's window
# looks as the window that shows that text on its own, and not as one of question marks.
focus_window Unicode || fail "cannot focus Unicode"
keys bd:11,1d bp:70,3b bu:11,1d
wait_until 10 info_window_shown || fail "no information window on the selector"
hook_rect=$(info_rect)
e2e_screenshot info_greek_hook >/dev/null
check_text info_greek_hook "$hook_rect" 1
crop_info() { convert "$SHOTS/$1.png" -crop "$(awk -F, '{ printf "%dx%d+%d+%d", $3-$1, $4-$2, $1, $2 }' <<<"$2")" +repage "$SHOTS/$1_crop.png"; }
crop_info info_greek_hook "$hook_rect"
wait_until 10 eval '! info_window_shown' || fail "the information window stayed"
for text in "$GREEK" '????????'; do
  wine_bg dialog_probe.exe info "$text" 1500
  wait_until 10 info_window_shown || fail "dialog_probe showed nothing"
  e2e_screenshot info_probe >/dev/null
  crop_info info_probe "$(info_rect)"
  same=$(compare -metric AE "$SHOTS/info_greek_hook_crop.png" "$SHOTS/info_probe_crop.png" null: 2>&1)
  [ "$text" = "$GREEK" ] && [ "$same" != 0 ] && fail "the hook's window differs from $GREEK drawn on its own ($same pixels)"
  [ "$text" != "$GREEK" ] && [ "$same" = 0 ] && fail "the hook's window shows question marks"
  wait_until 10 eval '! info_window_shown' || fail "the information window stayed"
done

# An ANSI file types what it always typed: bytes of code page 1252 and \NNN escapes.
W kill TESSHIDE32.EXE >/dev/null
printf '[TESSEL32]\r\nMessageShowTime=0\r\nSelected=1\r\n[MAPS]\r\nLatin=\r\n[Latin]\r\n30_N=caf\xe9\\233\\128\\s\xfc\r\n' \
  >"$E2E_DIR/ansi.ini"
start_host 'C:\tessel\ansi.ini'
focus_window Unicode || fail "cannot focus Unicode"
keys bp:41,1e
expect_text Unicode "é→α😀caféé€ ü"
focus_window Ansi || fail "cannot focus Ansi"
before=$(od -An -tx1 "$E2E_DIR/Ansi.txt" | tr -d ' \n')
keys bp:41,1e
wait_until 5 eval '[ "$(od -An -tx1 "$E2E_DIR/Ansi.txt" | tr -d " \n")" = "${before}636166e9e98020fc" ]' ||
  fail "the ANSI file typed $(od -An -tx1 "$E2E_DIR/Ansi.txt") into the ANSI window"
echo PASS
