#!/usr/bin/env bash
# Builds the program for the host CPU and checks that every bundled deck prints
# byte for byte the report (and writes byte for byte the contour data file) of the
# default build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-native -DMERIDOLAN_NATIVE=ON -DMERIDOLAN_BENCH=OFF >/dev/null
cmake --build build-native --target meridolan -j2 >/dev/null
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
count=0
for deck in examples/*.dat tests/data/*.dat; do
  rm -f "$tmp"/a.cnt "$tmp"/b.cnt
  a=$(build/meridolan -c "$tmp/a.cnt" "$deck" 2>/dev/null | md5sum) || true
  b=$(build-native/meridolan -c "$tmp/b.cnt" "$deck" 2>/dev/null | md5sum) || true
  ca=$( (md5sum < "$tmp/a.cnt") 2>/dev/null || echo none)
  cb=$( (md5sum < "$tmp/b.cnt") 2>/dev/null || echo none)
  count=$((count + 1))
  if [ "$a" != "$b" ] || [ "$ca" != "$cb" ]; then
    echo "DIFFERENT: $deck"
    status=1
  fi
done
echo "native build: $count decks compared, $([ $status -eq 0 ] && echo identical || echo 'differences found')"
exit $status
