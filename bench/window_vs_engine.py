#!/usr/bin/env python3
"""Times "Ordner laden" and a whole run in the main window against the engine alone, on the
same trees and rule, interleaved, and prints medians and the window's ratio.

    python3 bench/window_vs_engine.py BUILD_DIR START TARGET WORK [RULE] [ROUNDS]

WORK is a scratch target: before each timed run it is made equal to TARGET again with
`rsync -a --delete` (not timed), so every run does the same work.
"""
import re
import statistics
import subprocess
import sys

def figure(output, name):
    match = re.search(r"\b%s ([0-9.]+)" % name, output)
    if not match:
        raise SystemExit("no '%s' in: %s" % (name, output))
    return float(match.group(1))

def timed(cmd, name):
    out = subprocess.run(cmd, check=True, capture_output=True, text=True).stdout
    return figure(out, name)

def main():
    if len(sys.argv) < 5:
        print(__doc__, file=sys.stderr)
        return 2
    build, start, target, work = sys.argv[1:5]
    rule = sys.argv[5] if len(sys.argv) > 5 else "0|5|1|1"
    rounds = int(sys.argv[6]) if len(sys.argv) > 6 else 3
    engine = build + "/gleichwart_bench"
    window = build + "/gleichwart_window_bench"
    loads = {"engine": [], "window": []}
    runs = {"engine": [], "window": []}
    timed([engine, start, target, rule], "seconds")  # warm the caches
    for _ in range(rounds):
        loads["engine"].append(timed([engine, start, target, rule], "seconds"))
        loads["window"].append(timed([window, start, target, rule], "load"))
        for name, cmd in (("engine", [engine, start, work, rule, "--run"]),
                          ("window", [window, start, work, rule, "--run"])):
            subprocess.run(["rsync", "-a", "--delete", target + "/", work + "/"], check=True)
            subprocess.run(["sync"], check=True)
            runs[name].append(timed(cmd, "run"))
    print("rule %s, %d rounds interleaved" % (rule, rounds))
    for title, data in (("load", loads), ("run", runs)):
        e, w = statistics.median(data["engine"]), statistics.median(data["window"])
        print("%-4s engine %.3f s  window %.3f s  window/engine %.2f  (goal: at most 1.2)"
              % (title, e, w, w / e))

if __name__ == "__main__":
    sys.exit(main())
