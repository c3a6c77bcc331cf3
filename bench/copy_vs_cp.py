#!/usr/bin/env python3
"""Times copying a whole tree into an empty target: the terminal front end against
`cp -a` followed by `sync -f` (the same durability: every file on the disk), interleaved.

    python3 bench/copy_vs_cp.py BUILD_DIR START WORK [ROUNDS] [--strace]

Before each timed run the scratch folder under WORK is removed and the file system flushed
(not timed). gleichwart-sync runs the rule "0|0|1|2" (copy what is missing, hidden files
too). With --strace, one more run of each under `strace -f -c` counts the system calls.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

from timing import timed

def fresh(path):
    shutil.rmtree(path, ignore_errors=True)
    subprocess.run(["sync"], check=True)

def syscalls(cmd, env):
    """The total of strace -c's table for `cmd`."""
    out = subprocess.run(["strace", "-f", "-c", "-o", "/dev/stdout"] + cmd, env=env,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True).stdout
    total = [l for l in out.splitlines() if l.rstrip().endswith("total")]
    return int(total[-1].split()[3]) if total else -1, out

def main():
    args = [a for a in sys.argv[1:] if a != "--strace"]
    if len(args) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    build, start, work = args[:3]
    rounds = int(args[3]) if len(args) > 3 else 3
    home = tempfile.mkdtemp(prefix="gleichwart-bench-")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config",
               XDG_DATA_HOME=home + "/data", XDG_STATE_HOME=home + "/state")
    ours, theirs = os.path.join(work, "gleichwart"), os.path.join(work, "cp")
    sync = lambda: [build + "/cli/gleichwart-sync", "--ja", "--leise", "--regel-text", "0|0|1|2",
                    start, ours]
    cp = ["sh", "-c", 'cp -a "$1" "$2" && sync -f "$2"', "cp", start, theirs]
    times = {"gleichwart-sync": [], "cp -a + sync -f": []}
    for k in range(rounds):
        order = [("gleichwart-sync", ours), ("cp -a + sync -f", theirs)]
        for name, folder in order if k % 2 == 0 else reversed(order):
            fresh(folder)
            if name == "gleichwart-sync":
                os.makedirs(folder)
            times[name].append(timed(sync() if name == "gleichwart-sync" else cp, env))
    g, c = statistics.median(times["gleichwart-sync"]), statistics.median(times["cp -a + sync -f"])
    print("copy into an empty target, %d rounds interleaved: gleichwart-sync %.3f s, "
          "cp -a + sync -f %.3f s, ratio %.2f" % (rounds, g, c, g / c))
    print("  all times: %s" % {k: ["%.3f" % t for t in v] for k, v in times.items()})
    if "--strace" in sys.argv:
        files = sum(len(f) for _, _, f in os.walk(start))
        for name, folder, cmd in (("gleichwart-sync", ours, sync()), ("cp -a", theirs,
                                  ["cp", "-a", start, theirs])):
            fresh(folder)
            if name == "gleichwart-sync":
                os.makedirs(folder)
            total, table = syscalls(cmd, env)
            print("%s: %d system calls, %.1f per file" % (name, total, total / files))
            print(table)
    fresh(ours)
    fresh(theirs)
    shutil.rmtree(home, ignore_errors=True)

if __name__ == "__main__":
    sys.exit(main())
