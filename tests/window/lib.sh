# Helpers of the window test scripts (sourced). The scripts run inside
# xvfb-run with WINDOW_PROBE, XPROBE and GLIMMERDEEP set by run.sh.

PID=""
WIN=""

fail() {
  echo "FAIL: $*" >&2
  if [ -n "$WIN" ]; then
    echo "---- screen" >&2
    "$XPROBE" text "$WIN" >&2 || true
  fi
  [ -n "$PID" ] && kill -9 "$PID" 2>/dev/null
  exit 1
}

now_ms() { date +%s%3N; }

# start PROGRAM ARGS...: runs it in the background and waits for its window.
start() {
  "$@" &
  PID=$!
  local deadline=$(( $(now_ms) + 15000 ))
  while :; do
    WIN=$(xdotool search --name '^Untitled$' 2>/dev/null | head -n 1 || true)
    [ -n "$WIN" ] && [ "$("$XPROBE" size "$WIN" 2>/dev/null)" = "640x400" ] && break
    kill -0 "$PID" 2>/dev/null || fail "$1 ended before its window opened"
    [ "$(now_ms)" -lt "$deadline" ] || fail "no 640x400 window named Untitled"
    sleep 0.05
  done
  xdotool windowfocus --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN"
}

# expect_row ROW TEXT [MS]: waits until screen row ROW reads TEXT.
expect_row() {
  local row=$1 want=$2 deadline=$(( $(now_ms) + ${3:-5000} )) got
  while :; do
    got=$("$XPROBE" text "$WIN" "$row")
    [ "$got" = "$want" ] && return 0
    [ "$(now_ms)" -lt "$deadline" ] || fail "row $row is '$got', expected '$want'"
    sleep 0.05
  done
}

# expect_screen_contains TEXT [MS]: waits until some row reads TEXT exactly.
expect_screen_line() {
  local want=$1 deadline=$(( $(now_ms) + ${2:-5000} ))
  while :; do
    "$XPROBE" text "$WIN" | grep -qxF -- "$want" && return 0
    [ "$(now_ms)" -lt "$deadline" ] || fail "no row reads '$want'"
    sleep 0.05
  done
}

# expect_exit STATUS MS: the program must end with STATUS within MS ms.
expect_exit() {
  local want=$1 limit=$2 start status
  start=$(now_ms)
  while kill -0 "$PID" 2>/dev/null; do
    [ $(( $(now_ms) - start )) -le "$limit" ] || fail "still running after $limit ms"
    sleep 0.01
  done
  status=0
  wait "$PID" || status=$?
  local took=$(( $(now_ms) - start ))
  PID=""
  [ "$status" -eq "$want" ] || { WIN=""; fail "exit status $status, expected $want"; }
  echo "ended with status $status after $took ms"
}

# close_window: the window manager's close button (WM_DELETE_WINDOW).
close_window() { "$XPROBE" close "$WIN" || fail "cannot send WM_DELETE_WINDOW"; }

type_text() { xdotool type --delay 40 -- "$1"; }
press() { xdotool key --delay 40 "$@"; }
