#!/usr/bin/env bash
# The package holds the install folder in /opt/stavio, links the commands
# into /usr/bin with a manual page each (and one for Vesselrun), brings the
# registry store's folder, the desktop entry with its icon, the completion
# once, README.Debian, depends on the libraries and database drivers the
# programs load, and lintian finds no error, warning or hardening tag in it.
#
#   package_contents_test.sh OUT "PROGRAMS" "COMMANDS"
# OUT as build_package.sh left it; PROGRAMS the programs of the install
# folder; COMMANDS those linked into /usr/bin.
set -euo pipefail
out=$(realpath "${1:?package folder}")
read -r -a programs <<<"${2:?programs}"
read -r -a commands <<<"${3:?commands}"
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
[ -f "$root/usr/share/bash-completion/completions/stavioctl" ] || fail "no completion for stavioctl"
shipped=$(find "$root" -path '*bash-completion/completions/stavioctl' | wc -l)
[ "$shipped" -eq 1 ] || fail "the completion is shipped $shipped times"
[ -f "$root/usr/share/doc/stavio/README.Debian" ] || fail "no README.Debian"

# A manual page for every command and for Vesselrun, made from its help: its
# synopsis and its exit statuses are there.
for page in man1/stavioctl.1 man1/stavio-reg.1 man1/stavio-audit.1 man8/Vesselrun.8; do
  file="$root/usr/share/man/$page.gz"
  [ -f "$file" ] || fail "no manual page $page"
  text=$(zcat "$file")
  grep -q '^\.SH "EXIT STATUS"' <<<"$text" || fail "$page has no EXIT STATUS section"
done
for command in "${commands[@]}"; do
  [ -f "$root/usr/share/man/man1/$command.1.gz" ] || fail "/usr/bin/$command has no manual page"
done
grep -q 'stavioctl check' <<<"$(zcat "$root/usr/share/man/man1/stavioctl.1.gz")" || fail "stavioctl(1) lacks the commands' help"

depends=$(dpkg-deb -f "$out/stavio.deb" Depends)
for package in libqt6sql6-mysql libqt6sql6-sqlite libqt6core6 libqt6sql6 libqt6widgets6 libsystemd0 libsqlite3-0; do
  grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "no dependency on $package: $depends"
done
control=$(dpkg-deb --ctrl-tarfile "$out/stavio.deb" | tar -t)
for script in postinst prerm postrm; do
  grep -qx "./$script" <<<"$control" || fail "no $script"
done

# No error or warning, and no hardening tag (those are information only).
said=$(lintian --tag-display-limit 0 "$out/stavio.deb" 2>&1 | grep -v '^running with root privileges') || true
if grep -qE '^(E|W):|hardening' <<<"$said"; then fail "lintian: $said"; fi
echo "$said"
echo "package contents: ok"
