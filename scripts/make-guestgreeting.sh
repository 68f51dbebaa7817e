#!/usr/bin/env bash
# Makes service/guestgreeting.wav, the greeting every new guest's mailbox
# starts with: a spoken text as 8 kHz, 16-bit, mono PCM. The WAV is kept in
# the repository, so the build never runs this; run it again only to change
# the greeting. Installs espeak-ng and sox when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

TEXT="Thank you for calling. The guest in this room is not available right now. Please leave a message after the tone."
OUT=service/guestgreeting.wav

missing=()
for p in espeak-ng sox; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
espeak-ng -v en-us -s 150 -w "$tmp/voice.wav" "$TEXT"
# Telephone quality, a little quieter than full scale, a short pause at each end.
sox "$tmp/voice.wav" -r 8000 -b 16 -c 1 -e signed-integer "$OUT" norm -3 pad 0.3 0.5
soxi "$OUT"
