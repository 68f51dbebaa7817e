#!/usr/bin/env bash
# Removes the service OrvantaVoxarenStavio and the plug-in's registration.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/Vesselrun" uninstall name=OrvantaVoxarenStavio
"$here/regsvr" -u "$here/libOrvantaVoxarenStavio.so"
