#!/usr/bin/env bash
# Run inside the booted Debian root by system_test.sh: installs the package
# with apt, administers the system as a member of the administrators' group
# (not root), and removes and purges it again, comparing the file system
# with the one before the installation. Prints one line per step; fails with
# the reason.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "system: $*"; }
unit=OrvantaVoxarenStavio.service
admin=hotel
as_admin() { runuser -u "$admin" -- env HOME="/home/$admin" "$@"; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local seconds=$1 i
  shift
  for ((i = 0; i < seconds * 2; i++)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.5
  done
  return 1
}

# What the file system holds, leaving out what a running system changes by
# itself (logs, caches, the journal, apt's and dpkg's own records) and the
# account databases, which keep the service's account as Debian does.
snapshot() {
  find / -xdev \( -path /proc -o -path /sys -o -path /run -o -path /tmp -o -path /var/tmp -o -path /var/log \
       -o -path /var/cache -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /var/lib/systemd \
       -o -path /var/lib/polkit-1 -o -path /root -o -path /home -o -path /inside.sh -o -path /stavio.deb -o -path /stavio-test \) -prune \
       -o \( -path '/etc/passwd*' -o -path '/etc/group*' -o -path '/etc/shadow*' -o -path '/etc/gshadow*' \
       -o -path '/etc/subuid*' -o -path '/etc/subgid*' -o -path /etc/ld.so.cache \) -prune \
       -o -printf '%p %M %u %g\n' | sort
}

wait_for 60 systemctl is-system-running --wait || true
useradd --create-home --shell /bin/bash "$admin"
mkdir -p /stavio-test  # this test's own files
snapshot >/stavio-test/before.txt

step "apt install ./stavio.deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends /stavio.deb >/stavio-test/apt.log 2>&1 ||
  fail "apt install: $(tail -5 /stavio-test/apt.log)"
getent passwd stavio >/dev/null || fail "no account stavio"
adduser --quiet "$admin" stavio-admin
[ "$(stat -c '%U:%G %a' /var/lib/stavio)" = "stavio:stavio-admin 2770" ] || fail "/var/lib/stavio: $(stat -c '%U:%G %a' /var/lib/stavio)"
[ "$(stat -c '%a' /var/lib/stavio/registry.db)" = 660 ] || fail "registry store: $(ls -l /var/lib/stavio)"

step "configured by $admin with stavioctl"
cd /tmp
as_admin /opt/stavio/voxaren-sim --db /var/lib/stavio/voxaren/VoxarenDb.sqlite init >/dev/null
as_admin /opt/stavio/ptce-sim --server /var/lib/stavio/ptceDB.sqlite init --rooms 101-110 >/dev/null
for setting in "Precipia Server Name=/var/lib/stavio/ptceDB.sqlite" "Subscriber Template Alias=DefaultTemplate" \
               "Syncronization Cycle Minutes=1" "Debug Mode=1"; do
  as_admin stavioctl settings set "${setting%%=*}" "${setting#*=}" >/dev/null || fail "stavioctl settings set $setting"
done
# Anyone else may not change them.
if runuser -u nobody -- stavioctl settings set "Debug Mode" 0 >/dev/null 2>&1; then fail "nobody changed a setting"; fi

step "systemctl start as $admin (polkit)"
as_admin systemctl start "$unit" || fail "start: $(systemctl status "$unit" --no-pager | tail -5)"
[ "$(systemctl show -p User --value "$unit")" = stavio ] || fail "the service does not run as stavio"
as_admin /opt/stavio/ptce-sim --server /var/lib/stavio/ptceDB.sqlite checkin 101 --first Anna --last Berg >/dev/null
wait_for 150 sh -c 'runuser -u hotel -- stavioctl guests --csv | grep -q "Anna"' ||
  fail "no mailbox for room 101: $(as_admin stavioctl guests 2>&1 | tail -3); $(journalctl -u "$unit" --no-pager | tail -5);
$(ls -la /var/lib/stavio /var/lib/stavio/voxaren)"
log=$(ls /var/log/stavio/VoxarenStavio_Log_*.TXT | head -1)
[ "$(stat -c '%U:%G' "$log")" = stavio:stavio-admin ] && [ "$(stat -c '%a' "$log")" = 660 ] ||
  fail "log file: $(ls -l "$log")"
if runuser -u nobody -- cat "$log" >/dev/null 2>&1; then fail "nobody reads the log"; fi

step "a new log folder, then a restart"
as_admin stavioctl settings set "Path to Logs" /var/log/stavio/moved/ >/dev/null || fail "Path to Logs refused"
as_admin systemctl restart "$unit"
wait_for 30 sh -c 'ls /var/log/stavio/moved/VoxarenStavio_Log_*.TXT' || fail "no log in the new folder: $(journalctl -u "$unit" --no-pager | tail -5)"
as_admin stavioctl status | grep -q /var/log/stavio/moved/ || fail "status: $(as_admin stavioctl status)"

step "SIGKILL, and systemd restarts it"
pid=$(systemctl show -p MainPID --value "$unit")
[ "$pid" -gt 1 ] && grep -q Vesselrun "/proc/$pid/cmdline" || fail "no service process"
kill -KILL "$pid"
wait_for 60 sh -c "[ \"\$(systemctl show -p NRestarts --value $unit)\" -ge 1 ] && systemctl is-active -q $unit" ||
  fail "not restarted: $(systemctl status "$unit" --no-pager | tail -5)"

step "systemd-analyze security"
rating=$(systemd-analyze security "$unit" 2>&1 | grep 'Overall exposure level')
exposure=$(sed -E 's/.*: ([0-9]+\.[0-9]).*/\1/' <<<"$rating")
echo "system: $rating"
awk -v e="$exposure" 'BEGIN { exit !(e <= 3.0) }' || fail "exposure $exposure"

step "stop, remove, purge"
as_admin systemctl stop "$unit"
# Enabled to start at boot, it stays so through an upgrade (here the same
# version again); removal takes the link away.
systemctl enable -q "$unit"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --reinstall /stavio.deb >>/stavio-test/apt.log 2>&1 || fail "reinstall: $(tail -5 /stavio-test/apt.log)"
systemctl is-enabled -q "$unit" || fail "the upgrade lost the enabling"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -q stavio >>/stavio-test/apt.log 2>&1 || fail "purge: $(tail -5 /stavio-test/apt.log)"
snapshot >/stavio-test/after.txt
diff /stavio-test/before.txt /stavio-test/after.txt >/stavio-test/diff.txt || fail "the file system changed: $(head -20 /stavio-test/diff.txt)"
step "ok"
