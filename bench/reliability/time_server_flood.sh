#!/usr/bin/env bash
# A time server on 127.0.0.1:37 that streams without end, and the real
# program pointed at it: VmRSS once a second for DURATION seconds, then
# SIGTERM, which must end the program. Runs as root (port 37 is privileged);
# everything lives in a temporary folder that is removed afterwards. The
# serial ports are links to nowhere, so no device is opened, and the server
# never sends a four-byte answer, so the machine's clock is never set.
#   bench/reliability/time_server_flood.sh [PROGRAM] [DURATION]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../../build/vorlink}
duration=${2:-20}
stop_wait=10

if [[ $(id -u) -ne 0 ]]; then
  echo "needs root to listen on port 37" >&2
  exit 2
fi
if [[ ! -x $program ]]; then
  echo "no program at $program (build the vorlink target first)" >&2
  exit 2
fi

work=$(mktemp -d /tmp/vorlink-flood.XXXXXX)
server_pid=
program_pid=
cleanup() {
  [[ -n $program_pid ]] && kill -KILL "$program_pid" 2>/dev/null || true
  [[ -n $server_pid ]] && kill -TERM "$server_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The program folder holds the captures: a copy of the program keeps them here.
cp "$program" "$work/vorlink"
ln -s "$work/no-such-device-1" "$work/COM1"
ln -s "$work/no-such-device-2" "$work/COM2"
printf '01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n' >"$work/vorlink.ini"

python3 - "$work/server.log" <<'PY' &
import socket, sys, time
log = open(sys.argv[1], "w", buffering=1)
chunk = b"\x5a" * 65536
server = socket.create_server(("127.0.0.1", 37), reuse_port=False)
log.write("listening\n")
while True:
    peer, _ = server.accept()
    sent, start = 0, time.monotonic()
    try:
        while True:
            sent += peer.send(chunk)
    except OSError as error:
        log.write(f"connection ended after {sent} bytes in {time.monotonic() - start:.2f} s: {error}\n")
    finally:
        peer.close()
PY
server_pid=$!
for _ in $(seq 50); do
  grep -q listening "$work/server.log" 2>/dev/null && break
  sleep 0.1
done

cd "$work"
QT_QPA_PLATFORM=offscreen ./vorlink >"$work/program.out" 2>&1 &
program_pid=$!

echo "second VmRSS(kB)"
for s in $(seq 1 "$duration"); do
  sleep 1
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$program_pid/status" 2>/dev/null || echo gone)
  echo "$s $rss"
done
peak=$(awk '/^VmHWM/ {print $2}' "/proc/$program_pid/status" 2>/dev/null || echo gone)
echo "peak VmHWM: $peak kB"

kill -TERM "$program_pid"
stopped=no
for tenth in $(seq 1 $((stop_wait * 10))); do
  if ! kill -0 "$program_pid" 2>/dev/null; then
    stopped=yes
    break
  fi
  sleep 0.1
done
if [[ $stopped == yes ]]; then
  status=0
  wait "$program_pid" || status=$?
  echo "SIGTERM: stopped within $(awk "BEGIN {print $tenth / 10}") s, exit status $status"
  program_pid=
else
  echo "SIGTERM: still running after $stop_wait s"
fi
echo "server:"
sed 's/^/  /' "$work/server.log"
