#!/usr/bin/env python3
"""What the journal and the kept old versions cost a mirror run, interleaved, in three
variants on scratch copies of the same target.

    python3 bench/undo_cost.py BEFORE PROGRAM START TARGET WORK [ROUNDS]

BEFORE is gleichwart_bench built without the journal (the code before it), PROGRAM this one,
once with the setting KeepReplaced off (journal only) and once on (journal and old versions
hard-linked into the trash). Each loads START and WORK and runs the mirror under the rule
"0|5|1|1" (extra files deleted for good, as in sync_vs_rsync.py); the run's own time (after
the load) is what counts. Before each timed run WORK is made equal to
TARGET again with `rsync -a --delete`, everything is flushed and the page cache brought to one
state (not timed); each run gets a home of its own, whose trash and journals are put aside and
removed only at the end, as ext4 slows down for minutes after many files are deleted. The
order of the variants turns from round to round. Besides the time on the clock, the processor
time of the run (user and system) is told, which flushes of other programs' data do not
stretch. WORK's folder should be on a file system of its own (a loop-mounted image), so that
the runs' flushes do not wait for other programs' data either.
"""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile

HIVE = ("Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart]\n\"KeepReplaced\"=dword:%08x\n\n"
        "[HKEY_CURRENT_USER\\Software\\Halvorn Soft\\Gleichwart\\Regeln]\n\"Bench\"=\"0|5|1|1\"\n")


def home(root, keep):
    path = tempfile.mkdtemp(prefix="home-", dir=root)
    os.makedirs(os.path.join(path, "config", "gleichwart"))
    with open(os.path.join(path, "config", "gleichwart", "registry.reg"), "w") as hive:
        hive.write(HIVE % (1 if keep else 0))
    return path


def settle(target, work, cache_file):
    subprocess.run(["rsync", "-a", "--delete", target + "/", work + "/"], check=True)
    subprocess.run(["sync"], check=True)
    with open(cache_file, "rb") as f:  # the page cache in one state before every run
        while f.read(1 << 24):
            pass


def main():
    if len(sys.argv) < 6:
        print(__doc__, file=sys.stderr)
        return 2
    before, program, start, target, work = sys.argv[1:6]
    rounds = int(sys.argv[6]) if len(sys.argv) > 6 else 5
    aside = tempfile.mkdtemp(prefix="gleichwart-undo-cost-", dir=os.path.dirname(work))
    cache_file = os.path.join(aside, "cache")
    with open(cache_file, "wb") as f:
        f.write(os.urandom(1 << 20) * 512)
    variants = [("vorher (ohne Journal)", before, True),
                ("Journal, KeepReplaced aus", program, False),
                ("Journal und alte Fassungen", program, True)]
    times = {name: [] for name, _, _ in variants}
    cpu = {name: [] for name, _, _ in variants}
    for r in range(rounds):
        for name, binary, keep in variants[r % 3:] + variants[:r % 3]:
            settle(target, work, cache_file)
            h = home(aside, keep)
            env = dict(os.environ, HOME=h, XDG_CONFIG_HOME=h + "/config",
                       XDG_DATA_HOME=h + "/data", XDG_STATE_HOME=h + "/state")
            cmd = [binary, start, work, "0|5|1|1", "--run"]
            used = resource.getrusage(resource.RUSAGE_CHILDREN)
            result = subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
            now = resource.getrusage(resource.RUSAGE_CHILDREN)
            words = result.stdout.decode().split()
            if result.returncode != 0 or words[4:6] != ["failures", "0"]:
                raise SystemExit("%s failed (%d): %s %s" % (name, result.returncode,
                                                            result.stdout, result.stderr[-500:]))
            times[name].append(float(words[words.index("run") + 1]))
            cpu[name].append(now.ru_utime + now.ru_stime - used.ru_utime - used.ru_stime)
            print("round %d %-28s %.3f s, processor %.3f s" %
                  (r + 1, name, times[name][-1], cpu[name][-1]), flush=True)
    base = statistics.median(times[variants[0][0]])
    base_cpu = statistics.median(cpu[variants[0][0]])
    for name, _, _ in variants:
        m, c = statistics.median(times[name]), statistics.median(cpu[name])
        print("%-28s median %.3f s (%+.1f %%), processor %.3f s (%+.1f %%)" %
              (name, m, (m / base - 1) * 100, c, (c / base_cpu - 1) * 100))
    shutil.rmtree(aside, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
