source "$WINDOW_LIB"

# The window is named "Untitled", its client area is 640 x 400, and the
# first screen shows what the program printed.
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

# Keys typed into the window reach the line input and are echoed; Enter ends
# the line, Backspace erases, Shift gives capitals and symbols.
start "$WINDOW_PROBE" echo
expect_row 2 "?"
type_text "hello World 42"
expect_row 2 "? hello World 42"
press Return
expect_row 3 "=hello World 42"
expect_row 4 "?"
type_text "abx"
press BackSpace
type_text "c!"
press Return
expect_row 5 "=abc!"
close_window
expect_exit 0 1000

# A held key repeats while the window has the focus.
start "$WINDOW_PROBE" echo
expect_row 2 "?"
expect_key_repeat a 2
close_window
expect_exit 0 1000

# The close button while a line input waits ends the program with status 0
# within a second, without any dialog.
start "$WINDOW_PROBE" echo
expect_row 2 "?"
type_text "half a line"
expect_row 2 "? half a line"
close_window
expect_exit 0 1000

# Ctrl+Pause is Break: the program ends with status 0. Pause alone pauses,
# and the key that ends the pause is not typed. (Raw key codes: 37 left
# Ctrl, 127 Pause.)
start "$WINDOW_PROBE" echo
expect_row 2 "?"
xdotool key 127
type_text "ab"
expect_row 2 "? b"
xdotool keydown 37 key 127 keyup 37
expect_exit 0 1000
