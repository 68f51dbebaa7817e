#!/usr/bin/env bash
# Registers the control's plug-in and installs the service OrvantaVoxarenStavio
# run by Vesselrun, all from the folder this script lies in. Run as root.
#
# The unit Vesselrun writes leaves the file system read-only to the service but
# for the registry store's folder. What this service writes besides comes from
# its settings as they stand now, in the drop-in
# <unit folder>/OrvantaVoxarenStavio.service.d/stavio.conf: the log folder, the
# voice-messaging server's folder and an SQLite PMS table's folder. Run this
# script again after changing any of them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
service=OrvantaVoxarenStavio
dropin_dir="${VESSELRUN_UNIT_DIR:-/etc/systemd/system}/$service.service.d"
dropin="$dropin_dir/stavio.conf"

# A registry value, empty when it is missing; a store that cannot be read
# stops the registration.
setting() {
  local value status=0
  value=$("$here/stavio-reg" get "$1" "$2") || status=$?
  case $status in
    0) printf '%s' "$value" ;;
    1) ;;
    *) echo "RegisterStavioService: cannot read \"$2\" under $1" >&2; return 1 ;;
  esac
}

# An absolute folder: a relative one counts from "/", the service's working folder.
absolute() {
  case $1 in
    /*) realpath -m -- "$1" ;;
    *) realpath -m -- "/$1" ;;
  esac
}

# One entry of ReadWritePaths=: quoted, "\" and '"' escaped, "%" doubled, and
# "-" so that a folder that went away does not stop the service's start.
unit_path() {
  local p=$1
  p=${p//\\/\\\\}
  p=${p//\"/\\\"}
  p=${p//%/%%}
  printf '"-%s"' "$p"
}

# Whether the PMS database named by "Precipia Server Name" is this machine's
# own: no name, a name of this machine or a loopback address, with or without
# a port.
pms_is_local() {
  local host=$1 name address
  # Without its port: [address]:port, or name:port (an IPv6 address alone
  # has more than one colon).
  if [[ $host =~ ^\[(.*)\]:[0-9]+$ || $host =~ ^([^:]*):[0-9]+$ ]]; then host=${BASH_REMATCH[1]}; fi
  host=${host#\[}
  host=${host%\]}
  host=${host,,}
  case $host in
    "" | . | "(local)" | localhost | localhost.* | 127.* | ::1) return 0 ;;
  esac
  name=$(uname -n)
  name=${name,,}
  if [ "$host" = "$name" ] || [ "$host" = "${name%%.*}" ]; then return 0; fi
  for address in $(hostname -I 2>/dev/null || true); do
    if [ "$host" = "${address,,}" ]; then return 0; fi
  done
  return 1
}

write_dropin() {
  local logs root pms folders=() lines=() path needs_host_tmp=no
  logs=$(setting 'Software\Brightkeel\Stavio' 'Path to Logs')
  root=$(setting 'SOFTWARE\Brightkeel\Corevane\1.0' 'Root Path')
  pms=$(setting 'Software\Brightkeel\Stavio' 'Precipia Server Name')
  # Blanks around the server name do not count, as for the service.
  if [[ $pms =~ ^[[:space:]]*(.*[^[:space:]])[[:space:]]*$ ]]; then pms=${BASH_REMATCH[1]}; else pms=""; fi

  # Without a setting the service logs beside its plug-in.
  if [ -z "$logs" ]; then logs="$here/logs/"; fi
  folders+=("$(absolute "$logs")")
  # The log folder must be there before the start: the service cannot make
  # it in a read-only file system.
  mkdir -p -- "${folders[0]}" || echo "RegisterStavioService: cannot make the log folder ${folders[0]}" >&2
  if [ -n "$root" ]; then folders+=("$(absolute "$root")"); fi
  case $pms in
    /*) folders+=("$(dirname -- "$(absolute "$pms")")") ;;  # an SQLite file: its journal lies beside it
  esac

  local words=()
  for path in "${folders[@]}"; do
    if [[ $path == *[[:cntrl:]]* ]]; then
      echo "RegisterStavioService: a folder with a control character cannot be made writable: $path" >&2
      continue
    fi
    words+=("$(unit_path "$path")")
    case $path in /tmp | /tmp/* | /var/tmp | /var/tmp/*) needs_host_tmp=yes ;; esac
  done

  lines+=("# Written by RegisterStavioService.sh from the service's settings;")
  lines+=("# run it again after changing the log, server or PMS folders.")
  # A PMS database on this machine (or an SQLite file) starts before the
  # service when both start; the service does not require it.
  if [[ $pms == /* ]] || pms_is_local "$pms"; then
    lines+=("[Unit]" "After=mariadb.service mysql.service" "")
  fi
  lines+=("[Service]" "ReadWritePaths=${words[*]}")
  # A private /tmp would hide those folders from the service.
  if [ "$needs_host_tmp" = yes ]; then lines+=("PrivateTmp=no"); fi

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
