#!/usr/bin/env bash
# Installs the Debian packages the build, the Python package and the tests need, when any is missing.
set -euo pipefail
# Usage: scripts/deps.sh [more packages...]
pkgs=(cmake g++ make libgtest-dev libbenchmark-dev libblas-dev liblapack-dev
  libopenblas0-pthread nlohmann-json3-dev pybind11-dev python3-dev python3-pybind11
  python3-matplotlib python3-numpy python3-scipy python3-pandas python3-dask
  python3-distributed python3-pytest "$@")
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
# OpenBLAS is only a yardstick, loaded by bench_packed at run time. Installing it may
# make it the system's BLAS and LAPACK; the program links the reference BLAS from its
# own archive, so the system's choice is left as it is.
