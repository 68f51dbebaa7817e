#!/usr/bin/env bash
# The layering check passes this checkout and fails a checkout whose platform
# code includes a header of common/, or whose service includes the stand-in
# outside the plug-in's factory.
set -euo pipefail
check="$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-layers.sh"
"$check" >/dev/null || { echo "this checkout should pass"; exit 1; }

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
git -C "$tree" init -q
mkdir -p "$tree/platform" "$tree/service"
printf '#include "platform/clock.h"\n' >"$tree/platform/ok.cpp"
printf '#include "sim/voxaren/ServerAccess.h"\n' >"$tree/service/Plugin.cpp"
git -C "$tree" add -A
"$check" "$tree" >/dev/null || { echo "a clean tree should pass"; exit 1; }

printf '#include "common/SystemEnv.h"\n' >"$tree/platform/bad.cpp"
printf '#include "sim/voxaren/ServerAccess.h"\n' >"$tree/service/Stavio.cpp"
git -C "$tree" add -A
if out=$("$check" "$tree"); then echo "wrong includes passed"; exit 1; fi
grep -q 'platform/bad.cpp:1: #include "common/SystemEnv.h"' <<<"$out" || { echo "missed platform/bad.cpp: $out"; exit 1; }
grep -q 'service/Stavio.cpp:1' <<<"$out" || { echo "missed service/Stavio.cpp: $out"; exit 1; }
echo "layering check: ok"
