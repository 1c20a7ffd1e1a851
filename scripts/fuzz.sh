#!/usr/bin/env bash
# Builds the fuzz target from nothing (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer, libFuzzer) and runs it on a seed corpus of every bundled deck.
# Usage: scripts/fuzz.sh [seconds] [extra libFuzzer arguments...]
# A finding is written to build-fuzz/crash-* (or leak-*, timeout-*); keep it as a
# regression deck in tests/data/fuzz/ once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh clang-14 libclang-rt-14-dev
seconds=${1:-60}
shift || true
dir=${MERIDOLAN_FUZZ_DIR:-build-fuzz}
rm -rf "$dir"
CXX=clang++-14 cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMERIDOLAN_FUZZ=ON >/dev/null
cmake --build "$dir" -j2 --target fuzz_run
mkdir -p "$dir/corpus"
cp examples/*.dat tests/data/*.dat tests/data/fuzz/* "$dir/corpus/" 2>/dev/null || true
cd "$dir"
# Decks are short: 4096 bytes hold every bundled deck several times over. A run
# that takes more than 10 s on a model the target lets through is a hang.
./fuzz_run -max_len=4096 -timeout=10 -rss_limit_mb=2048 -max_total_time="$seconds" \
  -print_final_stats=1 "$@" corpus
