#!/usr/bin/env bash
# Memory of the real program while 50 MiB arrive on the outgoing port (COM B),
# which the program never reads. COM1 and COM2 are links to pseudo-terminals
# in a scratch working folder; mirroring is on so COM B is open. Prints VmRSS
# before and after the flood, and the peak. Cleans up after itself.
#
#   bench/reliability/com_b_flood.sh [path/to/vorlink] [MiB]
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
program="${1:-$here/../../build/vorlink}"
mib="${2:-50}"
[[ -x "$program" ]] || { echo "no program at $program" >&2; exit 2; }

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
# A copy, so that the program folder (captures, scripts) is the scratch folder too.
cp "$program" "$scratch/vorlink"

QT_QPA_PLATFORM=offscreen PYTHONPATH="$here" python3 - "$scratch" "$mib" <<'PY'
import os, select, sys, time
from program_harness import link_ptys, no_time_server, start, status, stop

folder, mib = sys.argv[1], int(sys.argv[2])
no_time_server()
ptys = link_ptys(folder)

with open(os.path.join(folder, "vorlink.ini"), "wb") as ini:
    ini.write(b"01,19200,N,8,1\r\n127.0.0.1\r\n02,19200,N,8,1\r\ntrue\r\n")

proc = start(folder)
try:
    before = status(proc.pid, "VmRSS")

    master = ptys["COM2"][0]
    block = bytes([0x55]) * 65536
    total, sent = mib << 20, 0
    start = time.monotonic()
    while sent < total and time.monotonic() - start < 300:
        select.select([], [master], [], 0.5)
        try:
            sent += os.write(master, block[: min(len(block), total - sent)])
        except BlockingIOError:
            pass
    took = time.monotonic() - start
    time.sleep(1)
    after = status(proc.pid, "VmRSS")
    peak = status(proc.pid, "VmHWM")
    print(f"COM B flood: {sent / 2**20:.1f} MiB sent in {took:.1f} s")
    print(f"VmRSS before: {before} kB, after: {after} kB, peak (VmHWM): {peak} kB")
finally:
    stop(proc, ptys)
PY
