#!/usr/bin/env bash
# Mapped keys typed into a real window: characters, brace groups, named keys, modifiers,
# key codes, virtual keys and Alt+keypad codes; unmapped keys pass unchanged.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup

start_host "$(settings_file typing.ini)"
start_target Typing

keys bp:41,1e;  expect_text Typing "hello world"
keys bp:53,1f;  expect_text Typing "hello world{}"
keys bp:46,21;  expect_text Typing "hello world{}ab"
keys bp:47,22;  expect_text Typing "hello world{}abxzy"
keys bp:48,23;  expect_text Typing "hello world{}abxzyA"
keys bp:4a,24;  expect_text Typing "hello world{}abxzyAa"
keys bp:4b,25;  expect_text Typing "hello world{}abxzyAaab"
keys bp:5a,2c;  expect_text Typing "hello world{}abxzyAaabz"   # unmapped: passes

# {&30} goes out as the key with key code 30: the virtual key of scan code 30 with its scan code.
target_messages Typing | grep -q '^1 WM_KEYDOWN 0x41 0x001E0001$' || fail "no key-down of key code 30"

# {^a}typed: Control down, A down and up, Control up, then the characters.
before=$(target_messages Typing | wc -l)
keys bp:44,20
wait_until 5 text_ends_with Typing typed || fail "no typed text after {^a}: [$(target_text Typing)]"
target_messages Typing | tail -n +$((before + 1)) | cut -d' ' -f2,3 > "$E2E_DIR/ctrl_a.txt"
grep -q 'WM_KEYDOWN 0x11' "$E2E_DIR/ctrl_a.txt" || fail "no Control key-down: $(cat "$E2E_DIR/ctrl_a.txt")"
sed -n '/WM_KEYDOWN 0x11/,$p' "$E2E_DIR/ctrl_a.txt" | grep -v 'WM_CHAR' | head -4 | tr '\n' ' ' |
  grep -q 'WM_KEYDOWN 0x11 WM_KEYDOWN 0x41 WM_KEYUP 0x41 WM_KEYUP 0x11' ||
  fail "unexpected Control+A sequence: $(tr '\n' ' ' < "$E2E_DIR/ctrl_a.txt")"

# {@065}: Alt down as a system key, keypad 0, 6, 5 with the Alt bit, Alt up as WM_KEYUP.
before=$(target_messages Typing | wc -l)
keys bp:4c,26
wait_until 5 sh -c "tr -d '\r' < '$E2E_DIR/Typing.msg' | grep -q 'WM_KEYUP 0x12'" || fail "no Alt key-up after {@065}"
seq=$(target_messages Typing | tail -n +$((before + 1)) | grep -v -E 'WM_(SYS)?CHAR' | cut -d' ' -f2,3 | tr '\n' ' ')
expected="WM_SYSKEYDOWN 0x12 WM_SYSKEYDOWN 0x60 WM_SYSKEYUP 0x60 WM_SYSKEYDOWN 0x66 WM_SYSKEYUP 0x66 WM_SYSKEYDOWN 0x65 WM_SYSKEYUP 0x65 WM_KEYUP 0x12 "
case "$seq" in *"$expected"*) ;; *) fail "Alt+keypad sequence was: $seq" ;; esac
target_messages Typing | grep -E 'WM_SYSKEYDOWN 0x6[056]' | awk '{print $4}' | while read -r data; do
  [ $(( data & 0x20000000 )) -ne 0 ] || { echo "FAIL: keypad key without the Alt bit: $data"; exit 1; }
done || exit 1

# A selector with MessageShowTime 0 switches at once and shows nothing.
keys bp:70,3b
wait_until 5 selected_is 0 || fail "F1 did not switch mapping off"
info_window_shown && fail "a map switch with MessageShowTime 0 showed a window"
keys bp:41,1e
wait_until 5 text_ends_with Typing "typeda" || fail "a did not pass with mapping off: [$(target_text Typing)]"

e2e_screenshot hook_typing
echo PASS
