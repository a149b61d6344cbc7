#!/usr/bin/env bash
# Sets up a fresh Debian machine and runs the whole test suite: the
# formatting check, the normal build, the AddressSanitizer + UndefinedBehaviorSanitizer build, the
# ThreadSanitizer build of the threaded tests, and short fuzz runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
start=$(date +%s)

step() { printf '\n==== %s (%ss)\n' "$1" "$(( $(date +%s) - start ))"; }

step "formatting"
# Every tracked C++ file matches .clang-format.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

step "normal build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs" --timeout 300)

step "AddressSanitizer + UndefinedBehaviorSanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGLIMMER_SANITIZE=ON -DGLIMMER_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j"$jobs" --timeout 300 -LE window)

step "ThreadSanitizer build of the threaded tests"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DGLIMMER_TSAN=ON -DGLIMMER_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$jobs"
(cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j"$jobs" --timeout 300 -L threads)

if command -v clang++ >/dev/null; then
  step "fuzz targets"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGLIMMER_FUZZ=ON -DGLIMMER_TESTS=OFF -DGLIMMER_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j"$jobs" --target fuzzers
  for f in build-fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    corpus=fuzz/corpus/$(basename "$f" | sed 's/^fuzz_//')
    mkdir -p "build-fuzz/corpus-$(basename "$f")"
    echo "-- $f"
    "$f" -max_total_time=15 -print_final_stats=0 "build-fuzz/corpus-$(basename "$f")" \
      $( [ -d "$corpus" ] && echo "$corpus" ) 2>&1 | tail -n 3
  done
fi
step "all tests passed"
