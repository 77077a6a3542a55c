#!/usr/bin/env bash
# The timed information window: centred on the screen, sized to its text, showing the whole
# text for the whole duration (painted again when uncovered), blocking its caller; duration 0
# shows nothing. The hook's messages (a selector's map name, a failing Focus) show the same way.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/pixels.sh"
e2e_setup

out=$(wine_run 20 dialog_probe.exe info 'nothing' 0 | tr -d '\r')
[ "$out" = "blocked_ms=0" ] || fail "duration 0 should return at once: $out"

wine_bg dialog_probe.exe info 'One line' 2500
shown info_window_one_line 1
one=$INFO_RECT
for round in 1 2 3; do
  wine_bg dialog_probe.exe info 'One line\nand a second, longer line' -2500
  shown "info_window_two_lines_$round" 2
  two=$INFO_RECT
done
echo "one line: $one  two lines: $two"

IFS=, read -r l1 t1 r1 b1 <<< "$one"
IFS=, read -r l2 t2 r2 b2 <<< "$two"
for rect in "$l1 $t1 $r1 $b1" "$l2 $t2 $r2 $b2"; do
  set -- $rect
  cx=$(( ($1 + $3) / 2 )); cy=$(( ($2 + $4) / 2 ))
  [ $((cx - 512)) -ge -1 ] && [ $((cx - 512)) -le 1 ] && [ $((cy - 384)) -ge -1 ] && [ $((cy - 384)) -le 1 ] ||
    fail "window $rect is not centred on the 1024x768 screen"
done
[ $(( b2 - t2 )) -gt $(( b1 - t1 + 5 )) ] || fail "two lines are not taller than one"
[ $(( r2 - l2 )) -gt $(( r1 - l1 )) ] || fail "the longer line does not make the window wider"

# Covered by another X window and uncovered again, the window shows its text again.
convert -size 300x120 xc:lightyellow "$SHOTS/cover.png"
wine_bg dialog_probe.exe info 'Covered, then\nuncovered' 8000
wait_until 10 info_window_shown || fail "no information window to cover"
rect=$(info_rect)
covered() { e2e_screenshot covered >/dev/null && [ "$(text_verdict covered "$rect" 2)" = "no text at all" ]; }
timeout 30 display -geometry +362+324 "$SHOTS/cover.png" 9>&- 2>/dev/null &
cover_pid=$!
wait_until 10 covered || { kill "$cover_pid"; fail "the cover did not hide the window"; }
kill "$cover_pid"
wait "$cover_pid" 2>/dev/null
uncovered() { e2e_screenshot uncovered >/dev/null && [ "$(text_verdict uncovered "$rect" 2 | cut -d' ' -f1)" = ok ]; }
wait_until 3 uncovered || true
check_text uncovered "$rect" 2
wait_until 15 eval '! info_window_shown' || fail "the covered window did not go away"

# The caller is blocked for the duration, and not much longer.
out=$(wine_run 20 dialog_probe.exe info 'wait' 700 | tr -d '\r')
ms=${out#blocked_ms=}
echo "a 700 ms window blocked its caller for $ms ms"
[ "$ms" -ge 690 ] || fail "the call returned after $ms ms instead of 700"
[ "$ms" -lt 1700 ] || fail "the call returned only after $ms ms instead of 700"
out=$(wine_run 20 dialog_probe.exe info 'blink' -1 | tr -d '\r')
[ "${out#blocked_ms=}" -lt 1000 ] || fail "a 1 ms window blocked for ${out#blocked_ms=} ms"

# Inside the hook of another application: the map name of a selector ("Red &Blue", shown as
# "Red Blue" with the B underlined) and the message of a failing Focus.
start_host "$(settings_file info.ini)"
start_target Info
for round in 1 2 3; do
  keys bp:70,3b                                # F1 selects "Red &Blue"
  shown "info_selector_$round" 1 underline
  selected_is 1 || fail "F1 did not select the map"
done
for round in 1 2 3; do
  keys bp:46,21                                # {!Focus NoSuchWindowXyz}lost
  shown "info_focus_failed_$round" 1
done
sleep 0.3
text_is Info "" || fail "text after a failing Focus was played: [$(target_text Info)]"
echo PASS
