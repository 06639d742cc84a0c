"""The real program in a scratch working folder, for the reliability benches:
COMn links to pseudo-terminals, a start that refuses to run while anything
answers as a time server on 127.0.0.1, /proc figures, and a stop that always
ends the program and closes the lines."""
import os, signal, socket, subprocess, sys, time, tty


def no_time_server():
    # The time server line names 127.0.0.1; nothing may answer there, or the
    # program would try to set the clock.
    probe = socket.socket()
    probe.settimeout(1)
    if probe.connect_ex(("127.0.0.1", 37)) == 0:
        sys.exit("something listens on 127.0.0.1:37; not starting the program")
    probe.close()


def link_ptys(folder, names=("COM1", "COM2")):
    ptys = {}
    for name in names:
        master, slave = os.openpty()
        tty.setraw(slave)
        os.set_blocking(master, False)
        os.symlink(os.ttyname(slave), os.path.join(folder, name))
        ptys[name] = (master, slave)
    return ptys


def status(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return -1


def start(folder):
    proc = subprocess.Popen([os.path.join(folder, "vorlink")], cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(2)
    if proc.poll() is not None:
        sys.exit(f"program ended at start with status {proc.returncode}")
    return proc


def stop(proc, ptys):
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
    for master, slave in ptys.values():
        os.close(master)
        os.close(slave)
