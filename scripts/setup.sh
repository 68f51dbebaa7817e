#!/usr/bin/env bash
# Installs what the whole system needs to build and run on Debian 12, then
# configures and builds into build/ (or build-sanitize/ with --sanitize).
# Safe to run again: it installs only what is missing and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-mysql
  libgtest-dev libgmock-dev libbenchmark-dev
  libsystemd-dev libsqlite3-dev sqlite3 libmariadb-dev
  mariadb-server mariadb-client
  xvfb xauth xdg-utils fonts-noto-mono
  dpkg-dev file lintian help2man systemd bsdutils
  mmdebstrap systemd-container
)
# dpkg-dev (dpkg-buildflags, dpkg-shlibdeps) and file: the distribution's build flags and the Debian package's dependencies;
# help2man: the manual pages, made from the programs' help;
# lintian and systemd (systemd-analyze verify): the package's and the unit's tests;
# bsdutils (script): a terminal for the host's messages; mmdebstrap and
# systemd-container (systemd-nspawn): the system test's Debian root on a real systemd;
# fonts-noto-mono: a monospaced font without the spacing property, as common
# desktops install it, so the GUI tests show they do not depend on that property.

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

BUILD_DIR=build
CMAKE_ARGS=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  BUILD_DIR=build-sanitize
  CMAKE_ARGS=(-G Ninja -DCMAKE_BUILD_TYPE=Debug -DSTAVIO_SANITIZE=ON)
fi

# CI (and anyone who sets STAVIO_WERROR=ON) builds with warnings as errors.
if [ -n "${STAVIO_WERROR:-}" ]; then CMAKE_ARGS+=(-DSTAVIO_WERROR="$STAVIO_WERROR"); fi

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  cmake -S . -B "$BUILD_DIR" "${CMAKE_ARGS[@]}"
fi
cmake --build "$BUILD_DIR" -j 2

# The control's plug-in is found by its ProgID in the machine's registry store.
if [ "$BUILD_DIR" = build ]; then
  "$BUILD_DIR/bin/regsvr" "$BUILD_DIR/bin/libOrvantaVoxarenStavio.so" ||
    echo "setup: could not register the plug-in in the registry store (run as root, or set STAVIO_REGISTRY)" >&2
fi
