#!/usr/bin/env bash
# Builds the program for the host CPU and checks that every bundled deck prints
# byte for byte the report of the default build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-native -DMERIDOLAN_NATIVE=ON -DMERIDOLAN_BENCH=OFF >/dev/null
cmake --build build-native --target meridolan -j2 >/dev/null
status=0
count=0
for deck in examples/*.dat tests/data/*.dat; do
  a=$(build/meridolan < "$deck" 2>&1 | md5sum) || true
  b=$(build-native/meridolan < "$deck" 2>&1 | md5sum) || true
  count=$((count + 1))
  if [ "$a" != "$b" ]; then
    echo "DIFFERENT: $deck"
    status=1
  fi
done
echo "native build: $count decks compared, $([ $status -eq 0 ] && echo identical || echo 'differences found')"
exit $status
