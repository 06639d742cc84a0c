#!/usr/bin/env bash
# The real program under a steady load: VORLINK (the Release build) fed by
# the simulated TNC at 115200 baud with no gap between frames, for SECONDS
# (default 180). Samples utime+stime and VmRSS from /proc a little after the
# start and at the end, and prints the CPU used as a share of one core and
# the memory held, with the frames that reached the capture.
#
# Run as root from anywhere, after a Release build in build-release:
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVORLINK_TESTS=OFF -DVORLINK_BENCH=OFF
#   cmake --build build-release -j 2 --target vorlink vorlink-sim-tnc
#   bench/reliability/steady_115200.sh [SECONDS]
# Offscreen unless QT_QPA_PLATFORM says otherwise; on a virtual X server:
#   xvfb-run -a env QT_QPA_PLATFORM=xcb bench/reliability/steady_115200.sh [SECONDS]
# No network: the program runs in a network namespace of its own, so it
# cannot reach a time server (and so never sets the clock).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
seconds=${1:-180}
warm_up=5
platform=${QT_QPA_PLATFORM:-offscreen}
build=${VORLINK_BUILD:-$root/build-release}
program=$build/vorlink
sim=$build/tools/vorlink-sim-tnc
sample=$root/samples/sample.kss
for tool in "$program" "$sim"; do
  [ -x "$tool" ] || { echo "missing $tool: build it first" >&2; exit 1; }
done

work=$(mktemp -d /tmp/vorlink-steady.XXXXXX)
station=$work/station
mkdir "$station"
vorlink_pid=
sim_pid=
cleanup() {
  [ -n "$vorlink_pid" ] && kill "$vorlink_pid" 2>/dev/null && wait "$vorlink_pid" 2>/dev/null
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# The program folder is the one holding the executable.
cp "$program" "$station/vorlink"
cp "$root/samples/tnc_init.txt" "$root/samples/tnc_exit.txt" "$station/"
printf '01,115200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n' > "$station/vorlink.ini"

"$sim" --baud 115200 --gap 0 "$station/COM1" "$sample" &
sim_pid=$!
for _ in $(seq 50); do [ -e "$station/COM1" ] && break; sleep 0.1; done

(cd "$station" && exec unshare -n env QT_QPA_PLATFORM="$platform" ./vorlink) \
  >"$work/vorlink.out" 2>&1 &
vorlink_pid=$!

ticks_per_second=$(getconf CLK_TCK)
# utime + stime in clock ticks (fields 14 and 15; the name in field 2 has no blanks here).
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$vorlink_pid/stat"; }
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$vorlink_pid/status"; }
frames() {
  local kss
  kss=$(ls "$station"/*.kss 2>/dev/null | head -1)
  [ -n "$kss" ] && python3 -c 'import sys; print(open(sys.argv[1], "rb").read().count(b"\xc0") // 2)' "$kss" \
    || echo 0
}
now_ms() { date +%s%3N; }

sleep "$warm_up"
kill -0 "$vorlink_pid"
start_ticks=$(cpu_ticks)
start_rss=$(rss_kib)
start_frames=$(frames)
start_ms=$(now_ms)
echo "measuring $(cat "/proc/$vorlink_pid/comm") (pid $vorlink_pid) for $seconds s"
sleep "$seconds"
kill -0 "$vorlink_pid"
end_ticks=$(cpu_ticks)
end_rss=$(rss_kib)
end_frames=$(frames)
end_ms=$(now_ms)

python3 - "$warm_up" "$start_ticks" "$end_ticks" "$ticks_per_second" "$start_ms" "$end_ms" \
  "$start_rss" "$end_rss" "$start_frames" "$end_frames" <<'PY'
import sys
warm_up, t0, t1, hz, ms0, ms1, rss0, rss1, f0, f1 = map(int, sys.argv[1:])
wall = (ms1 - ms0) / 1000
cpu = (t1 - t0) / hz
print(f"measured over {wall:.1f} s after a {warm_up} s warm-up")
print(f"CPU: {cpu:.2f} s of {wall:.1f} s = {100 * cpu / wall:.2f} % of one core")
print(f"RSS: {rss0 / 1024:.1f} MiB at the start, {rss1 / 1024:.1f} MiB at the end")
print(f"frames in the capture: {f1 - f0} in that time ({(f1 - f0) / wall:.1f} per second, "
      "time frames included)")
PY

kill -TERM "$vorlink_pid"
wait "$vorlink_pid" || true
vorlink_pid=
