source "$WINDOW_LIB"

# Enter presses the focused button, which starts on Yes; Tab and the arrow
# keys move the focus. Tab then Enter is No and ends the program.
start "$WINDOW_PROBE" dialog
expect_error_dialog
press Right Left Tab
sleep 0.1
press Return
expect_exit 0 1000

# Enter on the first button (Yes), after moving the focus away and back.
start "$WINDOW_PROBE" dialog
expect_error_dialog
press Tab shift+Tab
sleep 0.1
press Return
expect_row 2 "after yes"
expect_no_text "Unhandled"
close_window
expect_exit 0 1000

# A click on No ends the program; a click on Yes continues it.
start "$WINDOW_PROBE" dialog
expect_error_dialog
click_on "Yes"
expect_row 2 "after yes"
expect_no_text "Unhandled"
close_window
expect_exit 0 1000

start "$WINDOW_PROBE" dialog
expect_error_dialog
click_on "No"
expect_exit 0 1000
