# The X server going away while the program runs (a session ending: the
# program gets SIGTERM and the server dies at the same moment) ends the
# program within a few seconds instead of leaving it spinning. Each round
# runs on an X server of its own, which the round then kills.
source "$WINDOW_LIB"
if [ -z "$GLIMMERDEEP" ]; then echo "the game program was not built"; exit 77; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for round in 1 2 3; do
  : >"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
  server=$!
  for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
  [ -s "$work/display" ] || fail "round $round: Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$work/display")"
  start "$GLIMMERDEEP"
  expect_screen_line "9- Quit" 10000
  kill -TERM "$PID"
  kill "$server"
  WIN=""
  start_ms=$(now_ms)
  while kill -0 "$PID" 2>/dev/null; do
    [ $(( $(now_ms) - start_ms )) -le 5000 ] || fail "round $round: still running 5 s after the display was lost"
    sleep 0.01
  done
  status=0
  wait "$PID" || status=$?
  PID=""
  echo "round $round: ended with status $status after $(( $(now_ms) - start_ms )) ms"
  wait "$server" 2>/dev/null
done
