source "$WINDOW_LIB"

# A critical runtime error: caption "Critical Error #301", the line and the
# message without a question, only OK; Enter ends the program with status 0,
# and so does the close button.
start "$WINDOW_PROBE" critical
expect_screen_line "Critical Error #301"
expect_screen_line "Line:130"
expect_screen_line "Invalid size"
expect_screen_line "OK"
expect_no_text "Continue"
press Return
expect_exit 0 1000

start "$WINDOW_PROBE" critical
expect_screen_line "Critical Error #301"
close_window
expect_exit 0 1000

# End program: "Press any key to continue" on the last row, then any key ends
# the program with status 0; the close button during that wait does too.
start "$WINDOW_PROBE" end
expect_row 2 "bye"
expect_row 25 "Press any key to continue"
press x
expect_exit 0 1000

start "$WINDOW_PROBE" end
expect_row 25 "Press any key to continue"
close_window
expect_exit 0 1000
