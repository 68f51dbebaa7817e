#!/usr/bin/env bash
# Two packages of one build tree are byte-identical: built again later, with
# other file times in its staging, the package is the same file.
#
#   reproducible_test.sh BUILD-FOLDER OUT
# OUT as build_package.sh left it (the first build).
set -euo pipefail
build=$(realpath "${1:?build folder}")
first=$(realpath "${2:?package folder}")/stavio.deb
again=$(mktemp -d)
trap 'rm -rf "$again"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$again" >"$again/cpack.log" 2>&1 || { cat "$again/cpack.log" >&2; exit 1; }
second=("$again"/stavio_*.deb)
if ! cmp "$first" "${second[0]}"; then
  echo "FAIL: the second build differs:" >&2
  diff <(dpkg-deb -c "$first") <(dpkg-deb -c "${second[0]}") >&2 || true
  exit 1
fi
echo "two builds of one tree: identical ($(sha256sum <"$first" | cut -c1-16))"
