source "$WINDOW_LIB"

# The fallback loop, forced with GLIMMER_FIXED_TURN=1 (what a video driver
# without a connection to poll gets): the same window, the same echo, key
# repeat and close as the waking loop.
export GLIMMER_FIXED_TURN=1
start "$WINDOW_PROBE" echo
expect_row 1 "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789"
expect_row 2 "?"
type_text "fixed Turn 7"
expect_row 2 "? fixed Turn 7"
press Return
expect_row 3 "=fixed Turn 7"
expect_row 4 "?"
# A held key repeats as in the waking loop.
expect_key_repeat b 4
close_window
expect_exit 0 1000

# The game's own end: "Press any key to continue", a key, status 0.
start "$WINDOW_PROBE" end
expect_row 2 "bye"
expect_row 25 "Press any key to continue"
press space
expect_exit 0 1000
