#!/usr/bin/env python3
"""Kills gleichwart-sync (SIGKILL) at random moments of a mirror run and undoes what it did.

    python3 bench/undo_kill.py PROGRAM WORK [--files N] [--kills K] [--seed S]

PROGRAM is gleichwart-sync; WORK a folder of the script's own (made, and emptied at the end).
A start tree of N files (default 20,000) and a target that differs in every way a mirror looks
at (older, missing and extra files, folders only on one side, replaced and new links, names
with a line break and bytes that are no UTF-8) are built once. Each round takes a snapshot
(kind, mode, time, size, content, link text; folders kind and mode), starts a mirror with
folders and links in a home of its own, kills it after a random time within the length of a
whole run, and runs `gleichwart-sync --rueckgaengig --ja`. Both trees must then equal their
snapshot, but for files the round's rule deleted for good (every other round deletes into the
trash), which are counted and copied back from the original for the next round; no temporary
file of the copy may be left. Exit status 1 when a round fails.
"""
import argparse
import hashlib
import os
import random
import shutil
import signal
import stat
import subprocess
import sys
import time

RULES = ("0|4|1|2", "0|5|1|2")  # into the trash, for good
ODD = b"zeile\nneu\xff"  # a line break and bytes that are no UTF-8


def write(path, data, mtime):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)
    os.utime(path, ns=(mtime, mtime))


def link(path, target, mtime):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    os.symlink(target, path)
    os.utime(path, ns=(mtime, mtime), follow_symlinks=False)


def build(start, target, files, rnd):
    """The two trees: each target file is the start's, one hour older, missing, or extra."""
    base = 1_700_000_000 * 10**9
    hour = 3600 * 10**9
    folders = max(4, files // 40)
    sizes = (0, 100, 2000, 8000, 20000, 300000)
    for n in range(files):
        d = n % folders
        rel = os.path.join(b"gruppe%02d" % (d % 20), b"ordner%05d" % d, b"datei%06d.dat" % n)
        if n % 997 == 0:
            rel = os.path.join(os.path.dirname(rel), ODD + b"%d" % n)
        data = bytes([65 + n % 26]) * rnd.choice(sizes)
        write(os.path.join(start, rel), data, base)
        roll = rnd.random()
        if roll < 0.1:
            continue  # missing in the target: made
        older = roll < 0.2
        write(os.path.join(target, rel), data[: len(data) // 2] if older else data,
              base - hour if older else base)
        if roll > 0.9:  # an extra file beside it: deleted
            write(os.path.join(target, rel + b".extra"), b"y" * 100, base)
    for n in range(max(2, files // 2000)):
        write(os.path.join(start, b"nur-start%d" % n, b"tief", b"a.txt"), b"a", base)
        write(os.path.join(target, b"nur-ziel%d" % n, b"tief", b"b.txt"), b"b", base)
        link(os.path.join(start, b"verweis%d" % n), b"neu%d" % n, base)
        link(os.path.join(target, b"verweis%d" % n), b"alt%d" % n, base - hour)
        link(os.path.join(start, b"neuer-verweis%d" % n), b"ziel%d" % n, base)


def snapshot(root):
    state = {}
    for folder, dirs, names in os.walk(root):
        for name in dirs + names:
            path = os.path.join(folder, name)
            st = os.lstat(path)
            rel = os.path.relpath(path, root)
            if stat.S_ISDIR(st.st_mode):
                state[rel] = ("folder", st.st_mode)
            elif stat.S_ISLNK(st.st_mode):
                state[rel] = ("link", st.st_mode, st.st_mtime_ns, os.readlink(path))
            else:
                with open(path, "rb") as f:
                    digest = hashlib.sha1(f.read()).hexdigest()
                state[rel] = ("file", st.st_mode, st.st_mtime_ns, st.st_size, digest)
    return state


def temporaries(root):
    found = []
    for folder, _, names in os.walk(root):
        found += [os.path.join(folder, n) for n in names
                  if n.startswith(b".gleichwart-") and n.endswith(b".tmp")]
    return found


def environment(home):
    for sub in ("config", "data", "state"):
        os.makedirs(os.path.join(home, sub), exist_ok=True)
    return dict(os.environ, HOME=home, XDG_CONFIG_HOME=home + "/config",
                XDG_DATA_HOME=home + "/data", XDG_STATE_HOME=home + "/state", LC_ALL="C.UTF-8")


def mirror(program, rule, start, target):
    return [program, "--ja", "--leise", "--ordner-angleichen", "--verknuepfungen",
            "--regel-text", rule, start, target]


def journal_state(env):
    """The number of actions in the round's journal and whether the run reached its end, or
    None when the run was killed before it began."""
    folder = os.path.join(env["XDG_STATE_HOME"], "gleichwart")
    names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    if not names:
        return None
    with open(os.path.join(folder, names[-1]), "rb") as f:
        keys = [line.split(b" ", 1)[0] for line in f.read().split(b"\n")]
    actions = sum(k in (b"neu", b"ersetzt", b"papierkorb", b"geloescht", b"ordner-neu",
                        b"ordner-weg") for k in keys)
    return actions, b"ende" in keys


def undo(program, env):
    r = subprocess.run([program, "--rueckgaengig", "--ja", "--leise"], env=env,
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=600)
    return r.returncode, r.stderr.decode("utf-8", "replace")


def compare(before, after, deletable):
    """The entries that differ; files missing that the rule may have deleted for good (those
    in `deletable`) are counted apart."""
    problems, for_good = [], 0
    for rel in sorted(set(before) | set(after)):
        if before.get(rel) == after.get(rel):
            continue
        if rel not in after and rel in deletable and before[rel][0] != "folder":
            for_good += 1
            continue
        problems.append("%r: %s -> %s" % (rel, before.get(rel), after.get(rel)))
    return problems, for_good


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("program")
    parser.add_argument("work")
    parser.add_argument("--files", type=int, default=20000)
    parser.add_argument("--kills", type=int, default=20)
    parser.add_argument("--seed", type=int, default=4711)
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    work = os.path.abspath(args.work).encode()
    rnd = random.Random(args.seed)
    shutil.rmtree(work, ignore_errors=True)
    pristine_start, pristine_target = work + b"/original/start", work + b"/original/ziel"
    start, target = work + b"/start", work + b"/ziel"
    build(pristine_start, pristine_target, args.files, rnd)
    shutil.copytree(pristine_start, start, symlinks=True)
    shutil.copytree(pristine_target, target, symlinks=True)
    # Two whole runs, each undone, to learn how long a run with warm caches takes here. Each
    # round starts from what the one before put back.
    whole = None
    for n in range(2):
        env = environment((work + b"/home-calibration%d" % n).decode())
        began = time.monotonic()
        subprocess.run(mirror(program, RULES[0], start, target), env=env, check=True,
                       stdout=subprocess.DEVNULL)
        whole = min(whole or 1e9, time.monotonic() - began)
        code, err = undo(program, env)
        if code != 0:
            print("the undo of a whole run failed (%d): %s" % (code, err))
            return 1
    passed = 0
    for round_ in range(args.kills):
        rule = RULES[round_ % 2]
        before = (snapshot(start), snapshot(target))
        env = environment((work + b"/home%d" % round_).decode())
        delay = rnd.uniform(0.02, 0.95) * whole
        child = subprocess.Popen(mirror(program, rule, start, target), env=env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(delay)
        killed = child.poll() is None
        if killed:
            child.send_signal(signal.SIGKILL)
        child.wait()
        journal = journal_state(env)
        code, err = undo(program, env)
        after = (snapshot(start), snapshot(target))
        problems, _ = compare(before[0], after[0], set())
        only_target = set(before[1]) - set(before[0]) if rule == RULES[1] else set()
        target_problems, for_good = compare(before[1], after[1], only_target)
        problems += target_problems
        left = temporaries(start) + temporaries(target)
        # 0: all back; 1: files deleted for good are left; 2: killed before the run began.
        expected = (1 if for_good else 0) if journal else 2
        ok = not problems and not left and code == expected
        passed += 1 if ok else 0
        print("round %2d: rule %s, kill after %5.2f s of %.2f s: %s; undo exit %d, deleted for "
              "good %d, temporary files %d, differences %d%s" %
              (round_ + 1, rule, delay, whole,
               "before the run began" if journal is None else
               "%d actions, %s" % (journal[0], "run ended" if journal[1] or not killed
                                   else "killed part-way"),
               code, for_good, len(left), len(problems), "" if ok else "  FAILED"))
        for p in problems[:10]:
            print("    " + p)
        if not ok and err:
            print("    " + err.strip().replace("\n", "\n    ")[:2000])
        if not ok:
            break
        for rel in set(before[1]) - set(after[1]):  # deleted for good: back for the next round
            shutil.copy2(os.path.join(pristine_target, rel), os.path.join(target, rel))
    shutil.rmtree(work, ignore_errors=True)
    print("%d of %d rounds put both trees back" % (passed, args.kills))
    return 0 if passed == args.kills else 1


if __name__ == "__main__":
    sys.exit(main())
