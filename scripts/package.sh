#!/usr/bin/env bash
# Builds the Debian package stavio_<version>_<arch>.deb from the build tree
# (build/, made by scripts/setup.sh when missing) and prints its path.
#
#   scripts/package.sh [OUTPUT-FOLDER]     default: build/
#
# Install it with `apt install ./stavio_*.deb` (as root).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ ! -f build/build.ninja ]; then scripts/setup.sh; fi
cmake --build build -j 2
out=$(realpath -m "${1:-build}")
mkdir -p "$out"
# The package's staging goes beside it, so a second package build elsewhere
# does not share it.
cpack --config build/CPackConfig.cmake -B "$out" >&2
ls -t "$out"/stavio_*.deb | head -n 1
