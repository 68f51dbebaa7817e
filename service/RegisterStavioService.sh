#!/usr/bin/env bash
# Registers the control's plug-in and installs the service OrvantaVoxarenStavio
# run by Vesselrun, all from the folder this script lies in. Run as root.
#
# Beside the unit Vesselrun writes goes this service's drop-in
# <unit folder>/OrvantaVoxarenStavio.service.d/stavio.conf: its account (the
# package's "stavio", when there is one), its sandbox and its supervision.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
service=OrvantaVoxarenStavio
dropin_dir="${VESSELRUN_UNIT_DIR:-/etc/systemd/system}/$service.service.d"
dropin="$dropin_dir/stavio.conf"
account=${STAVIO_SERVICE_ACCOUNT:-stavio}
group=stavio-admin

# The service's own sandbox, the same whatever its settings say: where it
# may write is decided by its account's file permissions (the administration
# refuses a log folder the account cannot write), the operating system's own
# folders stay read-only, and the homes and the other programs' /tmp stay out
# of its sight. Changing a folder setting needs no new registration.
write_dropin() {
  local lines=()
  lines+=("# Written by RegisterStavioService.sh.")
  # A PMS database on this machine starts before the service when both
  # start; the service does not require it.
  lines+=("[Unit]" "After=mariadb.service mysql.service" "")
  lines+=("[Service]")
  # The package's account; without it (a build's own registration) the
  # service runs as root.
  if getent passwd "$account" >/dev/null; then
    lines+=("User=$account" "Group=$group")
  fi
  lines+=(
    "UMask=0007"
    "ProtectSystem=full"
    "ProtectHome=yes"
    "PrivateMounts=yes"
    "PrivateDevices=yes"
    "DevicePolicy=closed"
    "PrivateIPC=yes"
    "ProtectClock=yes"
    "ProtectProc=invisible"
    "ProcSubset=pid"
    "CapabilityBoundingSet="
    "RestrictAddressFamilies=AF_UNIX AF_INET AF_INET6"
    "SystemCallFilter=@system-service"
    "SystemCallFilter=~@privileged @resources"
    "SystemCallErrorNumber=EPERM"
    "MemoryDenyWriteExecute=yes"
    "RemoveIPC=yes"
    "KeyringMode=private"
    # The start asks for more time itself while it waits for the database
    # service; a service thread that reports no progress for five minutes
    # is restarted.
    "TimeoutStartSec=90"
    "WatchdogSec=300"
  )

  mkdir -p -- "$dropin_dir"
  printf '%s\n' "${lines[@]}" >"$dropin.new"
  mv -f -- "$dropin.new" "$dropin"
}

"$here/regsvr" "$here/libOrvantaVoxarenStavio.so"
write_dropin
# Vesselrun reloads systemd after writing the unit, so the drop-in counts too.
if ! "$here/Vesselrun" install name=$service "display=Orvanta Voxaren Stavio" progid=OrvantaVoxarenStavio.Stavio; then
  rm -f -- "$dropin"
  rmdir -- "$dropin_dir" 2>/dev/null || true
  exit 1
fi
