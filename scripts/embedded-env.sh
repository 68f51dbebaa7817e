#!/usr/bin/env bash
# Sets up a complete embedded environment in a folder: a registry store, the
# voice-messaging server stand-in, an SQLite PMS table, the settings as the
# administration saves them (diagnostic logging on, and the server's own
# DefaultTemplate, since no administration has built the guest template here),
# and the control's plug-in registered.
# Programs find it through STAVIO_REGISTRY=DIR/registry.db.
#
#   scripts/embedded-env.sh DIR [FIRST-LAST]     rooms default to 101-120
set -euo pipefail
dir=$(realpath -m "${1:?folder}")
rooms=${2:-101-120}
bin=${STAVIO_BIN:-"$(cd "$(dirname "$0")/.." && pwd)/build/bin"}

mkdir -p "$dir/logs"
export STAVIO_REGISTRY="$dir/registry.db"

"$bin/voxaren-sim" init --db "$dir/voxaren/VoxarenDb.sqlite" >/dev/null
"$bin/ptce-sim" --server "$dir/ptceDB.sqlite" init --rooms "$rooms" >/dev/null

key='Software\Brightkeel\Stavio'
set_sz() { "$bin/stavio-reg" set "$key" "$1" sz "$2"; }
set_dword() { "$bin/stavio-reg" set "$key" "$1" dword "$2"; }
set_sz 'Precipia Server Name' "$dir/ptceDB.sqlite"
set_sz 'Path to Logs' "$dir/logs/"
set_sz 'Subscriber Template Alias' 'DefaultTemplate'
set_dword 'Log Retention Days' 14
set_dword 'Mailbox Archive Days' 7
set_dword 'Syncronization Cycle Minutes' 1
set_dword 'Debug Mode' 1
set_sz 'Log Sweep Start Time' '1/1/2000 3:00:00 AM'
set_sz 'Log Sweep Stop Time' '1/1/2000 4:00:00 AM'
set_sz 'Archive Mailbox Start Time' '1/1/2000 2:00:00 AM'
set_sz 'Archive Mailbox Stop Time' '1/1/2000 4:00:00 AM'
set_dword 'Use Room Number As Password' 0
set_dword 'Send Welcome Message' 0
set_sz 'Welcome Message WAV File Path' ''
set_dword 'Skip Password From Room' 0

"$bin/regsvr" "$bin/libOrvantaVoxarenStavio.so"
