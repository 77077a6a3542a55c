#!/usr/bin/env bash
# Macro commands in replacement text: Run starts a program, Wait delays the rest of the
# text, Focus moves the typing into another window and reports a window it cannot find.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup

start_host "$(settings_file macros.ini)"
wine_bg target_app.exe Second --second-edit
wait_window Second
start_target First

# {!Run target_app.exe Launched}
keys bp:41,1e
wait_window Launched
W close Launched >/dev/null
wait_until 10 focus_window First || fail "cannot focus First again"

# before{!Wait 500}after: the rest of the text comes at least 500 ms later.
keys bp:53,1f
expect_text First "beforeafter" 10
char_time() { tr -d '\r' < "$E2E_DIR/First.msg" | awk -v c="$1" '$3 == "WM_CHAR" && $4 == c {print $1; exit}'; }
t_before=$(char_time 0x62)   # b of "before"
t_after=$(char_time 0x74)    # t of "after"
[ -n "$t_before" ] && [ -n "$t_after" ] || fail "missing message times"
echo "Wait 500: text after the wait arrived $((t_after - t_before)) ms after the text before it"
[ $((t_after - t_before)) -ge 490 ] || fail "the text after Wait 500 came too early"

# {!Focus Second,second edit}moved: the text goes into the second edit of window Second.
keys bp:44,20
wait_until 10 sh -c "tr -d '\r' < '$E2E_DIR/Second.2.txt' 2>/dev/null | grep -q 'moved'" ||
  fail "Focus did not move the text: [$(tr -d '\r' < "$E2E_DIR/Second.2.txt" 2>/dev/null)]"
text_is First "beforeafter" || fail "moved text also reached First"

# A Focus that finds nothing shows its message and drops the rest of the text.
wait_until 10 focus_window First || fail "cannot focus First again"
keys bp:46,21
wait_until 5 info_window_shown || fail "no message for a failing Focus"
e2e_screenshot macro_focus_failed
wait_until 10 eval '! info_window_shown' || fail "the message stayed"
sleep 0.3
text_is First "beforeafter" || fail "text after a failing Focus was played: [$(target_text First)]"
echo PASS
