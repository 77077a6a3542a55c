#!/usr/bin/env bash
# While a text plays every keystroke of the desktop is lost; a player whose process dies
# mid-text gives the keyboard back.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup

start_host "$(settings_file playing.ini)"
start_target Other
cp "$E2E_DIR/target_app.exe" "$E2E_DIR/player_app.exe"   # a separate image name to kill
wine_bg player_app.exe Player
wait_window Player
wait_until 10 focus_window Player || fail "cannot focus Player"

# A 3 s Wait holds the keyboard: the key typed meanwhile is lost, not queued.
keys bp:41,1e
expect_text Player "held"
keys bp:5a,2c
expect_text Player "helddone" 10
sleep 0.3
text_is Player "helddone" || fail "a key typed while playing arrived: [$(target_text Player)]"
[ "$(store_field Playing)" = 0 ] || fail "Playing stayed set after the text ended"

# A 60 s Wait, and the playing process dies in the middle of it.
keys bp:53,1f
expect_text Player "helddonestart"
[ "$(store_field Playing)" = 1 ] || fail "Playing is not set during a Wait"
wait_until 10 focus_window Other || fail "cannot focus Other"
keys bp:5a,2c; sleep 0.5
text_is Other "" || fail "a key typed into another application while playing arrived"
W kill player_app.exe >/dev/null || fail "cannot kill the player"
start_ms=$(( $(date +%s%N) / 1000000 ))
recovered=0
for _ in $(seq 1 40); do
  keys bp:5a,2c
  if wait_until 1 text_ends_with Other z; then recovered=1; break; fi
done
[ "$recovered" = 1 ] || fail "the keyboard did not come back after the player died"
echo "keyboard back $(( $(date +%s%N) / 1000000 - start_ms )) ms after the player was killed"
echo PASS
