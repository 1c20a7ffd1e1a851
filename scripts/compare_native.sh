#!/usr/bin/env bash
# Builds the program for the host CPU, and once more with only the baseline kernels
# (no AVX2 or AVX-512 path chosen at run time), and checks that every bundled deck
# prints byte for byte the report (and writes byte for byte the contour data file) of
# the default build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-native -DMERIDOLAN_NATIVE=ON -DMERIDOLAN_BENCH=OFF >/dev/null
cmake --build build-native --target meridolan -j2 >/dev/null
cmake -S . -B build-baseline -DMERIDOLAN_BASELINE=ON -DMERIDOLAN_BENCH=OFF >/dev/null
cmake --build build-baseline --target meridolan -j2 >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
for other in build-native build-baseline; do
  count=0
  bad=0
  for deck in examples/*.dat tests/data/*.dat; do
    rm -f "$tmp"/a.cnt "$tmp"/b.cnt
    a=$(build/meridolan -c "$tmp/a.cnt" "$deck" 2>/dev/null | md5sum) || true
    b=$("$other"/meridolan -c "$tmp/b.cnt" "$deck" 2>/dev/null | md5sum) || true
    ca=$( (md5sum < "$tmp/a.cnt") 2>/dev/null || echo none)
    cb=$( (md5sum < "$tmp/b.cnt") 2>/dev/null || echo none)
    count=$((count + 1))
    if [ "$a" != "$b" ] || [ "$ca" != "$cb" ]; then
      echo "DIFFERENT ($other): $deck"
      bad=1
    fi
  done
  echo "$other: $count decks compared, $([ $bad -eq 0 ] && echo identical || echo 'differences found')"
  [ $bad -eq 0 ] || status=1
done
exit $status
