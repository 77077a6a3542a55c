#!/usr/bin/env bash
# Keys that no map has never wait for the store's mutex; keys that a map has wait for it at
# most 3 s plus the map-name display time (here 3 s) and then pass. While an export waits
# for the mutex its thread still answers messages sent to it, and the store tool never
# holds the mutex while its output is stuck.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup

start_host "$(settings_file contention.ini)"
start_target Shower
start_target Typer
# send_keys --stamp TOKEN...: the tick of the first key-down it sent.
sent_tick() { printf '%s\n' "$1" | awk '$1 == "sent" && $4 == "down" {print $2; exit}'; }
# arrival_tick TITLE MESSAGE WPARAM T: tick of the first such message the window got at or after T.
arrival_tick() {
  tr -d '\r' < "$E2E_DIR/$1.msg" |
    awk -v m="$2" -v w="$3" -v t="$4" '$3 == m && $4 == w && $1 >= t {print $1; exit}'
}

# 1. Shower shows the map-name window of a selector for 3 s, with the mutex held. Keys
# typed into Typer meanwhile: z (no map has it) at once; a (mapped) after the display, and
# then by the map the selector chose.
wait_until 10 focus_window Shower || fail "cannot focus Shower"
keys bp:70,3b
wait_until 5 info_window_shown || fail "no map-name window"
wait_until 10 focus_window Typer || fail "cannot focus Typer while Shower shows the map name"
info_window_shown || fail "the map-name window was gone before the keys were typed"
out=$(wine_run 20 send_keys.exe --stamp bp:5a,2c bp:41,1e) || fail "send_keys failed"
z_sent=$(sent_tick "$out")
expect_text Typer "z" 5
z_at=$(arrival_tick Typer WM_KEYDOWN 0x5A "$z_sent")
info_window_shown || fail "the map-name window ended before z arrived: no overlap to measure"
e2e_screenshot contention_display   # Typer holds z while the map name still shows
expect_text Typer "ztwo" 10
a_at=$(arrival_tick Typer WM_CHAR 0x74 "$z_sent")   # the t of "two"
echo "during a 3 s map-name display: unmapped z arrived after $((z_at - z_sent)) ms, mapped a played after $((a_at - z_sent)) ms"
[ $((z_at - z_sent)) -lt 1000 ] || fail "the unmapped key waited for the display"

# 2. A holder that never lets the mutex go: unmapped keys pass at once, a mapped key passes
# unchanged once the hook's wait (3 s + 3 s display time) has run out.
cp "$E2E_DIR/store_client.exe" "$E2E_DIR/holder.exe"
wine_bg holder.exe hold-mutex 120
wait_until 20 grep -q '^holding=1' "$E2E_LOG" || fail "the holder never took the mutex"
wait_until 10 focus_window Typer || fail "cannot focus Typer"
out=$(wine_run 20 send_keys.exe --stamp bp:5a,2c) || fail "send_keys failed"
z_sent=$(sent_tick "$out")
expect_text Typer "ztwoz" 5
z_at=$(arrival_tick Typer WM_KEYDOWN 0x5A "$z_sent")
out=$(wine_run 20 send_keys.exe --stamp bp:41,1e) || fail "send_keys failed"
a_sent=$(sent_tick "$out")
expect_text Typer "ztwoza" 15
a_at=$(arrival_tick Typer WM_KEYDOWN 0x41 "$a_sent")
echo "mutex held for ever: unmapped z arrived after $((z_at - z_sent)) ms, mapped a passed after $((a_at - a_sent)) ms"

# 3. An export waiting for the mutex still answers messages sent to its thread (a player's
# SetFocus into it, or the system's hook calls on 64-bit Windows).
wine_bg store_client.exe window Waiter getfront touch 'C:\tessel\waiter.done'
wait_window Waiter
sleep 0.5
[ -f "$E2E_DIR/waiter.done" ] && fail "GetFront did not wait for the held mutex"
out=$(W ping Waiter 2000)
echo "thread waiting in GetFront: $out"
case "$out" in answered=1*) ;; *) fail "a thread waiting in an export did not answer a sent message" ;; esac
W kill holder.exe >/dev/null || fail "cannot kill the holder"
wait_until 20 test -f "$E2E_DIR/waiter.done" || fail "GetFront never returned after the holder died"

# 4. The store tool with its output stuck in a full pipe holds no lock meanwhile.
python3 - "$WINE" "$E2E_DIR" <<'PY' &
import fcntl, os, subprocess, sys, time
wine, folder = sys.argv[1], sys.argv[2]
read_end, write_end = os.pipe()
fcntl.fcntl(write_end, 1031, 4096)  # F_SETPIPE_SZ: the smallest pipe
tool = subprocess.Popen(["timeout", "60", wine, "tesselstore.exe"], stdout=write_end, cwd=folder)
os.close(write_end)
time.sleep(8)  # nobody reads: the tool blocks in its output
data = b""
while chunk := os.read(read_end, 65536):
    data += chunk
tool.wait()
open(os.path.join(folder, "stuck_dump.txt"), "wb").write(data)
PY
stuck=$!
sleep 3
out=$(wine_run 5 store_client.exe getfront) || fail "GetFront waited while the store tool's output was stuck"
wait "$stuck"
grep -q 'long text long text' "$E2E_DIR/stuck_dump.txt" || fail "the store tool printed nothing"
echo PASS
