#!/usr/bin/env python3
"""Prints every circle of #include "…" lines between modules and fails when there is one.

A module is a header and its source file together (the same path without its extension), so
a source file including its own header is no circle. Quoted includes are looked up beside
the including file first, then below each source folder of the project, as the compiler's
include paths do; system headers in <…> are not followed.
"""
import os
import re
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
FOLDERS = ["core", "ui", "app", "cli", "tests", "bench"]
SEARCH = ["core", "ui", "app", "cli", "tests", "tests/core", "tests/ui", "tests/cli", ""]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def sources():
    for folder in FOLDERS:
        for base, _, names in os.walk(os.path.join(ROOT, folder)):
            for name in names:
                if name.endswith((".h", ".cpp", ".c")):
                    yield os.path.relpath(os.path.join(base, name), ROOT)


def resolve(including, name):
    for base in [os.path.dirname(including)] + SEARCH:
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(os.path.join(ROOT, candidate)):
            return candidate
    return None


def module(path):
    return os.path.splitext(path)[0]


def graph():
    edges = {}
    for path in sources():
        with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        mine = module(path)
        edges.setdefault(mine, set())
        for name in INCLUDE.findall(text):
            target = resolve(path, name)
            if target is not None and module(target) != mine:
                edges[mine].add(module(target))
    return edges


def circles(edges):
    """The strongly connected components of more than one module (Tarjan, iteratively)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]
    for start in sorted(edges):
        if start in index:
            continue
        work = [(start, iter(sorted(edges.get(start, ()))))]
        index[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = counter[0]
                    counter[0] += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(edges.get(child, ())))))
                elif child in on_stack:
                    low[node] = min(low[node], index[child])
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    found.append(sorted(component))
    return found


def main():
    found = circles(graph())
    for component in found:
        print("include circle: " + " <-> ".join(component))
    if found:
        print(f"{len(found)} include circle(s) between modules")
        return 1
    print("no include circle between modules")
    return 0


if __name__ == "__main__":
    sys.exit(main())
