# Keys typed into the window reach the line input and are echoed; Enter ends
# the line, Backspace erases, Shift gives capitals and symbols.
source "$WINDOW_LIB"
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
