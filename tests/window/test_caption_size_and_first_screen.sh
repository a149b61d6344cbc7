# The window is named "Untitled", its client area is 640 x 400, and the
# first screen shows what the program printed.
source "$WINDOW_LIB"
start "$WINDOW_PROBE" echo
[ "$(xdotool getwindowname "$WIN")" = "Untitled" ] || fail "caption is '$(xdotool getwindowname "$WIN")'"
expect_row 1 "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789"
expect_row 2 "?"
[ "$("$XPROBE" pixel "$WIN" 639 399)" = "000000" ] || fail "the background is not black"
# The text is drawn in colour 7.
found=0
for x in 0 1 2 3 4 5 6 7; do
  for y in 4 5 6 7 8 9 10 11; do
    [ "$("$XPROBE" pixel "$WIN" $x $y)" = "AAAAAA" ] && found=1
  done
done
[ $found -eq 1 ] || fail "the A is not drawn in 0xAAAAAA"
close_window
expect_exit 0 1000
