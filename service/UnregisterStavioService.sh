#!/usr/bin/env bash
# Removes the service OrvantaVoxarenStavio, the drop-in that
# RegisterStavioService.sh wrote for it, and the plug-in's registration.
# Removing what is already gone succeeds.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
service=OrvantaVoxarenStavio
dropin_dir="${VESSELRUN_UNIT_DIR:-/etc/systemd/system}/$service.service.d"
rm -f -- "$dropin_dir/stavio.conf"
rmdir -- "$dropin_dir" 2>/dev/null || true
# Vesselrun reloads systemd after removing the unit, so the drop-in goes too.
"$here/Vesselrun" uninstall name=$service
"$here/regsvr" -u "$here/libOrvantaVoxarenStavio.so"
