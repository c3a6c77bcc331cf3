#!/usr/bin/env python3
"""Builds the benchmark's two trees: START with FILES files in FOLDERS folders, and TARGET as
a copy of it in which 10% of the files are one hour older, 5% are missing and 5% extra files
exist that START does not have. With "small" as the fifth argument every file holds at most
100 bytes, for trees of a million files that take little room. The shares change with
--older, --missing and --extra (fractions of FILES), e.g. `--missing 0.025 --extra 0.025` for
15% of all paths differing."""
import os
import random
import sys

def shares(args):
    """The three shares, and the arguments without them."""
    given = {"--older": 0.10, "--missing": 0.05, "--extra": 0.05}
    rest = []
    i = 0
    while i < len(args):
        if args[i] in given and i + 1 < len(args):
            given[args[i]] = float(args[i + 1])
            i += 2
        else:
            rest.append(args[i])
            i += 1
    return given["--older"], given["--missing"], given["--extra"], rest

def main():
    older_share, missing_share, extra_share, args = shares(sys.argv[1:])
    if len(args) < 2:
        print("usage: make_trees.py START TARGET [FILES] [FOLDERS] [small] "
              "[--older F] [--missing F] [--extra F]", file=sys.stderr)
        return 2
    start, target = args[0], args[1]
    files = int(args[2]) if len(args) > 2 else 100_000
    folders = int(args[3]) if len(args) > 3 else 5_000
    sizes = (0, 10, 100) if len(args) > 4 and args[4] == "small" else \
        (0, 100, 2000, 8000, 8000, 20000)
    rnd = random.Random(4711)
    base = 1_700_000_000
    per_folder = files // folders
    extra = 0
    for d in range(folders):
        # Two levels: 50 top folders, the rest below them.
        rel = os.path.join("gruppe%02d" % (d % 50), "ordner%05d" % d)
        for root in (start, target):
            os.makedirs(os.path.join(root, rel), exist_ok=True)
        for f in range(per_folder):
            name = os.path.join(rel, "datei%05d_%02d.dat" % (d, f))
            size = rnd.choice(sizes)
            data = b"x" * size
            s = os.path.join(start, name)
            with open(s, "wb") as out:
                out.write(data)
            os.utime(s, (base, base))
            roll = rnd.random()
            if roll < missing_share:
                continue  # missing in the target
            t = os.path.join(target, name)
            with open(t, "wb") as out:
                out.write(data)
            older = base - 3600 if roll < missing_share + older_share else base
            os.utime(t, (older, older))
        # extra files in the target only
        while extra < (d + 1) * files * extra_share / folders:
            t = os.path.join(target, rel, "extra%06d.dat" % extra)
            with open(t, "wb") as out:
                out.write(b"y" * 100)
            extra += 1
    print("built %d files in %d folders; %d extra in the target" % (files, folders, extra))
    return 0

if __name__ == "__main__":
    sys.exit(main())
