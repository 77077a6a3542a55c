#!/usr/bin/env bash
# Sets up the machine, builds every preset and runs every test level: unit and end-to-end
# tests (native), unit tests under ASan+UBSan (native-asan) and the fuzz targets (fuzz).
# Every level runs even when an earlier one failed; the exit code is non-zero if any failed.
set -u
set -o pipefail
cd "$(dirname "$0")/.."
JOBS=$(nproc 2>/dev/null || echo 2)
LOGS=build/logs
mkdir -p "$LOGS"

PHASES=()
RESULTS=()
SECONDS_TAKEN=()
failed=0

# phase NAME TIMEOUT_SECONDS COMMAND: run, log to build/logs/NAME.log, record time and result.
phase() {
  local name=$1 limit=$2 command=$3
  local start end rc
  echo
  echo "=== $name: $command"
  start=$(date +%s)
  timeout -k 30 "$limit" bash -c "$command" 2>&1 | tee "$LOGS/$name.log"
  rc=$?
  end=$(date +%s)
  [ "$rc" -eq 124 ] && echo "=== $name: timed out after $limit s"
  PHASES+=("$name")
  SECONDS_TAKEN+=("$((end - start))")
  if [ "$rc" -eq 0 ]; then RESULTS+=("ok"); else RESULTS+=("FAILED ($rc)"); failed=1; fi
}

phase install 2400 "bash scripts/setup.sh"
# win64 first: the end-to-end tests of the native preset run its binaries under Wine.
for preset in win64 win32 native native-asan fuzz; do
  phase "build-$preset" 1800 "cmake --preset $preset && cmake --build --preset $preset -j$JOBS"
done
phase test-unit 1200 "ctest --preset native -LE e2e"
phase test-e2e 2400 "ctest --preset native -L e2e"
phase test-asan 1200 "ctest --preset native-asan"
phase test-fuzz 1800 "ctest --preset fuzz"

echo
echo "=== summary (logs in $LOGS/)"
total=0
for i in "${!PHASES[@]}"; do
  printf '  %-18s %6ss  %s\n' "${PHASES[$i]}" "${SECONDS_TAKEN[$i]}" "${RESULTS[$i]}"
  total=$((total + SECONDS_TAKEN[i]))
done
printf '  %-18s %6ss\n' total "$total"
if [ "$failed" -ne 0 ]; then
  echo "=== FAILED"
  exit 1
fi
echo "=== all passed"
