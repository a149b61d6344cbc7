# The real program: its window, the main menu's line input, the close button
# there, and quitting from the menu through "Press any key to continue".
source "$WINDOW_LIB"
if [ -z "$GLIMMERDEEP" ]; then echo "the game program was not built"; exit 77; fi
start "$GLIMMERDEEP"
expect_screen_line "The Mystery of the Glimmerdeep    (Demo Ver 1) 08 22 12" 10000
close_window
expect_exit 0 1000

start "$GLIMMERDEEP"
expect_screen_line "9- Quit" 10000
type_text "9"
press Return
expect_row 25 "Press any key to continue"
press space
expect_exit 0 1000
