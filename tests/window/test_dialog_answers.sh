source "$WINDOW_LIB"

# The runtime error dialog is drawn in the game window over the game screen;
# the close button while it is open ends the program with status 0 within a
# second (the game thread, blocked in the dialog, must not hold shut-down).
start_dialog
expect_row 1 "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789"
# Keys typed while it is open go to the dialog, not to the game.
type_text "abc"
sleep 0.2
expect_error_dialog
close_window
expect_exit 0 1000

# Y answers Yes: the box disappears (the whole page is painted again) and the
# program goes on with the next statement; the keys typed in the dialog did
# not reach the keyboard buffer.
start_dialog
type_text "q"
type_text "y"
expect_row 2 "after yes"
expect_row 3 "?"
expect_no_text "Unhandled"
expect_no_text "Continue"
type_text "ok"
press Return
expect_row 4 "=ok"
close_window
expect_exit 0 1000

# Escape answers No: the program ends with status 0.
start_dialog
press Escape
expect_exit 0 1000
