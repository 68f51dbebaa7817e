#!/usr/bin/env bash
# Builds the Debian package from the build tree as it stands (the programs
# are built already: nothing is compiled again) into OUT and unpacks it into
# OUT/root for the package's tests.
#
#   build_package.sh BUILD-FOLDER OUT
set -euo pipefail
build=$(realpath "${1:?build folder}")
out=$(realpath -m "${2:?output folder}")
rm -rf "$out"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
  { cat "$out/cpack.log" >&2; exit 1; }
debs=("$out"/stavio_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "no single package in $out: ${debs[*]}" >&2; exit 1; }
ln -s "$(basename "${debs[0]}")" "$out/stavio.deb"
dpkg-deb -x "${debs[0]}" "$out/root"
echo "built and unpacked ${debs[0]}"
