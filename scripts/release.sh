#!/usr/bin/env bash
# Builds the release from a clean tree with one command: installs what is missing, builds the
# win64 and win32 presets (programs, help file, zips, installers) and collects the packages
# in build/release/.
set -u
set -o pipefail
cd "$(dirname "$0")/.."
JOBS=$(nproc 2>/dev/null || echo 2)
bash scripts/setup.sh || exit 1
mkdir -p build/release
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j"$JOBS" --target release ||
    { echo "release: the $preset build failed" >&2; exit 1; }
  cp "build/$preset/release/"tessel-*-"$preset".zip "build/$preset/release/"tessel-*-"$preset"-setup.exe build/release/ ||
    { echo "release: the $preset packages are missing" >&2; exit 1; }
done
ls -l build/release
