#!/usr/bin/env bash
# Start-up of the front end TESSEL32.EXE: libraries 99 versions away start, 100 away are
# refused with the 10-second message before anything is touched; a "/I:" value longer than
# 260 characters is refused; a long command line reaches the host whole; without the host
# program "Hide" and ShowWindow=0 show "Tessel+ : Problem" and the window stays or comes;
# a program under another name cannot hide.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup
ini=$(settings_file frontend.ini)
PROBLEM="Tessel+ : Problem"
no_store() { wine_run 10 tesselstore.exe >/dev/null 2>&1; [ $? = 2 ]; }

# True when the screenshot $1 shows dark pixels (text) inside the screen rectangle $2
# ("l,t,r,b"), 4 pixels in from its edges.
shows_text() {
  local l t r b mean
  IFS=, read -r l t r b <<< "$2"
  mean=$(convert "$1" -crop "$(( r - l - 8 ))x$(( b - t - 8 ))+$(( l + 4 ))+$(( t + 4 ))" +repage \
    -colorspace Gray -threshold 50% -format '%[fx:mean]' info:)
  awk -v m="$mean" 'BEGIN { exit !(m < 0.995) }'
}
shot() { e2e_screenshot "$1" >/dev/null; echo "$TESSEL_E2E_WORK/shots/$1.png"; }

# Whether this build's information window paints its text at all (`dialog_probe.exe info`
# shows the same window without the front end); the text checks below need it.
wine_bg dialog_probe.exe info 'Probe text' 4000
wait_until 10 info_window_shown || fail "dialog_probe.exe info showed no window"
sleep 0.5
INFO_PAINTS=0
shows_text "$(shot frontend_info_probe)" "$(info_rect)" && INFO_PAINTS=1
[ "$INFO_PAINTS" = 1 ] || echo "NOTE: the information window paints no text in this build; its text is not checked"
wait_until 10 eval '! info_window_shown' || fail "the probe window stayed"

# Stand-in libraries: 99 versions away the front end runs and the About box shows both
# versions; 100 away it refuses with the five-line message for 10 s, touching neither the
# shared map store nor the settings file.
own=$(sed -n 's/^#define TESSEL_VERSION_NUMBER //p' "$TESSEL_WIN64_DIR/generated/tessel_version.h")
[ -n "$own" ] || fail "no version number in the win64 build"
version_text() { echo "$(( $1 / 10000 % 100 )).$(( $1 / 100 % 100 )).$(( $1 % 100 ))"; }
for v in $(( own - 99 )) $(( own + 99 )); do
  mkdir -p "$E2E_DIR/v$v" && cp "$E2E_DIR/TESSEL32.EXE" "$E2E_DIR/v$v/" &&
    cp "$E2E_DIR/TESSHOOK32_$v.DLL" "$E2E_DIR/v$v/TESSHOOK32.DLL" || fail "cannot set up v$v"
  start_front_end "v$v/TESSEL32.EXE" "/I:$ini"
  menu_choose Controls Help About
  wait_window "About : Tessel+" 10
  version=$(W text "About : Tessel+" 101)
  [ "$version" = "Tessel+ (64 bit)       ver: $(version_text "$own") / $(version_text "$v")" ] ||
    fail "About with library $v: [$version]"
  click "About : Tessel+" Ok
  menu_choose Controls Close
  wait_until 10 ended "$FRONT_PID" || fail "the front end with library $v did not end"
done
one_line=
for v in $(( own - 100 )) $(( own + 100 )); do
  mkdir -p "$E2E_DIR/v$v" && cp "$E2E_DIR/TESSEL32.EXE" "$E2E_DIR/v$v/" &&
    cp "$E2E_DIR/TESSHOOK32_$v.DLL" "$E2E_DIR/v$v/TESSHOOK32.DLL" || fail "cannot set up v$v"
  cp "$E2E_DIR/frontend.ini" "$E2E_DIR/before.ini"
  no_store || fail "a store exists before the start with library $v"
  wine_bg "v$v/TESSEL32.EXE" "/I:$ini"
  refused=$E2E_BG_PID
  wait_until 10 info_window_shown || fail "library $v: no information window"
  sleep 0.5
  screen=$(shot "frontend_refused_$v")
  rect=$(info_rect)
  IFS=, read -r l t r b <<< "$rect"
  [ $(( b - t )) -gt 60 ] && [ $(( r - l )) -gt 150 ] || fail "library $v: the window $rect is too small for the five-line message"
  [ "$INFO_PAINTS" = 0 ] || shows_text "$screen" "$rect" || fail "library $v: the message shows no text"
  sleep 2
  ! ended "$refused" || fail "library $v: the front end ended before the 10 s were over"
  no_store || fail "library $v: the refused front end created the shared map store"
  cmp -s "$E2E_DIR/frontend.ini" "$E2E_DIR/before.ini" || fail "library $v: the settings file changed"
  W kill TESSEL32.EXE >/dev/null
done

# "/I:" longer than 260 characters: a clear message, no store, no file.
long_name=$(printf 'a%.0s' $(seq 300))
wine_bg TESSEL32.EXE "/I:C:\\tessel\\$long_name.ini"
refused=$E2E_BG_PID
wait_window "Tessel+ : Cannot start"
no_store || fail "a refused long /I: created the store"
close_box "Tessel+ : Cannot start" $'The settings file name after /I: is longer than 260 characters.\nTessel+ does not start.'
wait_until 10 ended "$refused" || fail "the front end did not end after refusing the long /I:"
[ -z "$(find "$E2E_DIR" -iname 'aaaa*')" ] || fail "a file was created for the long /I:"

# A command line longer than 260 characters reaches the host whole: the host loads the same
# file and selects the start map named at its end.
deep=$(printf 'd%.0s' $(seq 230))
mkdir -p "$E2E_DIR/$deep" && cp "$E2E_DIR/frontend.ini" "$E2E_DIR/$deep/long.ini"
long_ini="C:\\tessel\\$deep\\long.ini"
start_front_end "/I:$long_ini" /M:second
wine_run 10 store_client.exe select 1 >/dev/null
expect_title First 2
menu_choose Controls Hide
wait_until 20 host_holds_hook || fail "the host of a long command line does not hold the hook"
selected_is 4 && [ "$(store_field LoadedCount)" = 4 ] ||
  fail "the host got a cut command line: map $(store_field SelectedMap) of $(store_field LoadedCount)"
W kill TESSHIDE32.EXE >/dev/null
wine_run 10 store_client.exe uninstall setfront 0 >/dev/null

# Without the host program: "Hide" shows the problem, the button keeps its caption and the
# hook; ShowWindow stays 0, so the next start tries again, shows the problem, then the window.
mv "$E2E_DIR/TESSHIDE32.EXE" "$E2E_DIR/moved.exe"
start_front_end "/I:$ini"
expect_title First
menu_choose Controls Hide
wait_window "$PROBLEM"
e2e_screenshot frontend_problem
close_box "$PROBLEM" $'Could not go to hidden mode\nbecause could not start TESSHIDE32.EXE'
expect_title First 2
front_end_holds_hook || fail "the failed Hide lost the hook"
[ "$(ini_value frontend.ini ShowWindow)" = 0 ] || fail "the failed Hide did not store ShowWindow=0"
menu_choose Controls Close
wait_until 10 ended "$FRONT_PID" || fail "the front end did not close"
wine_bg TESSEL32.EXE "/I:$ini"
FRONT_PID=$E2E_BG_PID
close_box "$PROBLEM"
wait_until 20 front_end_holds_hook || fail "no button window after the host could not start"
menu_choose Controls Close
wait_until 10 ended "$FRONT_PID" || fail "the front end did not close"
mv "$E2E_DIR/moved.exe" "$E2E_DIR/TESSHIDE32.EXE"

# Started under another name the front end finds no "TESSEL32.EXE" to exchange: no host.
sed -i 's/^ShowWindow=0/ShowWindow=1/' "$E2E_DIR/frontend.ini"
cp "$E2E_DIR/TESSEL32.EXE" "$E2E_DIR/TESSEL.EXE"
start_front_end TESSEL.EXE "/I:$ini"
menu_choose Controls Hide
close_box "$PROBLEM"
expect_title First 2
running TESSHIDE32.EXE 0 || fail "a host was started"
echo PASS
