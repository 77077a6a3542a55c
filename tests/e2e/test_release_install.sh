#!/usr/bin/env bash
# The release packages: exact contents of both zips and both installers; then the 64-bit
# installer in a fresh Wine prefix as an ordinary user runs it: silent install, the program
# started through its Start-menu shortcut maps keys, an install over a running Tessel+ is
# refused, an upgrade keeps the user's settings, the silent uninstall removes everything else.
# Autostart at sign-in (the Run value) is off unless asked for, stays on through an upgrade
# without /AUTOSTART and goes with the uninstall.
export TESSEL_E2E_TIMEOUT=${TESSEL_E2E_TIMEOUT:-380}
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"

VERSION=$(sed -n 's/^project(TesselPlus VERSION \([0-9.]*\).*/\1/p' "$_E2E_REPO/CMakeLists.txt")
WIN32_DIR=${TESSEL_WIN32_DIR:-$(dirname "$TESSEL_WIN64_DIR")/win32}
EXPECTED_ZIP="PORTABLE.TXT TESSEL32.CHM TESSEL32.EXE TESSEL32.INI TESSHIDE32.EXE TESSHOOK32.DLL"
EXPECTED_SETUP="\$APPDATA/Tessel+/TESSEL32.INI TESSEL32.CHM TESSEL32.EXE TESSHIDE32.EXE TESSHOOK32.DLL Uninstall.exe"

e2e_setup

# --- packages of both builds -------------------------------------------------------------
for arch in win64 win32; do
  dir=$TESSEL_WIN64_DIR/release
  [ "$arch" = win32 ] && dir=$WIN32_DIR/release
  zip=$dir/tessel-$VERSION-$arch.zip
  setup=$dir/tessel-$VERSION-$arch-setup.exe
  [ -f "$zip" ] || fail "no $zip (build the $arch preset)"
  [ -f "$setup" ] || fail "no $setup (build the $arch preset with makensis installed)"
  echo "--- $(basename "$zip")"
  listing=$(timeout 30 unzip -Z1 "$zip") || fail "unzip cannot read $zip"
  echo "$listing"
  [ "$(echo $(sort <<<"$listing"))" = "$EXPECTED_ZIP" ] || fail "$zip holds [$listing]"
  echo "--- $(basename "$setup")"
  listing=$(timeout 30 7z l -slt "$setup") || fail "7z cannot read $setup"
  names=$(sed -n '/^----------$/,$ s/^Path = //p' <<<"$listing" | grep -v '^\$PLUGINSDIR/')
  echo "$names"
  [ "$(echo $(sort <<<"$names"))" = "$EXPECTED_SETUP" ] || fail "$setup holds [$names]"
  subtype=$(sed -n 's/^SubType = //p' <<<"$listing")
  echo "stub: $subtype"
  case "$arch:$subtype" in
    win64:*64-bit*) ;;
    win32:*64-bit*) fail "the 32-bit installer has a 64-bit stub" ;;
    win32:NSIS-3\ Unicode*) ;;
    *) fail "$setup: unexpected stub $subtype" ;;
  esac
done
SETUP=$TESSEL_WIN64_DIR/release/tessel-$VERSION-win64-setup.exe
STAGE=$TESSEL_WIN64_DIR/release/stage

# --- a fresh prefix: nothing of the tests' C:\tessel, no earlier install -----------------
timeout 15 "$WINESERVER" -k 9>&- 2>/dev/null
export WINEPREFIX=$TESSEL_E2E_WORK/prefix-release
rm -rf "$WINEPREFIX"
echo "creating the fresh prefix $WINEPREFIX"
timeout -k 5 180 "$WINE" wineboot -i 9>&- >>"$E2E_LOG" 2>&1 || fail "wineboot -i failed"
timeout -k 5 60 "$WINESERVER" -w 9>&-
timeout 15 "$WINESERVER" -p 9>&- || fail "wineserver -p failed"
# The test programs only (target_app.exe writes to C:\tessel); no product file.
E2E_DIR=$WINEPREFIX/drive_c/tessel
mkdir -p "$E2E_DIR"
for program in win_tool.exe send_keys.exe target_app.exe release_probe.exe tesselstore.exe; do
  cp "$(find "$TESSEL_WIN64_DIR" -name "$program" -print -quit)" "$E2E_DIR/" || fail "no $program"
done
cp "$SETUP" "$E2E_DIR/setup.exe"

user=$(id -un)
INSTDIR=$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/Tessel+
WIN_INSTDIR="C:\\users\\$user\\AppData\\Local\\Programs\\Tessel+"
SETTINGS=$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Tessel+/TESSEL32.INI
WIN_SETTINGS="C:\\users\\$user\\AppData\\Roaming\\Tessel+\\TESSEL32.INI"
WIN_SHORTCUT="C:\\users\\$user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Tessel+.lnk"
KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessel+'
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
AUTOSTART="\"$WIN_INSTDIR\\TESSEL32.EXE\" /I:$WIN_SETTINGS"
PROGRAM_FILES="TESSEL32.EXE TESSHOOK32.DLL TESSHIDE32.EXE TESSEL32.CHM"

registry() { local out; out=$(wine_run 20 reg query "$KEY" 2>/dev/null) && tr -d '\r' <<<"$out"; }
registry_value() { registry | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
# The Run value's command line; fails with reg when there is no value.
autostart() { local out; out=$(wine_run 20 reg query "$RUN_KEY" /v Tessel+ 2>/dev/null) &&
  tr -d '\r' <<<"$out" | sed -n 's/^ *Tessel+ *REG_SZ *//p'; }
no_autostart() { ! autostart >/dev/null; }
shortcut_field() { wine_run 20 release_probe.exe shortcut "$WIN_SHORTCUT" | sed -n "s/^$1=//p"; }
files_installed() {
  local f
  for f in $PROGRAM_FILES; do cmp -s "$STAGE/$f" "$INSTDIR/$f" || return 1; done
}

# --- first install -----------------------------------------------------------------------
wine_run 120 setup.exe /S
rc=$?
[ "$rc" -eq 0 ] || fail "the silent install ended with $rc"
files_installed || fail "the program files in $INSTDIR differ from the build"
[ -f "$INSTDIR/Uninstall.exe" ] || fail "no uninstaller in $INSTDIR"
cmp -s "$_E2E_REPO/demo/TESSEL32.INI" "$SETTINGS" || fail "no demo settings file at $SETTINGS"
echo "installed: $(ls "$INSTDIR" | tr '\n' ' ')"

[ "$(shortcut_field Target)" = "$WIN_INSTDIR\\TESSEL32.EXE" ] || fail "shortcut target [$(shortcut_field Target)]"
[ "$(shortcut_field Arguments)" = "/I:$WIN_SETTINGS" ] || fail "shortcut arguments [$(shortcut_field Arguments)]"
[ "$(shortcut_field Directory)" = "$WIN_INSTDIR" ] || fail "shortcut folder [$(shortcut_field Directory)]"
echo "shortcut: $(shortcut_field Target) $(shortcut_field Arguments)"

registry
[ "$(registry_value DisplayName)" = "Tessel+ (64 bit)" ] || fail "DisplayName [$(registry_value DisplayName)]"
[ "$(registry_value DisplayVersion)" = "$VERSION" ] || fail "DisplayVersion [$(registry_value DisplayVersion)]"
[ "$(registry_value UninstallString)" = "\"$WIN_INSTDIR\\Uninstall.exe\"" ] ||
  fail "UninstallString [$(registry_value UninstallString)]"
[ "$(registry_value InstallLocation)" = "$WIN_INSTDIR" ] || fail "InstallLocation [$(registry_value InstallLocation)]"
no_autostart || fail "an install without /AUTOSTART=1 wrote the Run value [$(autostart)]"

# --- the program through its shortcut: demo maps, a mapped key ---------------------------
wine_run 20 release_probe.exe run-shortcut "$WIN_SHORTCUT" || fail "the shortcut's command line did not start"
wait_window Tessel+ 30
wait_until 20 hook_installed || fail "the front end installed no hook"
[ "$(store_field LoadedCount)" = 3 ] || fail "the store holds $(store_field LoadedCount) maps, not the 3 demo maps"
start_target "Installed test"
keys bd:11,1d bp:72,3d bu:11,1d                    # Ctrl+F3: the demo's Macros map
wait_until 10 selected_is 3 || fail "Ctrl+F3 did not select Macros (selected: $(store_field SelectedMap))"
wait_window Macros 10
focus_window "Installed test" || fail "cannot focus the test window again"
keys bp:32,03                                      # the 2 key: {+hello}\sworld
expect_text "Installed test" "HELLO world" 10
e2e_screenshot release-installed

# --- no install over the running program -------------------------------------------------
files_in_use=1
wine_run 20 release_probe.exe in-use "$WIN_INSTDIR\\TESSEL32.EXE" >/dev/null || files_in_use=0
if [ "$files_in_use" = 1 ]; then
  wine_run 120 setup.exe /S /AUTOSTART=1
  rc=$?
  [ "$rc" -eq 2 ] || fail "an install over the running Tessel+ ended with $rc, not 2"
  running TESSEL32.EXE || fail "the running Tessel+ went away during the refused install"
  no_autostart || fail "the refused install wrote the Run value"
  echo "install over the running program refused with exit code 2"
else
  echo "NOTE: this Wine lets a running program's file be opened for writing; the refusal is not tested"
fi

W close Macros >/dev/null
wait_until 20 running TESSEL32.EXE 0 || fail "Tessel+ did not close"
W kill target_app.exe >/dev/null

# --- autostart asked for; a misspelt switch changes nothing ------------------------------
wine_run 60 setup.exe /S /AUTOSTART=yes
rc=$?
[ "$rc" -eq 1 ] || fail "setup.exe /AUTOSTART=yes ended with $rc, not 1"
wine_run 120 setup.exe /S /AUTOSTART=1
rc=$?
[ "$rc" -eq 0 ] || fail "the silent install with /AUTOSTART=1 ended with $rc"
[ "$(autostart)" = "$AUTOSTART" ] || fail "Run value [$(autostart)], expected [$AUTOSTART]"
echo "autostart: $(autostart)"

# --- upgrade: the user's settings stay, the program files are written again --------------
# and so is the Run value, here left by an install in another folder.
wine_run 20 reg add "$RUN_KEY" /v Tessel+ /d '"C:\Old\TESSEL32.EXE" /I:C:\Old\TESSEL32.INI' /f >/dev/null ||
  fail "reg add failed"
printf '[Mine]\r\n30_N=user\\sdata\r\n' >>"$SETTINGS"
cp "$SETTINGS" "$E2E_DIR/settings-before-upgrade.ini"
rm -f "$INSTDIR/TESSEL32.CHM"
wine_run 120 setup.exe /S
rc=$?
[ "$rc" -eq 0 ] || fail "the silent upgrade ended with $rc"
files_installed || fail "the upgrade did not write the program files"
cmp -s "$E2E_DIR/settings-before-upgrade.ini" "$SETTINGS" || fail "the upgrade changed the user's settings file"
[ "$(autostart)" = "$AUTOSTART" ] || fail "after the upgrade without /AUTOSTART the Run value is [$(autostart)], expected [$AUTOSTART]"
echo "upgrade kept the settings file and autostart"

# --- silent uninstall: the uninstaller restarts itself from a temporary copy -------------
wine_run 60 "$WIN_INSTDIR\\Uninstall.exe" /S
rc=$?
[ "$rc" -eq 0 ] || fail "the silent uninstall ended with $rc"
wait_until 60 test ! -e "$INSTDIR" || fail "the uninstall left $(ls "$INSTDIR" 2>/dev/null | tr '\n' ' ')"
wait_until 20 eval '[ -z "$(registry)" ]' || fail "the uninstall key is still registered"
wait_until 20 no_autostart || fail "the uninstall left the Run value [$(autostart)]"
[ ! -e "$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tessel+.lnk" ] ||
  fail "the uninstall left the shortcut"
cmp -s "$E2E_DIR/settings-before-upgrade.ini" "$SETTINGS" || fail "the uninstall removed or changed the settings file"
echo "uninstalled; the settings file stays at $WIN_SETTINGS"

# The fresh prefix is not kept (about 700 MB).
timeout 15 "$WINESERVER" -k 9>&- 2>/dev/null
rm -rf "$WINEPREFIX"
echo "PASS"
