# The window benchmarks report a program that did not start as a failure
# (status 1) instead of measuring nothing, and --help only prints the usage.
source "$WINDOW_LIB"
if [ -z "${BENCH_WINDOW_IDLE:-}" ]; then echo "the benchmarks were not built"; exit 77; fi
out=$(timeout 20 "$BENCH_WINDOW_IDLE" --help) || fail "bench_window_idle --help: status $?"
[ "$(head -n 1 <<<"$out")" = "usage: bench_window_idle [PROGRAM] [SECONDS]" ] || fail "--help printed: $out"
grep -q cpu <<<"$out" && fail "--help measured something: $out"

status=0
out=$(timeout 20 "$BENCH_WINDOW_IDLE" /nonexistent/glimmerdeep 1 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "a missing program: status $status, expected 1: $out"
[ "$(grep -c 'FAILED: /nonexistent/glimmerdeep ended before its window opened (exit status 127)' <<<"$out")" = 2 ] ||
  fail "a missing program is not reported twice: $out"
grep -q 'within target' <<<"$out" && fail "a missing program was measured: $out"

# The latency benchmark runs the front end in-process: with no X server at
# its DISPLAY the front end does not start, and the benchmark says so.
n=9000
while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
status=0
out=$(DISPLAY=:$n timeout 20 "$BENCH_WINDOW_LATENCY" 5 2>&1) || status=$?
[ "$status" -eq 1 ] || fail "latency without an X server: status $status (124: hung), expected 1: $out"
grep -qxF "FAILED: the window program did not start (status 100)" <<<"$out" ||
  fail "latency without an X server printed: $out"
