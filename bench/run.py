#!/usr/bin/env python3
"""Times Gleichwart's load and comparison against `find`, a single-threaded C walker and an
`rsync` dry run on the same two trees, interleaved, on warm caches, and reports medians, ratios
and peak memory per file: exactly, as the kernel counts the largest process (GNU time's %M),
and as the sum over all processes of a command (sampled, in one more run of each after the
timed rounds: the sampling takes a good part of a processor and would slow down a command that
runs on both; rsync runs as several processes).

    python3 bench/run.py BENCH_BINARY START TARGET [ROUNDS] [--cold] [--versus OLD_BINARY]
                         [-- BENCH_OPTIONS...]

BENCH_OPTIONS go to the engine benchmark after the rule, e.g. to gleichwart_latency_bench:
`-- --delay-us 0 --listings 8 --start-listings 8` lists both trees with eight threads each.
With --cold (as root) every timed run starts after `sync` and dropping the page, dentry and
inode caches, instead of on warm caches. --versus times another build's benchmark (an older
commit's) in the same rounds, for a before-and-after figure.
"""
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

def page_kib():
    return os.sysconf("SC_PAGE_SIZE") // 1024

def group_rss_kib(pgid):
    """Resident memory of every process in the group, in KiB."""
    total = 0
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            if int(fields[2]) != pgid:  # field 5 of stat: the process group
                continue
            with open("/proc/%s/statm" % pid) as f:
                total += int(f.read().split()[1]) * page_kib()
        except (OSError, IndexError, ValueError):
            pass
    return total

def drop_caches():
    subprocess.run(["sync"], check=True)
    with open("/proc/sys/vm/drop_caches", "w") as f:
        f.write("3\n")

def run(cmd, cold=False, sample=False):
    """Wall time, the exact peak resident memory of the largest process and, with `sample`, the
    peak summed over the command's processes (sampled), in KiB. The sampling reads /proc every
    few milliseconds and takes a good part of a processor: a timed run goes without it."""
    if cold:
        drop_caches()
    with tempfile.NamedTemporaryFile("r") as report:
        timed = ["/usr/bin/time", "-f", "%M", "-o", report.name] + cmd
        begin = time.perf_counter()
        proc = subprocess.Popen(timed, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        summed = 0
        if sample:
            while proc.poll() is None:
                summed = max(summed, group_rss_kib(proc.pid))
                time.sleep(0.003)
        else:
            proc.wait()
        elapsed = time.perf_counter() - begin
        if proc.returncode not in (0, 24):
            raise SystemExit("%s failed with %d" % (cmd[0], proc.returncode))
        exact = int(report.read().split()[-1])
    return elapsed, exact, summed

def count_files(root):
    return sum(len(files) for _, _, files in os.walk(root))

def main():
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    args = sys.argv[1:]
    options = []
    if "--" in args:
        options = args[args.index("--") + 1:]
        args = args[:args.index("--")]
    cold = "--cold" in args
    args = [a for a in args if a != "--cold"]
    versus = None
    if "--versus" in args:
        at = args.index("--versus")
        versus = args[at + 1]
        args = args[:at] + args[at + 2:]
    bench, start, target = args[0:3]
    walker = os.path.join(os.path.dirname(bench), "gleichwart_walker")
    rounds = int(args[3]) if len(args) > 3 else 5
    tools = {
        "gleichwart": [bench, start, target, "0|4|1|1"] + options,
        "find": ["find", start, target, "-printf", "%T@ %s %p\n"],
        "walker": [walker, start, target],
        "rsync -an": ["rsync", "-an", "--delete", start + "/", target + "/"],
    }
    if versus:
        tools["versus"] = [versus, start, target, "0|4|1|1"] + options
    files = count_files(start) + count_files(target)
    if not cold:
        for cmd in tools.values():  # warm the caches
            run(cmd)
    times = {name: [] for name in tools}
    peaks = {name: [] for name in tools}
    sums = {name: [] for name in tools}
    for _ in range(rounds):
        for name, cmd in tools.items():
            t, p, _ = run(cmd, cold)
            times[name].append(t)
            peaks[name].append(p)
    for name, cmd in tools.items():  # the memory of all processes, in a run of its own
        sums[name].append(run(cmd, cold, sample=True)[2])
    med = {name: statistics.median(v) for name, v in times.items()}
    print("%d files in both trees, %d rounds interleaved, %s caches" %
          (files, rounds, "cold" if cold else "warm"))
    for name in tools:
        peak = max(peaks[name])
        print("%-11s median %.3f s   peak %7d KiB  %6.1f B per file   all processes %6.1f B" %
              (name, med[name], peak, peak * 1024.0 / files, max(sums[name]) * 1024.0 / files))
    g = med["gleichwart"]
    print("gleichwart / find      = %.2f  (goal: at most 2)" % (g / med["find"]))
    print("gleichwart / walker    = %.2f  (goal: below 1)" % (g / med["walker"]))
    print("gleichwart / rsync -an = %.2f  (goal: below 1)" % (g / med["rsync -an"]))
    print("peak memory per file %.1f B  (goal at 2 x 1,000,000 files: at most 64)" %
          (max(peaks["gleichwart"]) * 1024.0 / files))
    if versus:
        print("gleichwart / versus    = %.2f   versus / walker = %.2f" %
              (g / med["versus"], med["versus"] / med["walker"]))
    gm = max(sums["gleichwart"]) / files
    rm = max(sums["rsync -an"]) / files
    print("memory per file gleichwart / rsync -an = %.2f  (goal: at most 1)" % (gm / rm))
    return 0

if __name__ == "__main__":
    sys.exit(main())
