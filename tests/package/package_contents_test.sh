#!/usr/bin/env bash
# The package holds the install folder in /opt/stavio, links the commands
# into /usr/bin, brings the registry store's folder, the desktop entry with its
# icon, depends on the libraries and database drivers the programs load, and
# lintian finds no error in it.
#
#   package_contents_test.sh OUT "PROGRAMS" "COMMANDS" COMPLETION
# OUT as build_package.sh left it; PROGRAMS the programs of the install
# folder; COMMANDS those linked into /usr/bin; COMPLETION "yes" when the
# command-line tool's completion file exists.
set -euo pipefail
out=$(realpath "${1:?package folder}")
read -r -a programs <<<"${2:?programs}"
read -r -a commands <<<"${3:?commands}"
completion=${4:?yes or no}
root="$out/root"
fail() { echo "FAIL: $*" >&2; exit 1; }

for program in "${programs[@]}"; do
  [ -x "$root/opt/stavio/$program" ] || fail "no program /opt/stavio/$program"
done
for file in libOrvantaVoxarenStavio.so libstavio_com.so RegisterStavioService.sh UnregisterStavioService.sh \
            myODBCDriver.sh VoxarenStavioAdmin.htm VoxarenStavioAdmin_DEU.lng guestgreeting.wav; do
  [ -f "$root/opt/stavio/$file" ] || fail "no /opt/stavio/$file"
done
# Programs find their libraries beside themselves.
# Each tool's output is read whole before it is searched: `grep -q` in a pipe
# ends at its first match, and under `pipefail` the writer's SIGPIPE would
# fail the check now and then, as the machine's load decides.
dynamic=$(readelf -d "$root/opt/stavio/Vesselrun")
grep -q 'R.*PATH.*\[\$ORIGIN\]' <<<"$dynamic" || fail "Vesselrun has no \$ORIGIN run path"

for command in "${commands[@]}"; do
  link="$root/usr/bin/$command"
  [ -L "$link" ] || fail "no link /usr/bin/$command"
  [ "$(readlink "$link")" = "/opt/stavio/$command" ] || fail "/usr/bin/$command points at $(readlink "$link")"
done
linked=$(cd "$root/usr/bin" && ls | sort | tr '\n' ' ')
[ "$linked" = "$(printf '%s\n' "${commands[@]}" | sort | tr '\n' ' ')" ] || fail "/usr/bin holds $linked"

[ -d "$root/var/lib/stavio" ] || fail "no /var/lib/stavio"
desktop="$root/usr/share/applications/stavio-admin.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$root$exec_line" ] || fail "the desktop entry starts $exec_line, which the package does not hold"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon $icon"
if [ "$completion" = yes ]; then
  [ -f "$root/usr/share/bash-completion/completions/stavioctl" ] || fail "no completion for stavioctl"
  shipped=$(find "$root" -path '*bash-completion/completions/stavioctl' | wc -l)
  [ "$shipped" -eq 1 ] || fail "the completion is shipped $shipped times"
fi

depends=$(dpkg-deb -f "$out/stavio.deb" Depends)
for package in libqt6sql6-mysql libqt6sql6-sqlite libqt6core6 libqt6sql6 libqt6widgets6 libsystemd0 libsqlite3-0; do
  grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "no dependency on $package: $depends"
done
control=$(dpkg-deb --ctrl-tarfile "$out/stavio.deb" | tar -t)
for script in postinst prerm postrm; do
  grep -qx "./$script" <<<"$control" || fail "no $script"
done

# Errors only: the informational tags (no bind-now, .comment sections) are
# the build's, not the package's.
said=$(lintian --tag-display-limit 0 "$out/stavio.deb" 2>&1 | grep -v '^running with root privileges') || true
if grep -q '^E:' <<<"$said"; then fail "lintian: $said"; fi
echo "$said"
echo "package contents: ok"
