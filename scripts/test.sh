#!/usr/bin/env bash
# Builds everything (scripts/setup.sh), checks that the layers include one
# way only, starts a throwaway MariaDB server, runs every test and stops the
# server again. Exits non-zero when any check or test fails. --sanitize builds
# and tests a separate tree under AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=build
if [ "${1:-}" = "--sanitize" ]; then
  BUILD_DIR=build-sanitize
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

scripts/setup.sh "$@"
scripts/check-layers.sh

MYSQL_DIR="$BUILD_DIR/mariadb"
trap 'scripts/mariadb.sh stop "$MYSQL_DIR"' EXIT
port=$(scripts/mariadb.sh start "$MYSQL_DIR")
# The PMS server as the setting "Precipia Server Name" would hold it.
export STAVIO_TEST_MYSQL="127.0.0.1:$port"
# Its data folder, so a test can restart it (scripts/mariadb.sh restart).
STAVIO_TEST_MYSQL_DIR=$(realpath "$MYSQL_DIR")
export STAVIO_TEST_MYSQL_DIR

ctest --test-dir "$BUILD_DIR" --output-on-failure -j 2
