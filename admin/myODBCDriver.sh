#!/usr/bin/env bash
# Installs the MySQL database driver the administration program needs to reach
# the Percipia PMS database (Debian's Qt SQL driver for MySQL and MariaDB).
set -euo pipefail
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq libqt6sql6-mysql
