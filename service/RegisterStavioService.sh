#!/usr/bin/env bash
# Registers the control's plug-in and installs the service OrvantaVoxarenStavio
# run by Vesselrun, all from the folder this script lies in. Run as root.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/regsvr" "$here/libOrvantaVoxarenStavio.so"
"$here/Vesselrun" install name=OrvantaVoxarenStavio "display=Orvanta Voxaren Stavio" progid=OrvantaVoxarenStavio.Stavio
