# Started where no display answers, the program says so and ends at once
# with status 100; it never falls back to a video driver that draws nowhere.
# A driver the user names in SDL_VIDEODRIVER is still used.
source "$WINDOW_LIB"
if [ -z "$GLIMMERDEEP" ]; then echo "the game program was not built"; exit 77; fi
runtime=$(mktemp -d) # no Wayland compositor in here
trap 'rm -rf "$runtime"' EXIT
n=9000
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
no_server=:$n # a display with no X server

# headless LABEL WANT_REASON ENV...: runs the game with ENV and no other
# display settings; it must end within 5 s with status 100 and the reason.
headless() {
  local label=$1 reason=$2 status=0
  shift 2
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR="$runtime" "$@" \
    timeout 5 "$GLIMMERDEEP" >"$runtime/out" 2>"$runtime/err" || status=$?
  [ "$status" -eq 100 ] || fail "$label: exit status $status, expected 100 (124: still running after 5 s)"
  grep -qxF "Unable to init SDL: $reason" "$runtime/err" || fail "$label: stderr is '$(cat "$runtime/err")'"
  [ ! -s "$runtime/out" ] || fail "$label: wrote to stdout: $(cat "$runtime/out")"
}
headless "no DISPLAY" "no display found: DISPLAY is not set and no Wayland compositor answers"
headless "DISPLAY=$no_server" "no display found: the X display \"$no_server\" does not answer" \
  DISPLAY="$no_server"

# SDL_VIDEODRIVER=dummy is the user's choice: the program starts on it.
env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$runtime" SDL_VIDEODRIVER=dummy \
  "$GLIMMERDEEP" 2>"$runtime/err" &
PID=$!
sleep 1
kill -0 "$PID" 2>/dev/null || fail "SDL_VIDEODRIVER=dummy: ended at once: $(cat "$runtime/err")"
kill "$PID"
wait "$PID" 2>/dev/null
PID=""
