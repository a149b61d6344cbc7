source "$WINDOW_LIB"

# Enter presses the focused button, which starts on Yes; Tab and the arrow
# keys move the focus. Tab then Enter is No and ends the program.
start_dialog
press Right Left Tab
sleep 0.1
press Return
expect_exit 0 1000

# After Yes the box is gone and the program goes on.
expect_yes_answered() {
  expect_row 2 "after yes"
  expect_no_text "Unhandled"
  close_window
  expect_exit 0 1000
}

# Enter on the first button (Yes), after moving the focus away and back.
start_dialog
press Tab shift+Tab
sleep 0.1
press Return
expect_yes_answered

# A click on No ends the program; a click on Yes continues it.
start_dialog
click_on "Yes"
expect_yes_answered

start_dialog
click_on "No"
expect_exit 0 1000
