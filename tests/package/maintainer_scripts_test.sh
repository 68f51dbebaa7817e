#!/usr/bin/env bash
# dpkg installs the package into a root of its own (the maintainer scripts run
# outside it, as for a new system's installation, where systemd is not PID 1
# either): installing registers the plug-in and installs the unit and its
# drop-in, which systemd-analyze verify accepts without a word; removing the
# package removes them again, purging removes the registry store. Every
# maintainer script succeeds when run a second time.
#
#   maintainer_scripts_test.sh OUT BIN-FOLDER
# OUT as build_package.sh left it; BIN-FOLDER the built programs, whose
# stavio-reg reads the root's registry store once the package is gone.
set -euo pipefail
out=$(realpath "${1:?package folder}")
bin=$(realpath "${2:?folder of the built programs}")
fail() { echo "FAIL: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The libraries are this machine's, not the root's.
dpkg_root() { dpkg --root="$root" --force-script-chrootless --force-depends "$@" >"$root/dpkg.log" 2>&1 ||
                fail "dpkg $*: $(cat "$root/dpkg.log")"; }
script() { DPKG_ROOT="$root" "$root/var/lib/dpkg/info/stavio.$1" "${@:2}" >"$root/script.log" 2>&1 ||
             fail "stavio.$1 $*: $(cat "$root/script.log")"; }
units="$root/etc/systemd/system"
unit="$units/OrvantaVoxarenStavio.service"
dropin="$units/OrvantaVoxarenStavio.service.d/stavio.conf"
reg() { STAVIO_REGISTRY="$root/var/lib/stavio/registry.db" "$bin/stavio-reg" "$@"; }
registered() { reg get 'SOFTWARE\Classes\OrvantaVoxarenStavio.Stavio' InprocServer32 2>/dev/null; }

dpkg_root -i "$out/stavio.deb"
[ -f "$unit" ] || fail "installing wrote no unit"
[ -f "$dropin" ] || fail "installing wrote no drop-in"
[ "$(registered)" = "$root/opt/stavio/libOrvantaVoxarenStavio.so" ] || fail "plug-in registered as '$(registered)'"
grep -qxF "ExecStart=\"$root/opt/stavio/Vesselrun\" progid=OrvantaVoxarenStavio.Stavio" "$unit" ||
  fail "ExecStart: $(grep ExecStart "$unit")"
# Without settings the service logs beside its plug-in: that folder leads to
# /var/log/stavio. The drop-in's sandbox does not depend on the settings.
grep -qxF "WatchdogSec=300" "$dropin" || fail "drop-in: $(cat "$dropin")"
grep -q "^ReadWritePaths=" "$dropin" && fail "the drop-in fixes writable folders: $(cat "$dropin")"
[ "$(readlink "$root/opt/stavio/logs")" = /var/log/stavio ] || fail "logs: $(ls -ld "$root/opt/stavio/logs")"
[ -d "$root/var/log/stavio" ] || fail "no log folder"
said=$(cd "$units" && SYSTEMD_UNIT_PATH="$units:" systemd-analyze verify --man=no OrvantaVoxarenStavio.service 2>&1) ||
  fail "systemd-analyze verify failed: $said"
[ -z "$said" ] || fail "systemd-analyze verify: $said"
echo "systemd-analyze verify: no complaint on the unit and its drop-in"

before=$(cat "$unit" "$dropin")
script postinst configure 1.0.0
[ "$before" = "$(cat "$unit" "$dropin")" ] || fail "configuring again changed the unit"
[ "$(registered)" = "$root/opt/stavio/libOrvantaVoxarenStavio.so" ] || fail "configuring again lost the registration"

# The removal's script by hand first: dpkg's own run is then the second.
script prerm remove
[ ! -e "$unit" ] || fail "prerm left the unit"
dpkg_root -r stavio
[ ! -e "$unit" ] && [ ! -e "$units/OrvantaVoxarenStavio.service.d" ] || fail "removing left the unit or drop-in"
[ ! -e "$root/opt/stavio/Vesselrun" ] || fail "removing left the programs"
[ -z "$(registered)" ] || fail "removing left the plug-in registered"
[ -f "$root/var/lib/stavio/registry.db" ] || fail "removing (not purging) lost the settings"

# dpkg removes the script as it purges; a copy runs again after it.
cp "$root/var/lib/dpkg/info/stavio.postrm" "$root/postrm"
dpkg_root -P stavio
[ ! -e "$root/var/lib/stavio" ] || fail "purging left /var/lib/stavio"
[ ! -e "$root/opt/stavio" ] || fail "purging left /opt/stavio: $(find "$root/opt/stavio")"
[ ! -e "$root/var/log/stavio" ] || fail "purging left /var/log/stavio"
# /opt belongs to the base system: it stays.
[ -d "$root/opt" ] || fail "purging removed /opt"
DPKG_ROOT="$root" "$root/postrm" purge || fail "purging twice failed"
echo "maintainer scripts: ok"
