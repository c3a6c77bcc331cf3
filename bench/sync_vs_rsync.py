#!/usr/bin/env python3
"""Times a whole mirror run of the terminal front end against `rsync -a --delete --fsync`,
both flushing every copied file to the disk, on scratch copies of the same target, interleaved.

    python3 bench/sync_vs_rsync.py BUILD_DIR START TARGET WORK [ROUNDS]

Before each timed run WORK is made equal to TARGET again with `rsync -a --delete` (not
timed). gleichwart-sync runs the rule "0|5|1|1" (mirror, extra files deleted for good, as
rsync --delete does), stored in a registry of its own.
"""
import os
import statistics
import subprocess
import sys
import tempfile

from timing import timed

def reset(target, work):
    subprocess.run(["rsync", "-a", "--delete", target + "/", work + "/"], check=True)
    subprocess.run(["sync"], check=True)

def main():
    if len(sys.argv) < 5:
        print(__doc__, file=sys.stderr)
        return 2
    build, start, target, work = sys.argv[1:5]
    rounds = int(sys.argv[5]) if len(sys.argv) > 5 else 3
    config = tempfile.mkdtemp(prefix="gleichwart-bench-")
    os.makedirs(os.path.join(config, "gleichwart"))
    with open(os.path.join(config, "gleichwart", "registry.reg"), "w") as hive:
        hive.write("Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart\\Regeln]\n"
                   "\"Bench\"=\"0|5|1|1\"\n")
    env = dict(os.environ, XDG_CONFIG_HOME=config)
    sync = [build + "/cli/gleichwart-sync", "--ja", "--leise", "/Startordner|" + start,
            "/Zielordner|" + work, "/Regel|Bench"]
    rsync = ["rsync", "-a", "--delete", "--fsync", start + "/", work + "/"]
    times = {"gleichwart-sync": [], "rsync --fsync": []}
    for _ in range(rounds):
        for name, cmd in (("gleichwart-sync", sync), ("rsync --fsync", rsync)):
            reset(target, work)
            times[name].append(timed(cmd, env))
    g, r = statistics.median(times["gleichwart-sync"]), statistics.median(times["rsync --fsync"])
    print("mirror run, %d rounds interleaved: gleichwart-sync %.3f s, rsync -a --delete --fsync "
          "%.3f s, ratio %.2f (goal: below 1)" % (rounds, g, r, g / r))

if __name__ == "__main__":
    sys.exit(main())
