#!/usr/bin/env bash
# The real program under a burst: VORLINK (the Release build) fed FRAMES
# frames (default 200000, 84 bytes each on the line) through a pseudo-
# terminal at the pace of a 10,000,000 baud line (10 bits a byte: one
# megabyte a second). Prints when the feed could have ended, when it did
# (a program that reads too slowly holds the writer up), and how long after
# that the last frame was in the .kss, with the frames that reached it.
#
# Run as root from anywhere, after a Release build in build-release:
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DVORLINK_TESTS=OFF -DVORLINK_BENCH=OFF
#   cmake --build build-release -j 2 --target vorlink
#   bench/reliability/burst_10m.sh [FRAMES]
# No network: the program runs in a network namespace of its own, so it
# cannot reach a time server (and so never sets the clock).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
frames=${1:-200000}
build=${VORLINK_BUILD:-$root/build-release}
program=$build/vorlink
[ -x "$program" ] || { echo "missing $program: build it first" >&2; exit 1; }

work=$(mktemp -d /tmp/vorlink-burst.XXXXXX)
trap 'rm -rf "$work"' EXIT
station=$work/station
mkdir "$station"
# The program folder is the one holding the executable.
cp "$program" "$station/vorlink"
cp "$root/samples/tnc_init.txt" "$root/samples/tnc_exit.txt" "$station/"
printf '01,115200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\nfalse\r\n' > "$station/vorlink.ini"

python3 - "$station" "$frames" <<'PY'
import glob, os, select, signal, subprocess, sys, time, tty

station, count = sys.argv[1], int(sys.argv[2])
BYTES_PER_SECOND = 10_000_000 // 10
FEND = 0xC0

def address(call, last):
    field = bytes(ord(c) << 1 for c in call.ljust(6)) + bytes([0x60])
    return field[:-1] + bytes([field[-1] | (1 if last else 0)])

header = address("APRS", False) + address("N0CALL", True) + bytes([0x03, 0xF0])
LAST = b"LAST-FRAME-OF-THE-BURST"

def frame(n, info=None):
    # 84 bytes on the line: FEND, port 0 data, 81 bytes of AX.25, FEND.
    info = (info or b">burst frame %07d" % n).ljust(65, b".")
    return bytes([FEND, 0x00]) + header + info + bytes([FEND])

feed = b"".join(frame(n) for n in range(count - 1)) + frame(count - 1, LAST)

master, slave = os.openpty()
tty.setraw(slave)
os.set_blocking(master, False)
os.symlink(os.ttyname(slave), os.path.join(station, "COM1"))

# unshare and env exec in turn: the pid is the program's.
proc = subprocess.Popen(["unshare", "-n", "env", "QT_QPA_PLATFORM=offscreen", "./vorlink"],
                        cwd=station, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
def drain():
    try:
        while os.read(master, 65536):
            pass
    except BlockingIOError:
        pass

def kss():
    found = glob.glob(os.path.join(station, "*.kss"))
    return found[0] if found else None

def cpu_seconds():
    with open(f"/proc/{proc.pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

try:
    # Started: its capture is there and the start script came out.
    deadline = time.monotonic() + 20
    while kss() is None and time.monotonic() < deadline:
        time.sleep(0.1)
    if kss() is None:
        sys.exit("the program made no .kss")
    time.sleep(1)
    drain()
    cpu0 = cpu_seconds()

    start = time.monotonic()
    planned_end = start + len(feed) / BYTES_PER_SECOND
    sent = 0
    while sent < len(feed):
        due = min(len(feed), int((time.monotonic() - start) * BYTES_PER_SECOND) + 4096)
        if due > sent:
            try:
                sent += os.write(master, feed[sent:due])
            except BlockingIOError:
                select.select([], [master], [], 0.05)
        else:
            time.sleep(0.002)
        drain()
    fed = time.monotonic()

    name = kss()
    last = None
    deadline = fed + 300
    while time.monotonic() < deadline:
        size = os.path.getsize(name)
        with open(name, "rb") as f:
            f.seek(max(0, size - 4096))
            if LAST in f.read():
                last = time.monotonic()
                break
        time.sleep(0.02)
    cpu = cpu_seconds() - cpu0
    with open(name, "rb") as f:
        captured = f.read().count(b">burst frame ") + (1 if last else 0)
    print(f"fed {count} frames ({len(feed) / 1e6:.1f} MB) at 10,000,000 baud")
    print(f"feed could have ended after {planned_end - start:.1f} s, ended after {fed - start:.1f} s")
    if last is None:
        print("the last frame never reached the .kss (gave up after 300 s)")
    else:
        print(f"last frame in the .kss {last - planned_end:.2f} s after the feed could have ended "
              f"({last - fed:.2f} s after it did)")
    print(f"frames in the .kss: {captured} of {count}; CPU {cpu:.1f} s")
finally:
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(timeout=20)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
    os.close(master)
    os.close(slave)
PY
