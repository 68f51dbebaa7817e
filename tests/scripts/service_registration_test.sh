#!/usr/bin/env bash
# RegisterStavioService.sh, run from the folder of the built programs, installs
# a unit and a drop-in that systemd-analyze verify accepts without a word; the
# drop-in's sandbox and account do not depend on the settings.
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
export STAVIO_SERVICE_ACCOUNT=stavio-tests-name-no-account
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
# The same sandbox whatever the settings: no writable paths of its own, the
# account's permissions decide; ordered after a local database, never requiring one.
grep -q '^ReadWritePaths=' "$dropin" && fail "the drop-in fixes writable folders: $(cat "$dropin")"
grep -qxF 'ProtectSystem=full' "$dropin" || fail "no sandbox: $(cat "$dropin")"
grep -qxF 'WatchdogSec=300' "$dropin" || fail "no watchdog: $(cat "$dropin")"
grep -qxF 'After=mariadb.service mysql.service' "$dropin" || fail "not ordered after the database: $(cat "$dropin")"
grep -q '^Requires=\|^Wants=mariadb' "$dropin" && fail "the database is a requirement: $(cat "$dropin")"
# No service account on this machine (the tests name none): the service runs as root.
grep -q '^User=' "$dropin" && fail "an account that does not exist: $(cat "$dropin")"
verify
"$bin/stavio-reg" get 'SOFTWARE\Classes\OrvantaVoxarenStavio.Stavio' InprocServer32 >/dev/null || fail "the plug-in is not registered"

# Again: the same files, nothing added.
before=$(cat "$unit" "$dropin")
dropin_before=$(cat "$dropin")
register
[ "$before" = "$(cat "$unit" "$dropin")" ] || fail "a second registration changed the unit or drop-in"
[ "$(ls "$VESSELRUN_UNIT_DIR/OrvantaVoxarenStavio.service.d")" = stavio.conf ] || fail "more than the drop-in: $(ls "$VESSELRUN_UNIT_DIR"/*.d)"

# Other settings leave the drop-in as it is; an existing account runs the service.
"$bin/stavio-reg" set "$key" 'Path to Logs' sz "$work/100% logs/"
STAVIO_SERVICE_ACCOUNT=nobody register
[ "$(grep -v '^User=\|^Group=' "$dropin")" = "$dropin_before" ] || fail "a folder setting changed the drop-in: $(cat "$dropin")"
grep -qxF 'User=nobody' "$dropin" && grep -qxF 'Group=stavio-admin' "$dropin" || fail "no account: $(cat "$dropin")"
# systemd's own rating of the sandbox: an exposure of 3.0 at most.
rating=$(cd "$VESSELRUN_UNIT_DIR" && SYSTEMD_UNIT_PATH="$VESSELRUN_UNIT_DIR:" \
         systemd-analyze security --offline=true OrvantaVoxarenStavio.service 2>&1 | grep 'Overall exposure level') ||
  fail "no security rating"
exposure=$(sed -E 's/.*: ([0-9]+\.[0-9]).*/\1/' <<<"$rating")
awk -v e="$exposure" 'BEGIN { exit !(e <= 3.0) }' || fail "exposure $exposure: $rating"
echo "systemd-analyze security: exposure $exposure"

# Removal, twice.
"$bin/UnregisterStavioService.sh" >"$work/out" 2>&1 || fail "unregistration failed: $(cat "$work/out")"
[ ! -e "$unit" ] || fail "the unit is left"
[ ! -e "$VESSELRUN_UNIT_DIR/OrvantaVoxarenStavio.service.d" ] || fail "the drop-in is left"
if "$bin/stavio-reg" get 'SOFTWARE\Classes\OrvantaVoxarenStavio.Stavio' InprocServer32 >/dev/null 2>&1; then
  fail "the plug-in is still registered"
fi
"$bin/UnregisterStavioService.sh" >"$work/out" 2>&1 || fail "a second unregistration failed: $(cat "$work/out")"
echo "service registration: ok"
