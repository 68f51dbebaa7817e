#!/usr/bin/env bash
# The package on a real systemd: a clean Debian 12 root (mmdebstrap, from
# Debian's packages; the base is kept between runs in CACHE), booted with
# systemd-nspawn -b, where inside.sh installs the package with apt, uses it
# as a member of the administrators' group, and purges it again.
#
#   system_test.sh PACKAGE-FOLDER CACHE
# Needs root, mmdebstrap and systemd-nspawn; without them it skips (exit 77),
# except under CI=true, where that is a failure.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(realpath "${1:?package folder}")
cache=$(realpath -m "${2:?cache folder}")
fail() { echo "FAIL: $*" >&2; exit 1; }
skip() {
  if [ "${CI:-}" = true ]; then fail "cannot run: $*"; fi
  echo "SKIP: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "needs root"
for program in mmdebstrap systemd-nspawn nsenter; do
  command -v "$program" >/dev/null || skip "needs $program"
done
deb="$out/stavio.deb"
[ -f "$deb" ] || fail "no package in $out"

# The base: the system's own packages and what the package depends on, so
# that apt installs it without a mirror. Made again when that list changes.
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed -E 's/\(.*\)//; s/\|.*//; s/[[:space:]]//g' | grep . | sort -u | paste -sd,)
include=$(printf '%s\n' systemd systemd-sysv dbus polkitd adduser ${depends//,/ } | sort -u | paste -sd,)
base="$cache/base-$(printf '%s' "$include" | sha256sum | cut -c1-16).tar"
if [ ! -f "$base" ]; then
  mkdir -p "$cache"
  rm -f "$cache"/base-*.tar
  echo "system: making the Debian 12 base ($include)"
  # mmdebstrap tells a tarball from a folder by the name's ending.
  mmdebstrap --variant=minbase --include="$include" bookworm "$cache/making.tar" >"$cache/mmdebstrap.log" 2>&1 ||
    fail "mmdebstrap: $(tail -5 "$cache/mmdebstrap.log")"
  mv "$cache/making.tar" "$base"
fi

root=$(mktemp -d "$cache/root.XXXXXX")
nspawn=""
cleanup() {
  if [ -n "$nspawn" ] && kill -0 "$nspawn" 2>/dev/null; then
    # Our own systemd-nspawn (its pid from starting it): ended, and waited for.
    kill -TERM "$nspawn" 2>/dev/null || true
    wait "$nspawn" 2>/dev/null || true
  fi
  rm -rf "$root"
}
trap cleanup EXIT
tar -C "$root" -xf "$base"
cp "$deb" "$root/stavio.deb"
cp "$here/inside.sh" "$root/inside.sh"

systemd-nspawn -q --register=no --keep-unit -D "$root" -b >"$cache/boot.log" 2>&1 </dev/null &
nspawn=$!
# The container's init: the systemd whose parent is our systemd-nspawn.
leader=""
for ((i = 0; i < 100; i++)); do
  for child in $(pgrep -P "$nspawn" 2>/dev/null || true); do
    if [ "$(cat "/proc/$child/comm" 2>/dev/null)" = systemd ]; then leader=$child; fi
  done
  [ -n "$leader" ] && break
  sleep 0.2
done
[ -n "$leader" ] || fail "the root did not boot: $(tail -5 "$cache/boot.log")"

status=0
nsenter --target "$leader" --mount --uts --ipc --net --pid -- \
  /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 TZ=UTC /bin/bash /inside.sh || status=$?
nsenter --target "$leader" --mount --uts --ipc --net --pid -- /usr/bin/systemctl poweroff >/dev/null 2>&1 || true
for ((i = 0; i < 100; i++)); do kill -0 "$nspawn" 2>/dev/null || break; sleep 0.2; done
[ "$status" -eq 0 ] || fail "inside the booted root (exit $status)"
echo "system test: ok"
