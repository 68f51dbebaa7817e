#!/usr/bin/env bash
# A hotel's day on the embedded default: a registry store, an SQLite PMS table
# and the voice-messaging server stand-in in a temporary folder, the service
# run by Vesselrun with its timers twenty times faster (STAVIO_TIMER_SCALE,
# a demonstration aid), and the PMS gateway stand-in checking guests in,
# moving, swapping, renaming and checking them out while the diagnostic log
# is shown as it grows. A short summary ends the day.
#
# Without DEMO_SECONDS the service keeps running after the day until Ctrl-C;
# DEMO_SECONDS=N ends the whole demonstration after N seconds at the latest.
# On a fresh clone it runs scripts/setup.sh first (packages and the build);
# STAVIO_BIN names another folder of built programs instead. Nothing of the
# demonstration is left running when it ends or is interrupted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${STAVIO_BIN:-"$root/build/bin"}
if [ ! -x "$bin/Vesselrun" ] || [ ! -f "$bin/libOrvantaVoxarenStavio.so" ]; then
  if [ -n "${STAVIO_BIN:-}" ]; then
    echo "demo: STAVIO_BIN=$STAVIO_BIN holds no built Vesselrun and control" >&2
    exit 1
  fi
  "$root/scripts/setup.sh"
fi
export STAVIO_BIN="$bin"   # for embedded-env.sh

dir=$(mktemp -d /tmp/stavio-demo.XXXXXX)
echo "demo folder: $dir"
"$root/scripts/embedded-env.sh" "$dir" >/dev/null
export STAVIO_REGISTRY="$dir/registry.db"
export STAVIO_EVENTLOG_FILE="$dir/eventlog.jsonl"
export VESSELRUN_STATE_DIR="$dir/run"
export STAVIO_PTCE_SERVER="$dir/ptceDB.sqlite"
export STAVIO_TIMER_SCALE=0.05   # a sweep every 3 s, a lamp sweep every 15 s
"$bin/stavio-reg" set 'Software\Brightkeel\Stavio' 'Debug Mode' dword 0   # the story, not every step

ptce() { "$bin/ptce-sim" "$@"; }
voxaren() { "$bin/voxaren-sim" "$@"; }
# Bold headings on a terminal, plain text into a file or a pipe.
if [ -t 1 ]; then
  say() { printf '\n\033[1m>>> %s\033[0m\n' "$*"; }
else
  say() { printf '\n>>> %s\n' "$*"; }
fi

"$bin/Vesselrun" progid=OrvantaVoxarenStavio.Stavio &
service=$!
viewer=""
timer=""
# The log viewer is a pipeline: its tail and grep go with it.
stop_viewer() {
  if [ -n "$viewer" ]; then
    pkill -P "$viewer" 2>/dev/null || true
    kill "$viewer" 2>/dev/null || true
    wait "$viewer" 2>/dev/null || true
  fi
  viewer=""
}
stop() {
  # The timer and the viewer are this shell's own children, still waited for.
  if [ -n "$timer" ]; then
    kill "$timer" 2>/dev/null || true
    wait "$timer" 2>/dev/null || true
  fi
  kill -TERM "$service" 2>/dev/null || true
  wait "$service" 2>/dev/null || true
  stop_viewer
  echo
  echo "service stopped; state: $(tr '\n' ' ' <"$dir/run/OrvantaVoxarenStavio.Stavio.state" 2>/dev/null)"
  echo "diagnostic logs: $dir/logs   event log: $dir/eventlog.jsonl"
}
trap stop EXIT
if [ -n "${DEMO_SECONDS:-}" ]; then
  # The timer signals the demo only while the demo is still its parent: a
  # demo that was killed outright leaves no timer to signal a stranger.
  demo=$$
  (
    trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
    sleep "$DEMO_SECONDS" &
    sleeper=$!
    wait "$sleeper"
    me=$BASHPID   # this subshell (inside $(...) BASHPID would name that one)
    [ "$(awk '{print $4}' "/proc/$me/stat")" = "$demo" ] && kill -TERM "$demo" 2>/dev/null
  ) &
  timer=$!
  trap 'timer=""; echo; echo "DEMO_SECONDS reached"; exit 0' TERM
fi

# The service names its log file in the registry store once it has started it.
log=""
for _ in $(seq 1 100); do
  log=$("$bin/stavio-reg" get 'Software\Brightkeel\Stavio' CurrentLogFile 2>/dev/null || true)
  [ -n "$log" ] && [ -f "$log" ] && break
  kill -0 "$service" 2>/dev/null || { echo "the service did not start" >&2; exit 1; }
  sleep 0.1
done
echo "diagnostic log: $log (shown without the sweeps' start and end lines)"
show_log() { tail -n "$1" -f "$log" | grep --line-buffered -v -e ',1011,SYNC_START,' -e ',1012,SYNC_FINISHED,' \
  -e ',1021,MWI_SYNC_START,' -e ',1022,MWI_SYNC_FINISHED,'; }
show_log +1 &
viewer=$!

# The log's lines so far: what the next step waits for comes after them.
seen=0
mark() { seen=$(wc -l <"$log"); }
# Waits until the log shows `text` after the mark (at most a minute).
await() {
  for _ in $(seq 1 600); do
    tail -n +"$((seen + 1))" "$log" | grep -qF -- "$1" && return 0
    sleep 0.1
  done
  echo "(no \"$1\" in the log after a minute)" >&2
}
# A column of the PMS table's CSV (without its CR LF line ends), for room $1.
column() { ptce show "$1" --csv | tr -d '\r' | awk -F, -v want="$2" 'NR==1 {for (i=1;i<=NF;i++) if ($i==want) c=i} NR==2 {print $c}'; }
# Waits until room $1's UnreadMsgCount is $2 (at most a minute).
await_lamp() {
  for _ in $(seq 1 600); do
    [ "$(column "$1" UnreadMsgCount)" = "$2" ] && return 0
    sleep 0.1
  done
  echo "(room $1's lamp did not turn $2)" >&2
}

await "service started"
mark; say "Morning: four guests check in (one name with an apostrophe, two with accents)"
ptce checkin 101 --first "Siobhán" --last "O'Brien" --lang 6
ptce checkin 102 --first "Zoë" --last "Müller" --lang 10
ptce checkin 103 --first Ann --last Lee
ptce checkin 104 --first Bo --last Ek --ext2 2104
await "New mailbox created for Bo Ek"

mark; say "Ann Lee moves from 103 to 105"
ptce move 103 105
await "Room move completed"

mark; say "The guests of 101 and 102 swap rooms"
ptce swap 101 102
await "Room swap completed"

mark; say "Bo Ek's name is corrected; the guest in 105 wants German"
ptce rename 104 --first Bo --last "Ekström"
ptce lang 105 10
await "Updating subscriber in room: 105"

say "A caller leaves a voice message for room 102: its lamp goes on at the next lamp sweep"
voxaren leave-message 102 --from "Front Desk"
await_lamp 102 1
echo "PMS table, room 102: UnreadMsgCount $(column 102 UnreadMsgCount)"
say "The guest in 102 hears it: the lamp goes out"
voxaren read-messages 102 >/dev/null
await_lamp 102 0
echo "PMS table, room 102: UnreadMsgCount $(column 102 UnreadMsgCount)"

mark; say "Evening: 104 and 105 check out (their mailboxes are archived)"
ptce checkout 104
ptce checkout 105
await "CHECK_OUT,105,,Mailbox checked out"
mark; await "Syncronization sweep complete"
stop_viewer

say "Summary"
echo "Guests on the voice-messaging server:"
voxaren guests
echo
echo "Lamps in the PMS table (occupied rooms):"
ptce show --csv | tr -d '\r' | awk -F, 'NR==1 {for (i=1;i<=NF;i++) {if ($i=="roomno") r=i; if ($i=="OccStatus") o=i; if ($i=="UnreadMsgCount") u=i}; next}
                          $o=="1" {printf "  room %s: UnreadMsgCount %s\n", $r, $u}'
echo
echo "Archived mailboxes: $(voxaren guests | grep -c 'OUT_ROOM' || true)"

# What an administrator looks at after a day.
say "stavioctl status"
"$bin/stavioctl" status || true
say "stavioctl guests"
"$bin/stavioctl" guests || true
say "stavio-audit: the PMS table and the server agree"
"$bin/stavio-audit" || true

if [ -z "${DEMO_SECONDS:-}" ]; then
  echo
  echo "The service keeps running (Ctrl-C stops it); try: STAVIO_REGISTRY=$STAVIO_REGISTRY $bin/ptce-sim --server $STAVIO_PTCE_SERVER checkin 110 --first Your --last Name"
  show_log 0 &
  viewer=$!
  wait "$service"
fi
