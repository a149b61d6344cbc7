#!/usr/bin/env bash
# Runs one window test script on a virtual X server of its own:
#   run.sh SCRIPT PROBE XPROBE [GLIMMERDEEP]
# The server picks a free display number itself (-displayfd), so tests run
# in parallel never share a display (xvfb-run -a can hand two of them the
# same number when they start at the same moment), and it does not reset
# when its last client leaves, so the next program of a script never finds
# it half gone. Exits 77 (skipped) when Xvfb or xdotool is missing.
set -uo pipefail
for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed; the window tests need xvfb and xdotool" >&2
    echo "SKIPPED: $tool is not installed; the window tests need xvfb and xdotool"
    exit 77
  fi
done
script=$1
shift
export WINDOW_PROBE=$1 XPROBE=$2 GLIMMERDEEP=${3:-}
export WINDOW_LIB
WINDOW_LIB="$(cd "$(dirname "$0")" && pwd)/lib.sh"

work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 200); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "FAIL: Xvfb did not start" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
# Only the X11 driver: a program that cannot reach the server must fail, not
# fall back to drawing nowhere.
export SDL_VIDEODRIVER=x11
bash "$script"
