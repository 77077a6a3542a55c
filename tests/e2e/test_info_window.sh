#!/usr/bin/env bash
# The timed information window: centred on the screen, sized to its text, blocking its
# caller for the whole duration; duration 0 shows nothing.
source "$(dirname "$0")/harness.sh"
e2e_setup

# rect of the information window: "left,top,right,bottom"
info_rect() { wine_run 10 win_tool.exe list | grep '#32770' | head -n 1 | awk '{print $NF}'; }

out=$(wine_run 20 show_info.exe 'nothing' 0 | tr -d '\r')
[ "$out" = "blocked_ms=0" ] || fail "duration 0 should return at once: $out"

wine_bg show_info.exe 'One line' 2500
wait_until 10 eval '[ -n "$(info_rect)" ]' || fail "no information window"
one=$(info_rect)
wait_until 10 eval '[ -z "$(info_rect)" ]' || fail "the window did not go away"
wine_bg show_info.exe 'One line\nand a second, longer line' -2500
wait_until 10 eval '[ -n "$(info_rect)" ]' || fail "no information window for two lines"
sleep 0.5
e2e_screenshot info_window_two_lines
two=$(info_rect)
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

# The caller is blocked for the duration.
out=$(wine_run 20 show_info.exe 'wait' 700 | tr -d '\r')
ms=${out#blocked_ms=}
[ "$ms" -ge 690 ] || fail "the call returned after $ms ms instead of 700"
echo PASS
