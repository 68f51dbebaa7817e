#!/usr/bin/env bash
# RegisterStavioService.sh, run from the folder of the built programs, installs
# a unit and a drop-in that systemd-analyze verify accepts without a word; the
# drop-in lets the service write its log, server and SQLite PMS folders and
# orders it after a database service on this machine, not after one elsewhere.
# Running it twice changes nothing; UnregisterStavioService.sh removes unit,
# drop-in and the plug-in's registration, and succeeds when run again.
#
#   service_registration_test.sh BIN-FOLDER
set -euo pipefail
bin=$(realpath "${1:?folder of the built programs}")
source="$(cd "$(dirname "$0")/../.." && pwd)"
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
env_dir="$work/hotel dir"
STAVIO_BIN="$bin" "$source/scripts/embedded-env.sh" "$env_dir" >/dev/null
export STAVIO_REGISTRY="$env_dir/registry.db"
export VESSELRUN_UNIT_DIR="$work/units"
unset VESSELRUN_STATE_DIR
unit="$VESSELRUN_UNIT_DIR/OrvantaVoxarenStavio.service"
dropin="$VESSELRUN_UNIT_DIR/OrvantaVoxarenStavio.service.d/stavio.conf"
key='Software\Brightkeel\Stavio'

# systemd-analyze verify exits 0 on a setting it ignores, so a clean unit is
# one it says nothing about. It reads the drop-ins of its unit path.
verify() {
  local said
  said=$(cd "$VESSELRUN_UNIT_DIR" && SYSTEMD_UNIT_PATH="$VESSELRUN_UNIT_DIR:" \
         systemd-analyze verify --man=no OrvantaVoxarenStavio.service 2>&1) ||
    fail "systemd-analyze verify failed: $said"
  [ -z "$said" ] || fail "systemd-analyze verify: $said"
}

register() { "$bin/RegisterStavioService.sh" >"$work/out" 2>&1 || fail "registration failed: $(cat "$work/out")"; }

register
[ -f "$unit" ] || fail "no unit"
[ -f "$dropin" ] || fail "no drop-in"
grep -qxF "ExecStart=\"$bin/Vesselrun\" progid=OrvantaVoxarenStavio.Stavio" "$unit" || fail "ExecStart: $(grep ExecStart "$unit")"
# The log folder, the server's root folder and the SQLite PMS table's folder.
expected="ReadWritePaths=\"-$env_dir/logs\" \"-$env_dir/voxaren\" \"-$env_dir\""
grep -qxF "$expected" "$dropin" || fail "expected $expected in: $(cat "$dropin")"
grep -qxF 'After=mariadb.service mysql.service' "$dropin" || fail "an SQLite PMS table is not ordered: $(cat "$dropin")"
grep -q '^Requires=\|^Wants=mariadb' "$dropin" && fail "the database is a requirement: $(cat "$dropin")"
verify
"$bin/stavio-reg" get 'SOFTWARE\Classes\OrvantaVoxarenStavio.Stavio' InprocServer32 >/dev/null || fail "the plug-in is not registered"

# Again: the same files, nothing added.
before=$(cat "$unit" "$dropin")
register
[ "$before" = "$(cat "$unit" "$dropin")" ] || fail "a second registration changed the unit or drop-in"
[ "$(ls "$VESSELRUN_UNIT_DIR/OrvantaVoxarenStavio.service.d")" = stavio.conf ] || fail "more than the drop-in: $(ls "$VESSELRUN_UNIT_DIR"/*.d)"

# A PMS server elsewhere: no ordering; this machine by name: ordered again.
"$bin/stavio-reg" set "$key" 'Precipia Server Name' sz ' pms.example.invalid:3306 '
"$bin/stavio-reg" set "$key" 'Path to Logs' sz "$work/100% logs/"
register
grep -q '^After=' "$dropin" && fail "ordered after a database on another machine: $(cat "$dropin")"
grep -qxF "ReadWritePaths=\"-$work/100%% logs\" \"-$env_dir/voxaren\"" "$dropin" || fail "log folder: $(cat "$dropin")"
[ -d "$work/100% logs" ] || fail "the log folder was not made before the start"
verify
"$bin/stavio-reg" set "$key" 'Precipia Server Name' sz "$(uname -n):3306"
register
grep -qxF 'After=mariadb.service mysql.service' "$dropin" || fail "this machine's name is not ordered: $(cat "$dropin")"

# Removal, twice.
"$bin/UnregisterStavioService.sh" >"$work/out" 2>&1 || fail "unregistration failed: $(cat "$work/out")"
[ ! -e "$unit" ] || fail "the unit is left"
[ ! -e "$VESSELRUN_UNIT_DIR/OrvantaVoxarenStavio.service.d" ] || fail "the drop-in is left"
if "$bin/stavio-reg" get 'SOFTWARE\Classes\OrvantaVoxarenStavio.Stavio' InprocServer32 >/dev/null 2>&1; then
  fail "the plug-in is still registered"
fi
"$bin/UnregisterStavioService.sh" >"$work/out" 2>&1 || fail "a second unregistration failed: $(cat "$work/out")"
echo "service registration: ok"
