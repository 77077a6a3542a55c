# Helpers for the end-to-end tests of the shared map store: store_client.exe calls the
# library's exports, tesselstore.exe reads the store from outside. Source after harness.sh.

# client SECS ARGS...: store_client.exe commands in one process; output without "\r".
client() {
  local secs=$1; shift
  wine_run "$secs" store_client.exe "$@" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# The store tool's output; its exit code is kept (2: no store).
store_dump() {
  wine_run 30 tesselstore.exe "$@" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# A header field as the tool prints it ("BlockSize" -> "20480").
store_value() { store_dump --header | sed -n "s/^$1=//p" | head -n 1; }

store_value_is() { [ "$(store_value "$1")" = "$2" ]; }

# True once no process maps the store any more.
store_gone() {
  wine_run 30 tesselstore.exe --header >/dev/null 2>&1
  [ $? -eq 2 ]
}

# write_ini NAME LINES...: a settings file C:\tessel\NAME with "\r\n" line ends; prints
# its Windows path.
write_ini() {
  local name=$1; shift
  printf '%s\r\n' "$@" >"$E2E_DIR/$name" || fail "cannot write $name"
  printf 'C:\\tessel\\%s' "$name"
}

# expect ACTUAL EXPECTED WHAT
expect() {
  [ "$1" = "$2" ] || fail "$3: expected [$2], got [$1]"
}

# expect_lines OUTPUT LINE...: every LINE occurs as a whole line of OUTPUT.
expect_lines() {
  local output=$1 line; shift
  for line in "$@"; do
    printf '%s\n' "$output" | grep -qxF -- "$line" || fail "missing line [$line] in:
$output"
  done
}

# Starts store_client.exe ARGS... in the background, followed by a wait for the file
# C:\tessel\KEY.release, so the process (and the store it maps) stays until release KEY.
keeper() {
  local key=$1; shift
  rm -f "$E2E_DIR/$key.release"
  wine_bg store_client.exe "$@" wait-file "C:\\tessel\\$key.release" 120
}
release() { : >"$E2E_DIR/$1.release"; }
