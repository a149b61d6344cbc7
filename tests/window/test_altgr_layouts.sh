# AltGr on real X keyboard layouts: X11 reports AltGr as right Alt alone, and
# the characters it types reach the line input as text. Keys are sent as raw
# key codes (XTest), so the X server's layout makes the characters:
#   108 right Alt / AltGr, 64 left Alt, 36 Return,
#   24 Q, 17 8, 20 the key right of 0 (German ß), 19 0, 12 3, 14 5.
source "$WINDOW_LIB"
command -v setxkbmap >/dev/null || { echo "SKIPPED: setxkbmap missing (x11-xkb-utils)"; exit 77; }
altgr() { xdotool keydown 108 key --delay 40 "$1" keyup 108; }
left_alt() { xdotool keydown 64 key --delay 40 "$1" keyup 64; }

# German: AltGr+Q '@', AltGr+8 '[', AltGr+ß '\'; left Alt+Q stays Alt+Q,
# which types nothing.
setxkbmap -layout de || fail "setxkbmap -layout de"
start "$WINDOW_PROBE" echo
expect_row 2 "?"
altgr 24
altgr 17
altgr 20
left_alt 24
xdotool key 36
expect_row 3 '=@[\'
close_window
expect_exit 0 1000

# French: AltGr+0 '@', AltGr+3 '#', AltGr+5 '['.
setxkbmap -layout fr || fail "setxkbmap -layout fr"
start "$WINDOW_PROBE" echo
expect_row 2 "?"
altgr 19
altgr 12
altgr 14
xdotool key 36
expect_row 3 "=@#["
close_window
expect_exit 0 1000

# US: right Alt is Alt, so right Alt+Q types nothing; Q alone types q.
setxkbmap -layout us || fail "setxkbmap -layout us"
start "$WINDOW_PROBE" echo
expect_row 2 "?"
altgr 24
xdotool key 24 key 36
expect_row 3 "=q"
close_window
expect_exit 0 1000
