#!/usr/bin/env bash
# The hook handed between the front end TESSEL32.EXE and the hidden-mode host TESSHIDE32.EXE:
# ShowWindow=0 starts only the host; unhide and hide, ten times in a row, never lose the hook
# or the selection; a host waiting while the front end closes keeps its claim; a slow host
# is waited for; a front end or host that died leaves nothing that blocks the next start;
# two starts at once open one window; a failed write during Hide is reported and the hide
# goes on. (tests/e2e/bench_frontend.sh times the hand-overs.)
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup
ini=$(settings_file frontend.ini)
sed -i 's/^Selected=1/Selected=1\r\nShowWindow=0/' "$E2E_DIR/frontend.ini"
start_target Typing

host_gone() { running TESSHIDE32.EXE 0; }
no_front_end() { running TESSEL32.EXE 0; }
# A keystroke typed into Typing arrives mapped: the hook really works.
typing_mapped() {  # typing_mapped EXPECTED-TEXT
  focus_window Typing || fail "cannot focus Typing"
  keys text:a
  expect_text Typing "$1" 3
}
hide() {
  menu_choose Controls Hide
  wait_until 20 host_holds_hook || fail "the host does not hold the hook after Hide"
  wait_until 20 no_front_end || fail "the front end did not end after Hide"
  [ "$(ini_value frontend.ini ShowWindow)" = 0 ] || fail "Hide did not store ShowWindow=0"
}
unhide() {
  start_front_end "$@"
  wait_until 20 host_gone || fail "the host did not leave"
  [ "$(ini_value frontend.ini ShowWindow)" = 1 ] || fail "unhiding did not store ShowWindow=1"
}

# ShowWindow=0 with nobody holding the hook: only the host starts, with the start map.
wine_run 30 TESSEL32.EXE "/I:$ini" /M:second || fail "TESSEL32.EXE did not end after starting the host"
wait_until 20 host_holds_hook || fail "ShowWindow=0 did not start the host"
[ -z "$(button_window)" ] || fail "ShowWindow=0 showed the button window"
selected_is 4 || fail "the host did not select the start map"

# Unhide: "Unhiding..." shows while the host leaves; the window comes back with the hook.
wine_bg TESSEL32.EXE "/I:$ini" /M:second
wait_until 10 info_window_shown || fail "no \"Unhiding...\" window"
e2e_screenshot frontend_unhiding
wait_until 20 front_end_holds_hook || fail "no button window with the hook after unhiding"
host_gone || fail "the host is still running"
expect_title Second

# Hide passes the start map to the host, which selects it again.
wine_run 10 store_client.exe select 1 >/dev/null
expect_title First 2
hide
selected_is 4 && [ "$(store_field LoadedCount)" = 4 ] || fail "the host has map $(store_field SelectedMap) of $(store_field LoadedCount)"
typing_mapped 2

# Ten hand-overs each way without a start map: the selection survives, the hook works.
unhide "/I:$ini"
wine_run 10 store_client.exe select 2 >/dev/null
expect_title "Tom && Jerry" 2
for round in 1 2 3 4 5 6 7 8 9 10; do
  hide
  selected_is 2 || fail "round $round: the host has map $(store_field SelectedMap)"
  unhide "/I:$ini"
  selected_is 2 && title_is "Tom && Jerry" || fail "round $round: the front end shows $(button_title)"
done
typing_mapped 2tj

# A host started while the front end runs waits; when the front end closes it takes the
# hook, and nothing takes it away again.
wine_bg TESSHIDE32.EXE "/I:$ini"
wait_until 10 running TESSHIDE32.EXE 1 || fail "the waiting host did not start"
menu_choose Controls Close
wait_until 20 host_holds_hook || fail "the waiting host did not take the hook"
sleep 2
host_holds_hook || fail "the host lost the hook after the front end closed (front value $(front_value))"

# A slow host, still holding the hook 2.5 s after the front end asked for it: the front end
# waits for it instead of installing while the host still holds the hook.
W kill TESSHIDE32.EXE >/dev/null
wine_run 10 store_client.exe uninstall setfront 0 >/dev/null
wine_bg store_client.exe install -1 "$ini" wait-front 1 60 sleep 2500 uninstall setfront 0
wait_until 10 eval '[ "$(front_value)" = -1 ]' || fail "the slow host did not install"
start_front_end "/I:$ini"
sleep 1
front_end_holds_hook || fail "the hook went away with the slow host"
typing_mapped 2tjtj

# A front end that died leaves its window as the front value: the next start goes ahead.
W kill TESSEL32.EXE >/dev/null || fail "cannot kill the front end"
[ "$(front_value)" -gt 1 ] || fail "the killed front end left the front value $(front_value)"
start_front_end "/I:$ini"
[ -z "$(info_rect)" ] || fail "a dead front end's window still counts as running"
typing_mapped 2tjtjtj

# A host that died holding the hook counts as nobody: as ShowWindow is 0, the next start
# starts a new host, and the one after that unhides.
hide
W kill TESSHIDE32.EXE >/dev/null || fail "cannot kill the host"
wine_run 30 TESSEL32.EXE "/I:$ini" || fail "TESSEL32.EXE did not end after starting the host"
wait_until 20 host_holds_hook || fail "no new host after the old one died"
unhide "/I:$ini"
typing_mapped 2tjtjtjtj

# Two starts at the same moment open one window.
menu_choose Controls Close
wait_until 20 no_front_end || fail "the front end did not close"
sed -i 's/^ShowWindow=0/ShowWindow=1/' "$E2E_DIR/frontend.ini"
wine_bg TESSEL32.EXE "/I:$ini"; wine_bg TESSEL32.EXE "/I:$ini"
wait_until 30 front_end_holds_hook || fail "neither start opened the window"
wait_until 20 running TESSEL32.EXE 1 || fail "both front ends keep running"
[ "$(W list | grep -c ' TMain ')" = 1 ] || fail "two button windows"

# A failed write during Hide is reported, then the hide goes on.
chattr +i "$E2E_DIR/frontend.ini" || fail "chattr +i failed"
menu_choose Controls Hide
wait_window "Tessel+ : Error"
chattr -i "$E2E_DIR/frontend.ini"
close_box "Tessel+ : Error"
wait_until 20 host_holds_hook || fail "the host does not hold the hook after a failed write"
wait_until 20 no_front_end || fail "the front end did not end after a failed write during Hide"
echo PASS
