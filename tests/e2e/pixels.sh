# Text on screenshots of the timed information window. Source after harness.sh and mapper.sh.
SHOTS=$TESSEL_E2E_WORK/shots
# The display scaling the window was made for, as a whole factor (2 at 192 DPI): its margins.
PIXELS_SCALE=${PIXELS_SCALE:-1}

# text_verdict SHOT RECT LINES [underline]: "ok ..." when, inside the window's one-pixel
# frame, the dark pixels of SHOT fill LINES lines of the font, each centred, from near its
# top and at least half a line high, the widest as wide as the window's text, none touching
# the frame; with "underline", the lowest dark row is a short stroke below a blank row.
# Otherwise the fault.
text_verdict() {
  local shot=$1 rect=$2 lines=$3 underline=${4:-} l t r b
  IFS=, read -r l t r b <<< "$rect"
  # The window is 20 pixels wider and 10 higher than its text, which starts 3 pixels below
  # the top of the client area (each times the scaling).
  convert "$SHOTS/$shot.png" -crop "$((r - l - 2))x$((b - t - 2))+$((l + 1))+$((t + 1))" +repage \
      -colorspace Gray -threshold 50% -compress none pbm:- |
    awk -v lines="$lines" -v textw=$((r - l - 20 * PIXELS_SCALE)) -v texth=$((b - t - 10 * PIXELS_SCALE)) \
        -v first=$((3 * PIXELS_SCALE)) \
        -v underline="$underline" '
      NR == 1 { next }
      NR == 2 { w = $1; next }
      {
        for (i = 1; i <= NF; i++) {
          p = n++
          if ($i != 1) continue
          x = p % w; y = int(p / w); dark++; row[y]++
          if (top == "" || y < top) top = y
          if (y > bottom) bottom = y
          if (y < first || y >= first + texth) { outside++; continue }
          k = int((y - first) * lines / texth)
          if (!(k in lo) || x < lo[k]) lo[k] = x
          if (x > hi[k]) hi[k] = x
          if (!(k in ltop) || y < ltop[k]) ltop[k] = y
          if (y > lbot[k]) lbot[k] = y
        }
      }
      END {
        lh = texth / lines
        if (!dark) { print "no text at all"; exit }
        if (outside) { printf "%d dark pixels outside the text box\n", outside; exit }
        for (k = 0; k < lines; k++) {
          if (!(k in lo)) { printf "line %d is empty\n", k + 1; exit }
          # Wine draws long texts a few pixels wider than it measures them.
          off = lo[k] + hi[k] - (w - 1)
          if (off < -4 - textw / 20 || off > 4 + textw / 20) {
            printf "line %d (columns %d-%d) is not centred in %d\n", k + 1, lo[k], hi[k], w; exit
          }
          if (lo[k] < 1 || hi[k] > w - 2) { printf "line %d touches the frame\n", k + 1; exit }
          # Every line tested has capitals or ascenders, which reach close to its top.
          if (ltop[k] - first - k * lh > lh / 3 || lbot[k] - ltop[k] + 1 < lh / 2) {
            printf "line %d fills rows %d-%d of %d-%d\n", k + 1, ltop[k], lbot[k],
                   first + k * lh, first + (k + 1) * lh - 1; exit
          }
          if (hi[k] - lo[k] + 1 > widest) widest = hi[k] - lo[k] + 1
        }
        if (widest < textw - 4) { printf "the text is %d pixels wide of %d\n", widest, textw; exit }
        if (bottom - top + 1 < texth - lh / 2) {
          printf "the text is %d pixels high of %d\n", bottom - top + 1, texth; exit
        }
        if (underline != "" && (row[bottom - 1] || row[bottom] < 4 || row[bottom] > 12)) {
          printf "no underline stroke at the bottom (row %d: %d pixels)\n", bottom, row[bottom]; exit
        }
        printf "ok %d dark pixels in rows %d-%d, %d lines, %d of %d pixels wide\n",
               dark, top, bottom, lines, widest, textw
      }'
}

# check_text SHOT RECT LINES [underline]: fails unless text_verdict is ok; writes SHOT_8x.png,
# the window at 8x, to look at.
check_text() {
  local shot=$1 rect=$2 l t r b verdict
  IFS=, read -r l t r b <<< "$rect"
  convert "$SHOTS/$shot.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage -scale 800% "$SHOTS/${shot}_8x.png"
  verdict=$(text_verdict "$@")
  echo "$shot: $verdict"
  [ "${verdict%% *}" = ok ] || fail "$shot: $verdict (see $SHOTS/${shot}_8x.png)"
}

# shown NAME LINES [underline]: waits for the window and checks its text on a screenshot at
# once and on one a moment later, then waits until it is gone. INFO_RECT is its rect.
shown() {
  local name=$1; shift
  wait_until 10 info_window_shown || fail "$name: no information window"
  INFO_RECT=$(info_rect)
  e2e_screenshot "$name" >/dev/null || fail "no screenshot"
  check_text "$name" "$INFO_RECT" "$@"
  sleep 0.6
  e2e_screenshot "${name}_later" >/dev/null || fail "no screenshot"
  # On a slow machine the window may be gone by now: then there is nothing to compare.
  if [ "$(info_rect)" = "$INFO_RECT" ]; then check_text "${name}_later" "$INFO_RECT" "$@"; fi
  wait_until 10 eval '! info_window_shown' || fail "$name: the window did not go away"
}


# glyph_box SHOT RECT: "HEIGHT DOUBLED" of the dark pixels of SHOT inside RECT: the rows from
# the highest to the lowest, and 1 when both the rows and the columns come in identical pairs,
# as in a bitmap stretched to twice its size (0 for text drawn at its size).
glyph_box() {
  local l t r b
  IFS=, read -r l t r b <<< "$2"
  convert "$SHOTS/$1.png" -crop "$((r - l))x$((b - t))+$l+$t" +repage -colorspace Gray -threshold 50% \
      -compress none pbm:- |
    awk 'NR == 1 { next }
      NR == 2 { w = $1; next }
      {
        for (i = 1; i <= NF; i++) {
          p = n++; x = p % w; y = int(p / w)
          if ($i != 1) continue
          dark[x, y] = 1
          if (top == "" || y < top) top = y
          if (y > bottom) bottom = y
          if (left == "" || x < left) left = x
          if (x > right) right = x
        }
      }
      function paired(along, lo, hi, across_lo, across_hi,   a, k, j, same) {
        for (a = 0; a < 2; a++) {
          same = 1
          for (k = lo - 1 + a; k <= hi && same; k += 2)
            for (j = across_lo; j <= across_hi && same; j++)
              if (along == "rows" ? dark[j, k] != dark[j, k + 1] : dark[k, j] != dark[k + 1, j]) same = 0
          if (same) return 1
        }
        return 0
      }
      END {
        if (top == "") { print "0 0"; exit }
        print bottom - top + 1, paired("rows", top, bottom, left, right) && paired("columns", left, right, top, bottom)
      }'
}
