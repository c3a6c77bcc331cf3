#!/usr/bin/env python3
"""Times a mirror of START into an empty folder of an sshfs mount, gleichwart-sync against
`rsync -a --delete --fsync` into the same mount, interleaved, and counts on the server side
(`strace -f -c -p` of the sftp-server) the calls each made there, the flushes among them.

    python3 bench/sshfs_vs_rsync.py BUILD_DIR START REMOTE MOUNT [ROUNDS]

REMOTE is the folder the mount shows, as the server sees it; it is emptied before each run
(not timed). Set up the mount as bench/README.md describes. gleichwart-sync runs the rule
"0|5|1|1" (mirror, extra files deleted for good, as rsync --delete does).
"""
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from timing import timed

def empty(remote):
    for name in os.listdir(remote):
        path = os.path.join(remote, name)
        if os.path.isdir(path) and not os.path.islink(path):
            shutil.rmtree(path)
        else:
            os.unlink(path)
    subprocess.run(["sync"], check=True)

def server_calls(cmd, env, remote):
    """The sftp-server's system calls during one run: {name: count}."""
    empty(remote)
    server = subprocess.run(["pgrep", "-n", "-f", "sftp-server"], capture_output=True,
                            text=True, check=True).stdout.split()[0]
    out = tempfile.mktemp(prefix="gw-strace-")
    tracer = subprocess.Popen(["strace", "-f", "-c", "-o", out, "-p", server],
                              stderr=subprocess.DEVNULL)
    time.sleep(1)
    timed(cmd, env)
    time.sleep(0.5)
    tracer.send_signal(signal.SIGINT)
    tracer.wait()
    calls = {}
    with open(out) as f:
        for line in f:
            m = re.match(r"\s*[\d.]+\s+[\d.]+\s+\d+\s+(\d+)\s+(?:\d+\s+)?(\w+)$", line)
            if m and m.group(2) != "total":
                calls[m.group(2)] = int(m.group(1))
    os.unlink(out)
    return calls

def main():
    if len(sys.argv) < 5:
        print(__doc__, file=sys.stderr)
        return 2
    build, start, remote, mount = sys.argv[1:5]
    rounds = int(sys.argv[5]) if len(sys.argv) > 5 else 3
    home = tempfile.mkdtemp(prefix="gleichwart-bench-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config",
               XDG_STATE_HOME=home + "/state")
    runs = {
        "gleichwart-sync": [build + "/cli/gleichwart-sync", "--ja", "-q", "--regel-text",
                            "0|5|1|1", start, mount],
        "rsync --fsync": ["rsync", "-a", "--delete", "--fsync", start + "/", mount + "/"],
    }
    times = {name: [] for name in runs}
    for _ in range(rounds):
        for name, cmd in runs.items():
            empty(remote)
            times[name].append(timed(cmd, env))
    for name in runs:
        print("%-16s %s" % (name, " ".join("%.2f" % t for t in times[name])))
    g, r = (statistics.median(times[name]) for name in runs)
    print("mirror into sshfs, %d rounds interleaved: gleichwart-sync %.2f s, rsync -a --delete "
          "--fsync %.2f s, ratio %.2f (goal: at most 0.33)" % (rounds, g, r, g / r))
    for name, cmd in runs.items():
        calls = server_calls(cmd, env, remote)
        print("server side, %s: %d calls, %d fsync, %d rename, %d stat" % (
            name, sum(calls.values()) - calls.get("getpid", 0), calls.get("fsync", 0),
            calls.get("rename", 0), calls.get("newfstatat", 0) + calls.get("lstat", 0)))
    empty(remote)
    shutil.rmtree(home)

if __name__ == "__main__":
    sys.exit(main())
