#!/usr/bin/env bash
# The system at work on the embedded default: a registry store, an SQLite PMS
# table and the voice-messaging server stand-in in a temporary folder, the
# service run by Vesselrun in the foreground, and its diagnostic log shown as
# it grows. Ctrl-C stops the service. DEMO_SECONDS=N stops it after N seconds.
#
# On a fresh clone it runs scripts/setup.sh first (packages and the build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/bin"
if [ ! -x "$bin/Vesselrun" ] || [ ! -f "$bin/libOrvantaVoxarenStavio.so" ]; then
  "$root/scripts/setup.sh"
fi

dir=$(mktemp -d /tmp/stavio-demo.XXXXXX)
echo "demo folder: $dir"
"$root/scripts/embedded-env.sh" "$dir"
export STAVIO_REGISTRY="$dir/registry.db"
export STAVIO_EVENTLOG_FILE="$dir/eventlog.jsonl"
export VESSELRUN_STATE_DIR="$dir/run"

"$bin/Vesselrun" progid=OrvantaVoxarenStavio.Stavio &
service=$!
stop() {
  kill -TERM "$service" 2>/dev/null || true
  wait "$service" 2>/dev/null || true
  [ -n "${viewer:-}" ] && kill "$viewer" 2>/dev/null || true
  echo
  echo "service stopped; state: $(tr '\n' ' ' <"$dir/run/OrvantaVoxarenStavio.Stavio.state" 2>/dev/null)"
  echo "event log: $dir/eventlog.jsonl"
}
trap stop EXIT

# The service names its log file in the registry store once it has started it.
for _ in $(seq 1 100); do
  log=$("$bin/stavio-reg" get 'Software\Brightkeel\Stavio' CurrentLogFile 2>/dev/null || true)
  [ -n "$log" ] && [ -f "$log" ] && break
  kill -0 "$service" 2>/dev/null || { echo "the service did not start" >&2; exit 1; }
  sleep 0.1
done
echo "diagnostic log: $log"
tail -n +1 -f "$log" &
viewer=$!

if [ -n "${DEMO_SECONDS:-}" ]; then
  sleep "$DEMO_SECONDS"
else
  wait "$service"
fi
