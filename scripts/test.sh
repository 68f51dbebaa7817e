#!/usr/bin/env bash
# Builds everything (scripts/setup.sh) and runs every test. Exits non-zero when
# any test fails. --sanitize builds and tests a separate tree under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=build
if [ "${1:-}" = "--sanitize" ]; then
  BUILD_DIR=build-sanitize
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

scripts/setup.sh "$@"

ctest --test-dir "$BUILD_DIR" --output-on-failure -j 2
