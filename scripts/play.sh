#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DGLIMMER_TESTS=OFF -DGLIMMER_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target glimmerdeep
exec build/glimmerdeep "$@"
