#!/usr/bin/env bash
# Sets up the machine, builds the win64 preset and starts Tessel+ under Wine with the demo
# settings file demo/TESSEL32.INI: the front end TESSEL32.EXE /M:GREEK (its button window
# names the active map), plus a window titled "Tessel+ demo" to type into.
#
#   bash scripts/run-demo.sh [--seconds N] [--hidden]
#     --seconds N   stop after N seconds (default: run until Ctrl+C)
#     --hidden      start only the hidden-mode host TESSHIDE32.EXE (no button window)
#
# The x86_64 build runs here: this machine has 64-bit Wine only. The shipped 32-bit
# deliverables are built by the win32 preset (build/win32). Without a DISPLAY the demo runs
# on its own Xvfb and keeps a screenshot up to date in build/demo-screen.png.
set -u
cd "$(dirname "$0")/.." || exit 1
REPO=$(pwd)

RUN_SECONDS=0
FORCE_HIDDEN=0
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) RUN_SECONDS=${2:?--seconds needs a number}; shift 2 ;;
    --hidden) FORCE_HIDDEN=1; shift ;;
    -h|--help) sed -n '2,11p' "$0"; exit 0 ;;
    *) echo "run-demo: unknown option $1" >&2; exit 2 ;;
  esac
done

say() { echo "run-demo: $*"; }
die() { echo "run-demo: $*" >&2; exit 1; }

bash scripts/setup.sh || die "setup failed"

mkdir -p build/logs
say "building the win64 preset (x86_64; 64-bit Wine only on this machine, the 32-bit deliverables come from 'cmake --preset win32')"
if ! { timeout 1800 cmake --preset win64 && timeout 1800 cmake --build --preset win64 -j"$(nproc)"; } \
     >build/logs/demo-build.log 2>&1; then
  tail -n 30 build/logs/demo-build.log
  die "build failed (build/logs/demo-build.log)"
fi

export WINEPREFIX=$REPO/build/demo-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINESERVER=/usr/lib/wine/wineserver64
# Wine in its default locale: the maps type their characters whatever the code page.
WINE=(/usr/lib/wine/wine64)
DEMO_DIR=$WINEPREFIX/drive_c/tessel
DEMO_INI='C:\tessel\TESSEL32.INI'
TARGET="Tessel+ demo"
SCREEN=$REPO/build/demo-screen.png
LOG=$REPO/build/logs/demo-wine.log
XVFB_PID=

teardown() {
  trap - EXIT INT TERM HUP
  say "stopping"
  timeout 15 "$WINESERVER" -k 2>/dev/null
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
}
trap teardown EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

if [ -z "${DISPLAY:-}" ]; then
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    n=$(( 100 + RANDOM % 800 ))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >>"$LOG" 2>&1 &
    XVFB_PID=$!
    for i in $(seq 50); do timeout 2 xdpyinfo -display ":$n" >/dev/null 2>&1 && break; sleep 0.1; done
    if timeout 2 xdpyinfo -display ":$n" >/dev/null 2>&1; then
      export DISPLAY=":$n"
      break
    fi
    kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; XVFB_PID=
  done
  [ -n "$XVFB_PID" ] || die "no DISPLAY and Xvfb did not start"
  say "no DISPLAY: started Xvfb on $DISPLAY (screenshots: $SCREEN, refreshed every 5 s)"
fi

timeout 15 "$WINESERVER" -k 2>/dev/null   # a server left over from an earlier run
if [ ! -f "$WINEPREFIX/.tessel-ready" ]; then
  say "creating the Wine prefix $WINEPREFIX (once)"
  rm -rf "$WINEPREFIX"
  timeout 180 "${WINE[@]}" wineboot -i >>"$LOG" 2>&1 || die "wineboot failed ($LOG)"
  timeout 60 "$WINESERVER" -w
  touch "$WINEPREFIX/.tessel-ready"
fi

rm -rf "$DEMO_DIR" && mkdir -p "$DEMO_DIR"
find build/win64 \( -name googletest -o -name CMakeFiles \) -prune -o \
  -type f \( -iname '*.exe' -o -iname '*.dll' -o -iname '*.chm' \) -exec cp -f {} "$DEMO_DIR/" \;
cp demo/TESSEL32.INI "$DEMO_DIR/"
[ -f "$DEMO_DIR/TESSHOOK32.DLL" ] || die "TESSHOOK32.DLL was not built"
timeout 15 "$WINESERVER" -p

wine_run() { (cd "$DEMO_DIR" && timeout 20 "${WINE[@]}" "$@"); }
wine_bg() { (cd "$DEMO_DIR" && exec "${WINE[@]}" "$@" >>"$LOG" 2>&1) & }
running() { wine_run win_tool.exe procs | grep -qi " $1\$"; }

wine_bg target_app.exe "$TARGET" --unicode
wine_run win_tool.exe wait-window "$TARGET" 20 >/dev/null || die "the demo window did not appear ($LOG)"

if [ -f "$DEMO_DIR/TESSEL32.EXE" ] && [ "$FORCE_HIDDEN" = 0 ]; then
  PROGRAM=TESSEL32.EXE
else
  PROGRAM=TESSHIDE32.EXE
fi
say "starting $PROGRAM /I:$DEMO_INI /M:GREEK"
wine_bg "$PROGRAM" "/I:$DEMO_INI" /M:GREEK
if [ "$PROGRAM" = TESSEL32.EXE ]; then
  # The button window (class TMain) names the start map once the hook is installed.
  for i in $(seq 100); do
    wine_run win_tool.exe list | grep -q ' TMain \[GREEK\]' && break
    sleep 0.2
  done
  wine_run win_tool.exe list | grep -q ' TMain \[GREEK\]' || die "the button window did not show GREEK ($LOG)"
else
  sleep 2
fi
running "$PROGRAM" || die "$PROGRAM ended at once ($LOG)"

wine_run win_tool.exe fg "$TARGET" >/dev/null
xid=$(timeout 5 xdotool search --onlyvisible --name "^Tessel\\+ demo\$" 2>/dev/null | head -n 1)
[ -n "$xid" ] && timeout 5 xdotool windowfocus --sync "$xid" 2>/dev/null

if [ -n "$XVFB_PID" ]; then
  # Nobody can type on our own display: type a greeting for the screenshot.
  wine_run send_keys.exe -w "$TARGET" 'text:kalhm;era' >/dev/null
  sleep 1
  if [ -f "$DEMO_DIR/$TARGET.txt" ]; then
    say "typed 'kalhm;era' (; is the accent dead key) into \"$TARGET\"; it holds: $(cat "$DEMO_DIR/$TARGET.txt")"
  fi
  timeout 20 import -window root "$SCREEN" && say "screenshot: $SCREEN"
fi

cat <<EOF
run-demo: running. Settings: $DEMO_DIR/TESSEL32.INI
  Type into the window "$TARGET": GREEK is selected (a b g d ... give Greek letters, ; is a
  dead key for accents). Ctrl+F1 GREEK, Ctrl+F2 off, Ctrl+F3 Macros (keys 1-6). The button
  window shows the active map; click it for the menu of maps, Options, Hide and Help.
  Look at the screen: DISPLAY=$DISPLAY import -window root shot.png
  Stop with Ctrl+C$( [ "$RUN_SECONDS" -gt 0 ] && echo " (or wait $RUN_SECONDS s)").
EOF

start=$(date +%s)
last_shot=$start
while :; do
  sleep 1
  now=$(date +%s)
  [ "$RUN_SECONDS" -gt 0 ] && [ $((now - start)) -ge "$RUN_SECONDS" ] && break
  if [ -n "$XVFB_PID" ] && [ $((now - last_shot)) -ge 5 ]; then
    timeout 20 import -window root "$SCREEN" 2>/dev/null
    last_shot=$now
  fi
done
exit 0
