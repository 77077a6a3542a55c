#!/usr/bin/env bash
# Timing of the hook under Wine (not a test; prints figures):
#   the same 2000 unmapped keystrokes with no hook, with a hook procedure that does nothing
#   (the floor of Wine's own hook dispatch) and with Tessel's hook (its settings hold
#   [Programs] rules, so it checks the program in front as in use), side by side: rounds of
#   the three in turn (rotating their order), then the median and spread of each and the
#   ratio of the medians to the run without a hook, for the elapsed time per key and for the
#   typing process's CPU time per key (which other load on the machine disturbs less);
#   then the cost of the hook procedure itself for an unmapped key, called directly, and of
#   the system calls it makes;
#   then, with the hidden-mode host, the delay from a mapped keystroke to its first
#   character and the characters per second of a 1000-character replacement text.
# TESSEL_BENCH_ROUNDS sets the rounds (default 7).
source "$(dirname "$0")/harness.sh"
source "$(dirname "$0")/mapper.sh"
e2e_setup

ini=$(settings_file timing.ini)
rounds=${TESSEL_BENCH_ROUNDS:-7}
configs=(none empty tessel)
results=$E2E_DIR/unmapped.txt
: >"$results"
echo "load: $(uptime)"
for round in $(seq 1 "$rounds"); do
  for k in 0 1 2; do
    config=${configs[$(( (round + k) % 3 ))]}
    case $config in
      none) args=() ;;
      empty) args=(--empty-hook) ;;
      tessel) args=(--tessel "$ini") ;;
    esac
    line=$(wine_run 180 time_keys.exe unmapped 2000 "${args[@]}") || fail "time_keys $config: $line"
    elapsed=$(printf '%s' "$line" | sed -n 's/.* per_key_us=\([0-9.]*\).*/\1/p')
    cpu=$(printf '%s' "$line" | sed -n 's/.* cpu_per_key_us=\([0-9.]*\).*/\1/p')
    echo "round $round $config per_key_us=$elapsed cpu_per_key_us=$cpu"
    echo "$config $elapsed $cpu" >>"$results"
  done
done
echo "load: $(uptime)"

# Median, minimum and maximum of the numbers on stdin.
summary() {
  sort -n | awk '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.1f %.1f %.1f", m, v[1], v[NR] }'
}
for column in 2 3; do
  if [ "$column" = 2 ]; then echo "elapsed time per key:"; else echo "CPU time of the typing process per key:"; fi
  read -r base _ < <(awk -v k="$column" '$1 == "none" {print $k}' "$results" | summary)
  for config in "${configs[@]}"; do
    read -r median low high < <(awk -v c="$config" -v k="$column" '$1 == c {print $k}' "$results" | summary)
    printf '  %-7s median %6.1f us  (min %6.1f, max %6.1f)  ratio to no hook %.3f\n' "$config" \
      "$median" "$low" "$high" "$(awk -v a="$median" -v b="$base" 'BEGIN {print a / b}')"
  done
done

for run in 1 2 3; do wine_run 120 time_keys.exe direct 100000 --tessel "$ini"; done
wine_run 60 time_keys.exe calls

start_host "$ini"
wine_run 120 time_keys.exe latency 100
wine_run 120 time_keys.exe throughput
