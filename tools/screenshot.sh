#!/usr/bin/env bash
# Takes a screenshot of the real game window under a virtual X server.
#
#   tools/screenshot.sh [OUT.png [KEY...]]
#
# Builds the window program (in build-screenshot/, unless GLIMMERDEEP names a
# program to use), starts it under Xvfb, plays the keys with xdotool (key
# names as xdotool knows them; by default "1 Return", which starts Chapter 1
# and shows the first scene), waits for the screen to settle and saves the
# window as PNG (xwd, then ImageMagick's convert). OUT defaults to
# docs/screenshot.png. Missing Debian packages are installed first.
# SCALE=2 takes the picture of a window enlarged by sdl12-compat.
set -euo pipefail
cd "$(dirname "$0")/.."

out=$(realpath -m "${1:-docs/screenshot.png}")
shift || true
keys=("$@")
[ ${#keys[@]} -gt 0 ] || keys=(1 Return)

scripts/setup.sh xvfb xauth xdotool x11-apps imagemagick

program=${GLIMMERDEEP:-}
if [ -z "$program" ]; then
  scripts/setup.sh
  cmake -S . -B build-screenshot -DCMAKE_BUILD_TYPE=Release -DGLIMMER_TESTS=OFF \
    -DGLIMMER_BENCH=OFF >/dev/null
  cmake --build build-screenshot -j2 --target glimmerdeep
  program=build-screenshot/glimmerdeep
fi
program=$(realpath "$program")

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat >"$inner" <<'INNER'
set -euo pipefail
program=$1 out=$2
shift 2
if [ -n "${SCALE:-}" ]; then export SDL12COMPAT_WINDOW_SCALING=$SCALE; fi
"$program" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
win=""
for _ in $(seq 300); do
  win=$(xdotool search --name '^Untitled$' 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "the game ended before its window opened" >&2; exit 1; }
  sleep 0.1
done
[ -n "$win" ] || { echo "no game window" >&2; exit 1; }
xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
sleep 1 # the first frame
for key in "$@"; do
  xdotool key "$key"
  sleep 0.2
done
sleep 1 # let the game print the scene and the renderer draw it
xwd -silent -id "$win" | convert xwd:- "png:$out"
kill -TERM "$pid"
wait "$pid" || true
trap - EXIT
INNER

mkdir -p "$(dirname "$out")"
xvfb-run -a -s '-screen 0 1920x1080x24' bash "$inner" "$program" "$out" "${keys[@]}"
echo "wrote $out ($(identify -format '%wx%h' "$out"))"
