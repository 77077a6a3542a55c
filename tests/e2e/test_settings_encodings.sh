#!/usr/bin/env bash
# The settings file in each encoding a text editor saves (UTF-8 without and with a mark,
# UTF-16LE, ANSI): its settings are honoured, its map types "é", and a write (Uninstall
# writing Selected) keeps the encoding and the mark. A reader polling a file while another
# process writes it 200 times never sees a cut file. A write to a read-only file (Install
# writing Allocate) is reported and leaves the file byte-identical, with no temporary file
# behind.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/store.sh"
e2e_setup

SETTINGS=$'[TESSEL32]\r\nMessageShowTime=1234\r\nDoBeep=0\r\nSelected=1\r\n[MAPS]\r\nEnc=\r\n[Enc]\r\n30_N=\xc3\xa9\r\n'
encode() {  # encode ENCODING: the settings in it, on stdout
  case $1 in
    utf8) printf '%s' "$SETTINGS" ;;
    utf8bom) printf '\xef\xbb\xbf%s' "$SETTINGS" ;;
    utf16) printf '\xff\xfe'; printf '%s' "$SETTINGS" | iconv -f UTF-8 -t UTF-16LE ;;
    ansi) printf '%s' "$SETTINGS" | iconv -f UTF-8 -t CP1252 ;;
  esac
}
decoded() {  # decoded ENCODING FILE: the file's text as UTF-8 without its mark
  case $1 in
    utf16) tail -c +3 "$E2E_DIR/$2" | iconv -f UTF-16LE -t UTF-8 ;;
    ansi) iconv -f CP1252 -t UTF-8 "$E2E_DIR/$2" ;;
    *) sed '1s/^\xef\xbb\xbf//' "$E2E_DIR/$2" ;;
  esac | tr -d '\r'
}
marks() { head -c 3 "$E2E_DIR/$1" | od -An -tx1 | tr -d ' \n'; }

for enc in utf8 utf8bom utf16 ansi; do
  encode $enc >"$E2E_DIR/$enc.ini"
  head=$(marks $enc.ini)
  start_target "T_$enc" --unicode
  wine_bg store_client.exe window "H_$enc" install window "C:\\tessel\\$enc.ini" \
    wait-file "C:\\tessel\\go_$enc" 30 select 0 uninstall lasterror
  client_pid=$E2E_BG_PID
  wait_until 20 hook_installed || fail "$enc: no hook"
  [ "$(store_value SelectedMap)" = 1 ] && [ "$(store_value MessageTime)" = 1234 ] ||
    fail "$enc: settings not honoured (SelectedMap $(store_value SelectedMap), MessageTime $(store_value MessageTime))"
  wait_until 10 focus_window "T_$enc" || fail "cannot focus T_$enc"
  keys bp:41,1e
  expect_text "T_$enc" "é"
  touch "$E2E_DIR/go_$enc"
  wait_until 20 ended "$client_pid" || fail "$enc: the client did not end"
  [ "$(marks $enc.ini)" = "$head" ] || fail "$enc: the file began with $head, now $(marks $enc.ini)"
  decoded $enc $enc.ini | grep -qx 'Selected=0' && decoded $enc $enc.ini | grep -qx '30_N=é' ||
    fail "$enc: after the write the file reads: $(decoded $enc $enc.ini | tr '\n' '|')"
  [ $enc != ansi ] || ! LC_ALL=C grep -q $'\xc3' "$E2E_DIR/ansi.ini" || fail "ansi: written as UTF-8"
  W close "T_$enc" >/dev/null
done

printf '[Torn]\r\nValue=short\r\n[Last]\r\nEnd=1\r\n' >"$E2E_DIR/torn.ini"
(wine_run 60 settings_tool.exe watch 'C:\tessel\torn.ini' 6000 >"$TESSEL_E2E_WORK/watch.out") &
watcher=$!
sleep 1
[ "$(wine_run 60 settings_tool.exe write 'C:\tessel\torn.ini' 200 | tr -d '\r')" = written=200 ] || fail "the writer failed"
wait "$watcher"
watched=$(tr -d '\r' <"$TESSEL_E2E_WORK/watch.out")
echo "reader during 200 writes: $watched"
[[ "$watched" =~ ^reads=[0-9]+\ torn=0$ ]] && [ "${watched//[^0-9 ]/}" != "0 0" ] || fail "torn reads: $watched"

encode utf8 >"$E2E_DIR/ro.ini"
chmod a-w "$E2E_DIR/ro.ini"
at_exit 'chmod u+w "$E2E_DIR/ro.ini" 2>/dev/null'
cp "$E2E_DIR/ro.ini" "$TESSEL_E2E_WORK/ro.before"
out=$(client 20 install 0 'C:\tessel\ro.ini' lasterror uninstall)
[ "$out" = 'lasterror=Unable to write to C:\tessel\ro.ini' ] || fail "read-only file: $out"
cmp -s "$E2E_DIR/ro.ini" "$TESSEL_E2E_WORK/ro.before" || fail "the read-only file changed"
leftovers=$(find "$E2E_DIR" -maxdepth 1 -newer "$TESSEL_E2E_WORK/ro.before" -type f ! -name '*.txt' ! -name '*.msg')
[ -z "$leftovers" ] || fail "files left behind: $leftovers"
echo PASS
