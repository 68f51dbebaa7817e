#!/usr/bin/env bash
# The layering check passes this checkout and fails a checkout whose platform
# code includes a header of common/, whose service includes the stand-in
# outside the plug-in's factory, or whose audit includes the service or the
# stand-in outside its main.
set -euo pipefail
check="$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-layers.sh"
"$check" >/dev/null || { echo "this checkout should pass"; exit 1; }

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
git -C "$tree" init -q
mkdir -p "$tree/platform" "$tree/service" "$tree/audit"
printf '#include "platform/clock.h"\n' >"$tree/platform/ok.cpp"
printf '#include "sim/voxaren/ServerAccess.h"\n' >"$tree/service/Plugin.cpp"
printf '#include "sim/voxaren/ServerAccess.h"\n#include "common/SystemEnv.h"\n' >"$tree/audit/main.cpp"
git -C "$tree" add -A
"$check" "$tree" >/dev/null || { echo "a clean tree should pass"; exit 1; }

printf '#include "common/SystemEnv.h"\n' >"$tree/platform/bad.cpp"
printf '#include "sim/voxaren/ServerAccess.h"\n' >"$tree/service/Stavio.cpp"
printf '#include "common/SystemEnv.h"\n#include "service/Sweeps.h"\n' >"$tree/audit/Audit.cpp"
printf '#include "sim/ptce/GatewayTable.h"\n' >"$tree/audit/Report.h"
git -C "$tree" add -A
if out=$("$check" "$tree"); then echo "wrong includes passed"; exit 1; fi
grep -q 'platform/bad.cpp:1: #include "common/SystemEnv.h"' <<<"$out" || { echo "missed platform/bad.cpp: $out"; exit 1; }
grep -q 'service/Stavio.cpp:1' <<<"$out" || { echo "missed service/Stavio.cpp: $out"; exit 1; }
grep -q 'audit/Audit.cpp:2: #include "service/Sweeps.h"' <<<"$out" || { echo "missed audit/Audit.cpp: $out"; exit 1; }
grep -q 'audit/Report.h:1' <<<"$out" || { echo "missed audit/Report.h: $out"; exit 1; }
if grep -q 'audit/main.cpp\|audit/Audit.cpp:1' <<<"$out"; then echo "flagged an allowed include: $out"; exit 1; fi
echo "layering check: ok"
