#!/usr/bin/env bash
# Timing of the map editor under Wine (not a test; prints figures): opening from the
# button's menu and one Store, on settings files of 50 maps with 100 assignments each
# (5000 in all) and of one map with 5000 assignments among 49 small ones.
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
source "$(dirname "$0")/editor.sh"
e2e_setup

# make_settings FILE PER_MAP_OF_MAP01 PER_OTHER_MAP
make_settings() {
  awk -v first="$2" -v other="$3" 'BEGIN {
    printf "[TESSEL32]\r\nMessageShowTime=0\r\nAllocate=512\r\n[MAPS]\r\n"
    for (m = 1; m <= 50; m++) printf "Map%02d=\r\n", m
    printf "[Selectors]\r\n"
    for (m = 1; m <= 10; m++) printf "%d_C=Map%02d\r\n", 58 + m, m
    split("N S C CS A AS CA CAS", state, " ")
    for (m = 1; m <= 50; m++) {
      printf "[Map%02d]\r\n", m
      n = (m == 1) ? first : other
      for (i = 0; i < n; i++)
        printf "%d_%s=text\\s%d\\sof\\smap\\s%d{ENTER}\\\\x\r\n", i % 250 + 2, state[int(i / 250) % 8 + 1], i, m
    }
  }' >"$E2E_DIR/$1"
}

for layout in "100 100" "5000 0"; do
  make_settings bench.ini $layout
  echo "settings: 50 maps, $(grep -c '_.*=text' "$E2E_DIR/bench.ini") assignments, Map01 has ${layout% *}"
  start_front_end '/I:C:\tessel\bench.ini' /M:Map01
  wine_run 300 win_tool.exe time-editor 3 | tr -d "\r"
  W kill TESSEL32.EXE >/dev/null
  sleep 1
done
