# The X server going away while the program runs (a session ending: the
# program gets SIGTERM and the server dies at the same moment) ends the
# program within a few seconds instead of leaving it spinning. Each round
# runs on an X server of its own, which the round then kills.
source "$WINDOW_LIB"
if [ -z "$GLIMMERDEEP" ]; then echo "the game program was not built"; exit 77; fi
work=$(mktemp -d)
XSERVER=""
trap 'kill "$XSERVER" 2>/dev/null; rm -rf "$work"' EXIT
for round in 1 2 3; do
  start_x_server "$work" || fail "round $round: no X server"
  start "$GLIMMERDEEP"
  expect_screen_line "9- Quit" 10000
  kill -TERM "$PID"
  kill "$XSERVER"
  WIN=""
  wait_for_end 5000
  echo "round $round: ended with status $STATUS after $TOOK ms"
  wait "$XSERVER" 2>/dev/null
done
