#!/usr/bin/env bash
# Layers point one way: platform <- common <- service/admin/audit, and the
# host knows only the platform. Within the administration, admin/core (no
# widgets) knows nothing of the windows, dialogs and fonts built on it, and
# stavioctl (admin/ctl) is built on admin/core alone. The stand-ins are wired
# in only where a program is put together: the plug-in's factory and the mains
# of the administration, the audit and stavioctl. Prints each include that
# crosses a layer the wrong way and exits 1 when there is one.
#
#   scripts/check-layers.sh [CHECKOUT]     default: this checkout
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# folder | folders it must not include from
rules=(
  "platform/|common/ service/ admin/ host/ sim/"
  "common/|service/ admin/ host/ sim/"
  "host/|common/ service/ admin/ sim/"
  "service/|admin/ host/ sim/"
  "admin/|service/ host/ sim/"
  "audit/|service/ admin/ host/ sim/"
  "admin/core/|admin/windows/ admin/prompt/ admin/localize/ admin/AdminApplication admin/ctl/"
  "admin/ctl/|admin/windows/ admin/prompt/ admin/localize/ admin/AdminApplication"
)
# The places that wire the stand-in into a program.
wiring=(service/Plugin.cpp admin/main.cpp audit/main.cpp admin/ctl/main.cpp)

status=0
for rule in "${rules[@]}"; do
  folder=${rule%%|*}
  for banned in ${rule#*|}; do
    while IFS=: read -r file line text; do
      [ -n "$file" ] || continue
      if [ "$banned" = sim/ ] && printf '%s\n' "${wiring[@]}" | grep -qx "$file"; then continue; fi
      echo "$file:$line: ${text#"${text%%[![:space:]]*}"}  ($folder must not include $banned)"
      status=1
    done < <(git ls-files -- "$folder" | grep -E '\.(cpp|h)$' |
             xargs -r grep -HnE "^[[:space:]]*#[[:space:]]*include[[:space:]]+\"$banned" || true)
  done
done
[ "$status" -eq 0 ] && echo "layers: clean"
exit "$status"
