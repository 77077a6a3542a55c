#!/usr/bin/env bash
# The maps are loaded again (as the front end does around its map editor) while a text
# waits in {!Wait} in one application and a dead key is pending in another. Their positions
# into the store now lie in other entries: the rest of the text is dropped and the dead
# key forgotten; no other entry's command runs.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup
first=$(settings_file reload1.ini)
second=$(settings_file reload2.ini)   # same layout: key 31's Run lies where key 30's did

# The front-end stand-in installs with its window, reloads when told, and keeps the hook.
cp "$E2E_DIR/store_client.exe" "$E2E_DIR/frontend.exe"
wine_bg frontend.exe window "Editor stand-in" install window "$first" \
  wait-file 'C:\tessel\reload' 120 uninstall install window "$second" wait-file 'C:\tessel\never' 300
has_entry() { wine_run 10 tesselstore.exe 2>/dev/null | tr -d '\r' | grep -q "^  $1 "; }
wait_until 20 has_entry 30_N || fail "the stand-in loaded no maps"

start_target Dead
keys bp:de,28                        # the dead key, pending in this application
start_target Waiter
keys bp:41,1e                        # {!Wait 3000} begins
wait_until 5 eval '[ "$(store_field Playing)" = 1 ]' || fail "the text is not playing"

: >"$E2E_DIR/reload"
wait_until 10 has_entry 31_N || fail "the maps were not loaded again"
wait_until 5 eval '[ "$(store_field Playing)" = 0 ]' || fail "the old text goes on after the reload"
sleep 3.5                            # past the end of the old Wait
for title in Legit Intruder; do
  window_shown "$title" && fail "the program \"$title\" was started"
done

wait_until 10 focus_window Dead || fail "cannot focus Dead"
keys bp:45,12
expect_text Dead "fresh"             # by the new map, not the old dead key's
keys bp:41,1e
expect_text Dead "fresha"            # key 30 has no entry any more
echo PASS
