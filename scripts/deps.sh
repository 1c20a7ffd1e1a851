#!/usr/bin/env bash
# Installs the Debian packages the build and the map command need, when any is missing.
set -euo pipefail
pkgs=(cmake g++ make libgtest-dev libbenchmark-dev libblas-dev liblapack-dev python3-matplotlib)
missing=()
for p in "${pkgs[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
