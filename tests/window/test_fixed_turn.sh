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
# A held key repeats after 500 ms (loose bounds: the machine may be busy).
xdotool keydown b
sleep 0.3
early=$("$XPROBE" text "$WIN" 4)
sleep 0.7
xdotool keyup b
sleep 0.2
late=$("$XPROBE" text "$WIN" 4)
[ "$early" = "? b" ] || fail "repeated before the delay: '$early'"
count=$(( ${#late} - 2 ))
[ "$count" -ge 6 ] && [ "$count" -le 30 ] || fail "$count keys after holding b for 1 s: '$late'"
close_window
expect_exit 0 1000

# The game's own end: "Press any key to continue", a key, status 0.
start "$WINDOW_PROBE" end
expect_row 2 "bye"
expect_row 25 "Press any key to continue"
press space
expect_exit 0 1000
