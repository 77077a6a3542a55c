#!/usr/bin/env bash
# Version resources and manifests of the binaries of both builds, the help file's pages and
# context id, the help viewer, and the pictures of the help file and the README: the button
# with its menu, the map editor. scripts/refresh-screenshots.sh copies the pictures into help/.
export TESSEL_E2E_TIMEOUT=${TESSEL_E2E_TIMEOUT:-300}
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"

VERSION=$(sed -n 's/^project(TesselPlus VERSION \([0-9.]*\).*/\1/p' "$_E2E_REPO/CMakeLists.txt")
WIN32_DIR=${TESSEL_WIN32_DIR:-$(dirname "$TESSEL_WIN64_DIR")/win32}
SHOTS=$TESSEL_E2E_WORK/shots

e2e_setup

# --- version resources: file, type, description -------------------------------------------
# The 32-bit files are only read as data, which a 64-bit process can do.
mkdir -p "$E2E_DIR/win32"
while read -r file type description; do
  for bits in 64 32; do
    if [ "$bits" = 64 ]; then path=$file; else
      cp "$(find "$WIN32_DIR" -name "$file" -not -path '*/release/*' -print -quit)" "$E2E_DIR/win32/" ||
        fail "no $file in $WIN32_DIR (build the win32 preset)"
      path="win32\\$file"
    fi
    info=$(wine_run 20 release_probe.exe version "$path" | tr -d '\r') || fail "$path: $info"
    expected="Fixed=$VERSION.0
Type=$type
ProductName=Tessel+
ProductVersion=$VERSION
FileVersion=$VERSION
FileDescription=$description ($bits bit)
OriginalFilename=$file"
    [ "$info" = "$expected" ] || fail "version resource of $path:
$info
expected:
$expected"
    echo "$path: $(sed -n 's/^FileDescription=//p' <<<"$info") $VERSION"
  done
done <<'EOF'
TESSEL32.EXE app Tessel+ keyboard mapper
TESSHOOK32.DLL dll Tessel+ hook library
TESSHIDE32.EXE app Tessel+ hidden mode
tesselstore.exe app Tessel+ map store viewer
EOF

# --- manifests of the two programs ---------------------------------------------------------
for file in TESSEL32.EXE TESSHIDE32.EXE; do
  manifest=$(wine_run 20 release_probe.exe manifest "$file") || fail "$file: $manifest"
  for needle in 'requestedExecutionLevel level="asInvoker"' 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
                '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}' "version=\"$VERSION.0\""; do
    grep -qF "$needle" <<<"$manifest" || fail "the manifest of $file lacks $needle"
  done
  echo "$file: manifest with asInvoker, common controls 6 and Windows 10/11"
done

# --- the help file: every page of the sources, context 1 on the language page -------------
CHM=$(find "$TESSEL_WIN64_DIR" -name TESSEL32.CHM -not -path '*/release/*' -print -quit)
[ -n "$CHM" ] || fail "no TESSEL32.CHM in the win64 build"
cp "$CHM" "$E2E_DIR/TESSEL32.CHM"
listed=$(timeout 20 chmls -p -n list "$CHM" 2>/dev/null | sed -n 's|^/||p')
pages=0
while IFS= read -r page; do
  grep -qxF "$page" <<<"$listed" || fail "$page of help/ is not in TESSEL32.CHM"
  pages=$((pages + 1))
done < <(cd "$_E2E_REPO/help" && find . -name '*.htm' -o -name '*.png' | sed 's|^\./||')
echo "TESSEL32.CHM holds all $pages pages and pictures of help/"
# chmls writes TESSEL32.ali (alias=page, the page with its own folder in front) and TESSEL32.h.
(cd "$E2E_DIR" && timeout 20 chmls extractalias TESSEL32.CHM >/dev/null 2>&1) || fail "chmls extractalias failed"
alias=$(sed -n 's/^#define \([A-Za-z0-9_]*\) 1\r\?$/\1/p' "$E2E_DIR/TESSEL32.h")
[ -n "$alias" ] && grep -q "^$alias=.*/language\.htm\r\?\$" "$E2E_DIR/TESSEL32.ali" ||
  fail "context 1 is not the language page: $(cat "$E2E_DIR/TESSEL32.h" "$E2E_DIR/TESSEL32.ali" 2>/dev/null)"
echo "context 1: language.htm"

# --- the button window with its menu --------------------------------------------------------
cp "$_E2E_REPO/demo/TESSEL32.INI" "$E2E_DIR/TESSEL32.INI"
start_front_end '/I:C:\tessel\TESSEL32.INI' /M:GREEK
expect_title GREEK
menu_rects() { W list | awk '$3 == "#32768" { print $NF }'; }
# picture NAME RECT...: the part of the screen that holds every rectangle, with a margin.
picture() {
  local name=$1; shift
  e2e_screenshot "$name-screen" >/dev/null || fail "no screenshot"
  local box
  box=$(printf '%s\n' "$@" | awk -F, 'NR == 1 { l = $1; t = $2; r = $3; b = $4 }
    { if ($1 < l) l = $1; if ($2 < t) t = $2; if ($3 > r) r = $3; if ($4 > b) b = $4 }
    END { l -= 6; t -= 6; if (l < 0) l = 0; if (t < 0) t = 0; printf "%dx%d+%d+%d", r + 6 - l, b + 6 - t, l, t }')
  # The empty screen around the windows becomes white, as on a page.
  timeout 20 convert "$SHOTS/$name-screen.png" -crop "$box" +repage -fill white -draw 'color 0,0 floodfill' \
    "$SHOTS/$name.png" || fail "cannot crop $name"
  echo "picture: $SHOTS/$name.png ($box)"
}

picture button "$(button_rect)"
# The pointer stays where a user clicked the button, so that the editor opens with its own hint.
IFS=, read -r l t r b <<<"$(button_rect)"
timeout 5 xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) || fail "xdotool mousemove failed"
menu_choose Controls
wait_until 10 eval '[ "$(menu_rects | wc -l)" = 2 ]' || fail "the Controls submenu did not open"
picture button-menu "$(button_rect)" $(menu_rects)
W menu-pick GREEK "Edit Maps" >/dev/null || fail "cannot choose Edit Maps"
wait_window "$ED"
W list | grep -q " TMapeditor \[$ED\]" || fail "Edit Maps opened no map editor"
picture map-editor "$(W rect "$ED")"
# F1 on the command list opens the help viewer (at the replacement-text language).
help_shown() { W list | grep -q ' HH Parent \[Tessel+ Help\]'; }
press ">>"
wait_until 10 focus_window "$ED" || fail "cannot focus the map editor"
W fgattach "$ED" $LANG_LIST >/dev/null || fail "cannot focus the command list"
timeout 5 xdotool key F1 || fail "xdotool key F1 failed"
wait_until 30 help_shown || fail "F1 on the command list opened no help viewer"
W close 'Tessel+ Help' >/dev/null
wait_until 20 eval '! help_shown' || fail "the help viewer did not close"
W close "$ED" >/dev/null
W wait-gone "$ED" 20 >/dev/null ||
  { e2e_screenshot editor-not-closed; W list; fail "the map editor did not close"; }
W close GREEK >/dev/null
echo "PASS"
