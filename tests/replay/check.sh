#!/usr/bin/env bash
# Plays NAME.keys through the replay driver and compares its whole output,
# and its exit status, with NAME.screens. The expected file's last line is
# the "=== exit N" or "=== script end" line the driver prints.
# Usage: check.sh REPLAY NAME.keys   (REGENERATE=1 rewrites NAME.screens)
set -u
replay=$1 keys=$2
expected=${keys%.keys}.screens
args=()
[ -f "${keys%.keys}.args" ] && read -r -a args < "${keys%.keys}.args"
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
timeout 20 "$replay" "${args[@]}" "$keys" > "$actual"
status=$?
if [ "${REGENERATE:-0}" = 1 ]; then cp "$actual" "$expected"; exit 0; fi
if ! diff -u "$expected" "$actual"; then
  echo "screens differ from $expected" >&2
  exit 1
fi
last=$(tail -n 1 "$actual")
case "$last" in
  "=== exit "*) [ "$status" = "${last#=== exit }" ] || { echo "exit status $status, driver said $last" >&2; exit 1; } ;;
  "=== script end") [ "$status" = 0 ] || { echo "exit status $status after script end" >&2; exit 1; } ;;
esac
exit 0
