#!/usr/bin/env bash
# Takes the pictures of the help file and the README again: runs the end-to-end test that
# photographs the button, its menu and the map editor under Wine (win64 and native presets
# built), and the demo for its Greek greeting, then copies them into help/images/. Commit
# the changed pictures.
set -u
cd "$(dirname "$0")/.."
ctest --preset native -R 'e2e.test_release_resources$' || exit 1
shots=build/native/e2e/shots
for picture in button button-menu map-editor; do
  if [ -f "$shots/$picture.png" ]; then
    cp "$shots/$picture.png" "help/images/$picture.png" && echo "help/images/$picture.png"
  fi
done
# The demo window and the button window, as the demo leaves them on its own display.
(unset DISPLAY; bash scripts/run-demo.sh --seconds 10 >/dev/null) &&
  convert build/demo-screen.png -crop 400x200+20+40 +repage help/images/demo-greek.png &&
  echo help/images/demo-greek.png
