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
  local deadline=$(( $(now_ms) + 30000 ))
  local w found
  while :; do
    WIN=""
    found=$(xdotool search --name '^Untitled$' 2>/dev/null || true)
    for w in $found; do
      if [ "$("$XPROBE" size "$w" 2>/dev/null)" = "640x400" ]; then WIN=$w; break; fi
    done
    [ -n "$WIN" ] && break
    kill -0 "$PID" 2>/dev/null || fail "$1 ended before its window opened"
    if [ "$(now_ms)" -ge "$deadline" ]; then
      for w in $found; do echo "window $w: $("$XPROBE" size "$w" 2>&1)" >&2; done
      if [ -n "${WINDOW_DEBUG:-}" ]; then
        echo "DISPLAY here $DISPLAY; the program's: $(tr '\0' '\n' < /proc/$PID/environ | grep ^DISPLAY)" >&2
        ss -xp 2>/dev/null | grep "pid=$PID," >&2
        xwininfo -root -tree >&2
      fi
      fail "no 640x400 window named Untitled"
    fi
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

# expect_screen_line TEXT [MS]: waits until some row reads TEXT, leading
# blanks aside.
expect_screen_line() {
  local want=$1 deadline=$(( $(now_ms) + ${2:-5000} ))
  while :; do
    "$XPROBE" text "$WIN" | sed 's/^ *//' | grep -qxF -- "$want" && return 0
    [ "$(now_ms)" -lt "$deadline" ] || fail "no row reads '$want'"
    sleep 0.05
  done
}

# wait_for_end MS: waits up to MS ms for the program to end; sets STATUS
# to its exit status and TOOK to the milliseconds waited.
wait_for_end() {
  local limit=$1 start
  start=$(now_ms)
  while kill -0 "$PID" 2>/dev/null; do
    [ $(( $(now_ms) - start )) -le "$limit" ] || fail "still running after $limit ms"
    sleep 0.01
  done
  STATUS=0
  wait "$PID" || STATUS=$?
  TOOK=$(( $(now_ms) - start ))
  PID=""
}

# expect_exit STATUS MS: the program must end with STATUS within MS ms.
expect_exit() {
  local want=$1
  wait_for_end "$2"
  [ "$STATUS" -eq "$want" ] || { WIN=""; fail "exit status $STATUS, expected $want"; }
  echo "ended with status $STATUS after $TOOK ms"
}

# close_window: the window manager's close button (WM_DELETE_WINDOW).
close_window() { "$XPROBE" close "$WIN" || fail "cannot send WM_DELETE_WINDOW"; }

type_text() { xdotool type --delay 40 -- "$1"; }
press() { xdotool key --delay 40 "$@"; }

# expect_no_line TEXT: no row contains TEXT now.
expect_no_text() {
  if "$XPROBE" text "$WIN" | grep -qF -- "$1"; then fail "'$1' is still on the screen"; fi
}

# click_on TEXT: a left click on the middle of the first character of TEXT.
click_on() {
  local row=0 line col
  while IFS= read -r line; do
    row=$((row + 1))
    case "$line" in
      *"$1"*)
        col=${line%%"$1"*}
        xdotool mousemove --window "$WIN" $(( ${#col} * 8 + 4 )) $(( (row - 1) * 16 + 8 )) click 1
        return 0 ;;
    esac
  done < <("$XPROBE" text "$WIN")
  fail "'$1' is not on the screen"
}

# The runtime error dialog of the probe's "dialog" mode.
expect_error_dialog() {
  expect_screen_line "Unhandled Error #5"
  expect_screen_line "Line:120"
  expect_screen_line "Illegal function call"
  expect_screen_line "Continue?"
  expect_screen_line "Yes        No"
}

# start_dialog: starts the probe in its "dialog" mode and waits for the dialog.
start_dialog() {
  start "$WINDOW_PROBE" dialog
  expect_error_dialog
}

# expect_key_repeat KEY ROW: holds KEY for a second in the line input on row
# ROW (which reads "?"). A held key repeats after 500 ms, every 30 ms: nothing
# repeats in the first 300 ms, and about 16 more keys arrive in the next
# 700 ms (loose bounds: the machine may be busy).
expect_key_repeat() {
  local key=$1 row=$2 early late count
  xdotool keydown "$key"
  sleep 0.3
  early=$("$XPROBE" text "$WIN" "$row")
  sleep 0.7
  xdotool keyup "$key"
  sleep 0.2
  late=$("$XPROBE" text "$WIN" "$row")
  [ "$early" = "? $key" ] || fail "repeated before the delay: '$early'"
  count=$(( ${#late} - 2 ))
  [ "$count" -ge 6 ] && [ "$count" -le 30 ] || fail "$count keys after holding $key for 1 s: '$late'"
  [ "$late" = "? $(printf "$key%.0s" $(seq "$count"))" ] || fail "row $row is '$late'"
}

# start_x_server DIR: starts a virtual X server that picks a free display
# number itself (-displayfd), so servers started at the same moment never
# share one, and that does not reset when its last client leaves. Sets
# DISPLAY and XSERVER (its process id); DIR holds its log.
start_x_server() {
  local dir=$1
  : >"$dir/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/xvfb.log" &
  XSERVER=$!
  for _ in $(seq 200); do
    [ -s "$dir/display" ] && break
    kill -0 "$XSERVER" 2>/dev/null || break
    sleep 0.05
  done
  if [ ! -s "$dir/display" ]; then
    echo "FAIL: Xvfb did not start" >&2
    cat "$dir/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$dir/display")"
}
