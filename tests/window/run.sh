#!/usr/bin/env bash
# Runs one window test script under a virtual X server:
#   run.sh SCRIPT PROBE XPROBE [GLIMMERDEEP]
# Exits 77 (skipped) when xvfb-run or xdotool is missing.
set -euo pipefail
for tool in xvfb-run xdotool; do
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
WINDOW_LIB="$(dirname "$0")/lib.sh"
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$script"
