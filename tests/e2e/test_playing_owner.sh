#!/usr/bin/env bash
# Playing is set only by a thread that owns the play mutex: a text whose player cannot own
# it is not played at all (and Playing stays 0), since other processes would take Playing
# for a dead player's and clear it in the middle of the text. And a player's timer is never
# replaced without being stopped: no timer outlives its text.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/store.sh"
e2e_setup

# 1. In one process, calling the hook directly on its own thread: a text starts (timer
# running, Playing set); another process clears Playing in the middle of it; a second key
# starts a text again. Afterwards no timer is left ticking.
timers=$(settings_file timers.ini)
out=$(client 60 install 5 "$timers" hook 41 1e pump 150 poke 36 0 hook 44 20 pump 2000 \
      peek 36 pump 500)
echo "$out" | tr '\n' ' '; echo
expect "$(printf '%s\n' "$out" | sed -n 1p)" "verdict=swallow" "the first mapped key"
expect "$(printf '%s\n' "$out" | sed -n 3p)" "verdict=swallow" "the second mapped key"
expect "$(printf '%s\n' "$out" | sed -n 5p)" "byte=0" "Playing after the text"
expect "$(printf '%s\n' "$out" | sed -n 6p)" "timers=0" "timer messages after the text ended"
wait_until 20 store_gone || fail "the store stays"

# 2. Another process holds the play mutex: the mapped key plays nothing, Playing stays 0.
start_host "$(settings_file playing.ini)"
start_target Player
cp "$E2E_DIR/store_client.exe" "$E2E_DIR/holder.exe"
wine_bg holder.exe hold-mutex 120 TESSEL32PLAYMUTEX
wait_until 20 grep -q '^holding=1' "$E2E_LOG" || fail "the play mutex was not taken"
wait_until 10 focus_window Player || fail "cannot focus Player"
keys bp:41,1e
sleep 1
text_is Player "" || fail "a text played without owning the play mutex: [$(target_text Player)]"
[ "$(store_field Playing)" = 0 ] || fail "Playing was set without the play mutex"

# Once it is free again the text plays, and Playing, owned now, holds the whole keyboard.
W kill holder.exe >/dev/null || fail "cannot end the holder"
keys bp:41,1e
expect_text Player "held"
[ "$(store_field Playing)" = 1 ] || fail "Playing is not set during the Wait"
keys bp:5a,2c
expect_text Player "helddone" 10
sleep 0.3
text_is Player "helddone" || fail "a key typed during the text arrived: [$(target_text Player)]"
echo PASS
