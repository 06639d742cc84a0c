#!/usr/bin/env bash
# Memory of the real program with its KISS server under hostile clients.
# COM1 (the TNC) and COM2 are links to pseudo-terminals in a scratch working
# folder; vorlink.conf switches the server on at a free port of 127.0.0.1
# with clients allowed to transmit.
#   1. One client floods MiB of well-formed data frames while nobody reads
#      the TNC's line: VmRSS, bytes the TNC's line then gives (what the port
#      had queued), and the stall messages logged.
#   2. IDLE clients connect and never read while the TNC sends frames: how
#      many were kept, VmRSS with them, and after all have gone.
# Cleans up after itself.
#
#   bench/reliability/kiss_server_flood.sh [path/to/vorlink] [MiB] [IDLE]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
program="${1:-$here/../../build/vorlink}"
mib="${2:-100}"
idle="${3:-1000}"
[[ -x "$program" ]] || { echo "no program at $program" >&2; exit 2; }

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
# A copy, so that the program folder (captures, scripts) is the scratch folder too.
cp "$program" "$scratch/vorlink"

QT_QPA_PLATFORM=offscreen PYTHONPATH="$here" python3 - "$scratch" "$mib" "$idle" <<'PY'
import glob, os, resource, select, socket, sys, time
from program_harness import link_ptys, no_time_server, start, status, stop

folder, mib, idle = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
no_time_server()

free = socket.socket()
free.bind(("127.0.0.1", 0))
port = free.getsockname()[1]
free.close()

ptys = link_ptys(folder)
tnc = ptys["COM1"][0]

with open(os.path.join(folder, "vorlink.ini"), "wb") as ini:
    ini.write(b"01,9600,N,8,1\r\n127.0.0.1\r\n02,9600,N,8,1\r\nfalse\r\n")
with open(os.path.join(folder, "vorlink.conf"), "w") as conf:
    conf.write(f"[kiss_server]\nenabled=true\nhost=127.0.0.1\nport={port}\nclients_transmit=true\n")

# A data frame with a whole AX.25 UI header and 300 bytes of text.
HEADER = bytes.fromhex("82 84 86 40 40 40 60 B0 B2 B4 40 40 40 6F 03 F0")
FRAME = b"\xc0\x00" + HEADER + b"U" * 300 + b"\xc0"

def drain(fd, quiet=0.5):
    total, last = 0, time.monotonic()
    while time.monotonic() - last < quiet:
        r, _, _ = select.select([fd], [], [], 0.1)
        if r:
            try:
                n = len(os.read(fd, 65536))
            except (BlockingIOError, OSError):
                n = 0
            if n:
                total, last = total + n, time.monotonic()
    return total

def logged(text):
    count = 0
    for path in glob.glob(os.path.join(folder, "vorlink.log*")):
        with open(path, "rb") as f:
            count += sum(1 for line in f if text.encode() in line)
    return count

proc = start(folder)
try:
    drain(tnc)  # the start script
    start_rss = status(proc.pid, "VmRSS")
    print(f"start: VmRSS {start_rss} kB")

    # 1. A flooding client; nobody reads the TNC's line meanwhile.
    client = socket.create_connection(("127.0.0.1", port))
    client.setblocking(False)
    block = FRAME * (65536 // len(FRAME))
    total, sent, peak = mib << 20, 0, 0
    start = time.monotonic()
    while sent < total and time.monotonic() - start < 300:
        select.select([], [client], [], 0.5)
        try:
            sent += client.send(block[: min(len(block), total - sent)])
        except BlockingIOError:
            pass
        peak = max(peak, status(proc.pid, "VmRSS"))
    took = time.monotonic() - start
    time.sleep(1)
    after = status(proc.pid, "VmRSS")
    queued = drain(tnc)
    client.close()
    print(f"flood: {sent / 2**20:.1f} MiB ({sent // len(FRAME)} frames) sent in {took:.1f} s")
    print(f"flood: VmRSS peak {peak} kB, after {after} kB")
    print(f"flood: {queued} bytes ({queued // len(FRAME)} frames) reached the TNC's line once read")
    print(f"flood: stall messages logged: "
          f"{logged('frames from KISS clients dropped, TNC not taking data')}")

    # 2. Idle clients that never read, while the TNC sends frames.
    clients, refused = [], 0
    for _ in range(idle):
        s = socket.socket()
        s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        s.connect(("127.0.0.1", port))
        clients.append(s)
    time.sleep(1)
    kept = []
    for s in clients:
        r, _, _ = select.select([s], [], [], 0)
        if r:
            try:
                gone = s.recv(1, socket.MSG_PEEK) == b""
            except OSError:
                gone = True
            if gone:
                refused += 1
                s.close()
                continue
        kept.append(s)
    frames = FRAME * 200
    tnc_sent, start, peak = 0, time.monotonic(), 0
    while time.monotonic() - start < 20:
        select.select([], [tnc], [], 0.5)
        try:
            tnc_sent += os.write(tnc, frames)
        except BlockingIOError:
            pass
        drain(tnc, 0)
        peak = max(peak, status(proc.pid, "VmRSS"))
    time.sleep(1)
    with_idle = status(proc.pid, "VmRSS")
    dropped = 0
    for s in kept:
        r, _, _ = select.select([s], [], [], 0)
        try:
            # A client dropped by the server reads its end after what was sent.
            while s.recv(65536, socket.MSG_DONTWAIT):
                pass
            dropped += 1
        except (BlockingIOError, OSError):
            pass
        s.close()
    time.sleep(2)
    gone = status(proc.pid, "VmRSS")
    print(f"idle: {idle} connected, {refused} refused at once; "
          f"{tnc_sent / 2**20:.1f} MiB of frames from the TNC in 20 s")
    print(f"idle: VmRSS peak {peak} kB, with them {with_idle} kB, after all went {gone} kB")
    print(f"idle: refusal messages logged: {logged('refused, too many clients')}, "
          f"drop messages: {logged('dropped, not taking data')}")
finally:
    stop(proc, ptys)
PY
