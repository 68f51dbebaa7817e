#!/usr/bin/env bash
# A throwaway MariaDB server for the tests: its own data folder under build/,
# 127.0.0.1 on a free port, no systemd. Creates the PMS database and account
# the way a hotel's database administrator would:
#   CREATE DATABASE ptceDB;
#   CREATE USER 'vms'@'localhost' IDENTIFIED BY 'kqt584';   (and 'vms'@'127.0.0.1')
#   GRANT ALL ON ptceDB.* TO 'vms'@'localhost';             (and 'vms'@'127.0.0.1')
#
#   scripts/mariadb.sh start DIR     prints the port on success
#   scripts/mariadb.sh stop DIR
#   scripts/mariadb.sh restart DIR   stops the server and starts it again on
#                                    the same port with the same data
set -euo pipefail

cmd=${1:?start, stop or restart}
dir=$(realpath -m "${2:?data folder}")

admin() { mariadb-admin --no-defaults --socket="$dir/sock" -uroot "$@"; }

# Starts the server on the data and port already in $dir and waits until it answers.
launch() {
  mariadbd --no-defaults --datadir="$dir/data" --socket="$dir/sock" --port="$(cat "$dir/port")" \
    --bind-address=127.0.0.1 --user="$(id -un)" --pid-file="$dir/pid" --log-error="$dir/err" \
    --skip-log-bin --character-set-server=utf8mb4 </dev/null >/dev/null 2>&1 &
  for _ in $(seq 1 100); do
    admin ping >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "mariadb did not start; see $dir/err" >&2
  exit 1
}

case "$cmd" in
start)
  if [ -S "$dir/sock" ] && admin ping >/dev/null 2>&1; then
    cat "$dir/port"; exit 0
  fi
  rm -rf "$dir"; mkdir -p "$dir"
  mariadb-install-db --no-defaults --datadir="$dir/data" --user="$(id -un)" \
    --auth-root-authentication-method=normal --skip-test-db >"$dir/install.log" 2>&1
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' >"$dir/port"
  launch
  mariadb --no-defaults --socket="$dir/sock" -uroot <<'SQL'
CREATE DATABASE IF NOT EXISTS ptceDB CHARACTER SET utf8mb4;
CREATE USER IF NOT EXISTS 'vms'@'localhost' IDENTIFIED BY 'kqt584';
CREATE USER IF NOT EXISTS 'vms'@'127.0.0.1' IDENTIFIED BY 'kqt584';
GRANT ALL ON ptceDB.* TO 'vms'@'localhost';
GRANT ALL ON ptceDB.* TO 'vms'@'127.0.0.1';
FLUSH PRIVILEGES;
SQL
  cat "$dir/port"
  ;;
stop)
  if [ -S "$dir/sock" ]; then admin shutdown >/dev/null 2>&1 || true; fi
  ;;
restart)
  [ -f "$dir/port" ] && [ -d "$dir/data" ] || { echo "no server data in $dir; start it first" >&2; exit 1; }
  # shutdown returns once the server has removed its pid file.
  if [ -S "$dir/sock" ]; then admin shutdown >/dev/null 2>&1 || true; fi
  launch
  cat "$dir/port"
  ;;
*)
  echo "usage: $0 start|stop|restart DIR" >&2; exit 2
  ;;
esac
