#!/usr/bin/env bash
# Runs one window test script on a virtual X server of its own:
#   run.sh SCRIPT PROBE XPROBE [GLIMMERDEEP]
# Each server picks a free display number itself (start_x_server in
# lib.sh): xvfb-run -a can hand two tests started at the same moment the
# same number. Exits 77 (skipped) when Xvfb or xdotool is missing.
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

source "$WINDOW_LIB"
work=$(mktemp -d)
XSERVER=""
trap 'kill "$XSERVER" 2>/dev/null; wait "$XSERVER" 2>/dev/null; rm -rf "$work"' EXIT
start_x_server "$work" || exit 1
# Only the X11 driver: a program that cannot reach the server must fail, not
# fall back to drawing nowhere.
export SDL_VIDEODRIVER=x11
bash "$script"
