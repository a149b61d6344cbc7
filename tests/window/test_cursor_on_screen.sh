source "$WINDOW_LIB"

# cursor_states X Y: samples the pixel at X, Y of the window 16 times over
# about 1.3 s and prints the colours seen, sorted and without repeats.
cursor_states() {
  local i
  for i in $(seq 16); do
    "$XPROBE" pixel "$WIN" "$1" "$2"
    sleep 0.08
  done | sort -u | tr '\n' ' '
}

# What the X server shows, not only what was drawn: the cursor (scan line
# 14 of its cell, colour 7) blinks where the line input waits, and the cell
# it left is plain again. Cells changed one at a time stay right after a
# trip to full screen and back (Alt+Enter twice), where every frame shows
# the whole window.
start "$WINDOW_PROBE" echo
expect_row 2 "?"
type_text "abc"
expect_row 2 "? abc"
[ "$(cursor_states 40 30)" = "000000 AAAAAA " ] || fail "no blinking cursor after '? abc'"
press alt+Return
sleep 0.5
type_text "de"
press alt+Return
sleep 0.5
type_text "f"
expect_row 2 "? abcdef"
expect_row 1 "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789"
[ "$(cursor_states 64 30)" = "000000 AAAAAA " ] || fail "no blinking cursor after '? abcdef'"
[ "$(cursor_states 40 30)" = "000000 " ] || fail "the cursor's old cell is not blank"
close_window
expect_exit 0 1000
