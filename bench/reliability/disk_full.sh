#!/usr/bin/env bash
# The real program on a full disk: VORLINK runs with its program folder and
# working folder on a 256 KiB tmpfs, fed by the simulated TNC at 115200 baud
# until the disk fills, then room is made once so that writing resumes and
# the disk fills again. Afterwards the .kss must hold whole frames only:
# every frame a time frame followed by one frame of the sample capture.
#
# Run as root from anywhere, after building vorlink, vorlink-sim-tnc and
# vorlink-decode:  bench/reliability/disk_full.sh [SECONDS_AFTER_FULL]
# No network: the program runs in a network namespace of its own, so it
# cannot reach a time server (and so never sets the clock).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
after_full=${1:-10}
program=$root/build/vorlink
sim=$root/build/tools/vorlink-sim-tnc
decode=$root/build/tools/vorlink-decode
sample=$root/samples/sample.kss
for tool in "$program" "$sim" "$decode"; do
  [ -x "$tool" ] || { echo "missing $tool: build it first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/vorlink-disk-full.XXXXXX)
station=$work/station
mkdir "$station"
vorlink_pid=
sim_pid=
cleanup() {
  [ -n "$vorlink_pid" ] && kill "$vorlink_pid" 2>/dev/null && wait "$vorlink_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  mountpoint -q "$station/vorlink" 2>/dev/null && umount "$station/vorlink"
  mountpoint -q "$station" && umount "$station"
  rm -rf "$work"
}
trap cleanup EXIT

mount -t tmpfs -o size=256k tmpfs "$station"
# The program folder is the one holding the executable: bound in, it takes no room.
touch "$station/vorlink"
mount --bind "$program" "$station/vorlink"
cp "$root/samples/tnc_init.txt" "$root/samples/tnc_exit.txt" "$station/"
printf '01,115200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n' > "$station/vorlink.ini"
# Removed once the disk is full, to see writing resume.
head -c 32768 /dev/zero > "$station/filler"

"$sim" --baud 115200 --gap 0 "$station/COM1" "$sample" &
sim_pid=$!
for _ in $(seq 50); do [ -e "$station/COM1" ] && break; sleep 0.1; done

(cd "$station" && exec unshare -n env QT_QPA_PLATFORM=offscreen ./vorlink) \
  >"$work/vorlink.out" 2>&1 &
vorlink_pid=$!

free_bytes() { df -B1 --output=avail "$station" | tail -1 | tr -d ' '; }
kss_size() { stat -c %s "$station"/*.kss 2>/dev/null || echo 0; }
wait_full() {
  local start=$SECONDS
  while [ "$(free_bytes)" -gt 4096 ] && [ $((SECONDS - start)) -lt 120 ]; do sleep 0.5; done
  echo "disk full after $((SECONDS - start)) s: .kss $(kss_size) bytes"
}
wait_full
sleep "$after_full"
echo "paused for ${after_full} s: .kss $(kss_size) bytes"
rm "$station/filler"
echo "32 KiB freed"
wait_full
sleep "$after_full"
echo "paused for ${after_full} s: .kss $(kss_size) bytes"

kill -TERM "$vorlink_pid"
wait "$vorlink_pid" || true
vorlink_pid=
kss=$(ls "$station"/*.kss)
cp "$kss" "$work/capture.kss"
ls -l "$station" | sed 's/^/  /'

python3 - "$work/capture.kss" "$sample" <<'PY'
import re, sys
kss = open(sys.argv[1], "rb").read()
sample = open(sys.argv[2], "rb").read()
known = {part for part in sample.split(b"\xc0") if part}
stamp = re.compile(rb"asy: \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} UTC$")
frames, at = [], 0
while at < len(kss):
    if kss[at] != 0xC0:
        sys.exit(f"byte {at}: 0x{kss[at]:02X} where a frame should open")
    end = kss.find(b"\xc0", at + 1)
    if end < 0:
        sys.exit(f"byte {at}: torn frame at the end")
    if end == at + 1:
        sys.exit(f"byte {at}: empty frame")
    frames.append((at, kss[at + 1:end]))
    at = end + 1
for index, (offset, body) in enumerate(frames):
    if index % 2 == 0 and not (body[:1] == b"\x09" and stamp.search(body)):
        sys.exit(f"byte {offset}: frame {index} is not a time frame")
    if index % 2 == 1 and body not in known:
        sys.exit(f"byte {offset}: frame {index} is not a frame of the sample (torn?)")
if len(frames) % 2:
    sys.exit("the last time frame has no frame")
print(f"whole frames only: {len(kss)} bytes, {len(frames) // 2} frames, "
      f"each after its time frame")
PY
echo "vorlink-decode reads $("$decode" "$work/capture.kss" | grep -cE '^\[[0-9]+ Bytes ') frames (time frames included)"
