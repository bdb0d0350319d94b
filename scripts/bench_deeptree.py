#!/usr/bin/env python3
"""Runs `zel copy` and `zel rmtree` on deep directory chains beside `cp -r`
and `rm -rf`, and prints each time and the ratio zel / anchor (below 1
means zel is faster).  Two depths show how the time grows with depth:

  copy a chain of 1,000 and 2,000 levels    zel copy     vs  cp -r
  delete such a chain                       zel rmtree   vs  rm -rf

Each level holds a small file and the next level, named "a", so the deepest
path stays just under PATH_MAX (4,096 bytes): `cp -r` cannot copy a tree
any deeper (zel can; the tests do).  The flat tree of 20,000 files is timed
by bench_tree.py.

Usage: bench_deeptree.py PATH/TO/zel [--runs N] [--dir SCRATCH_PARENT]
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench_tree import pair, run_bench  # noqa: E402  (same rules for every tree bench)

DEPTHS = (1000, 2000)
NAME = "a"  # "a/" per level: 2,000 levels make 4,000 bytes of path


def make_chain(root, depth):
    """root/level/level/... with a file "f" on every level, made through
    descriptors (the deep paths could not be opened)."""
    os.makedirs(root)
    fd = os.open(root, os.O_RDONLY | os.O_DIRECTORY)
    for _ in range(depth):
        f = os.open("f", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd)
        os.write(f, b"x" * 100)
        os.close(f)
        os.mkdir(NAME, dir_fd=fd)
        nxt = os.open(NAME, os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
        os.close(fd)
        fd = nxt
    os.close(fd)


def remove_chain(path):
    if os.path.lexists(path):
        subprocess.run(["rm", "-rf", path], check=True)


def bench(zel, scratch, runs):
    ratios = []
    for depth in DEPTHS:
        src = os.path.join(scratch, f"chain{depth}")
        make_chain(src, depth)
        out_zel = os.path.join(scratch, "out_zel")
        out_cp = os.path.join(scratch, "out_cp")
        clean = lambda: (remove_chain(out_zel), remove_chain(out_cp))
        ratios.append(pair(f"copy_chain_{depth}_levels", [zel, "copy", src, out_zel],
                           ["cp", "-r", src, out_cp], runs, after=clean))
        fresh = lambda: subprocess.run(["cp", "-r", src, out_zel], check=True)
        fresh_cp = lambda: subprocess.run(["cp", "-r", src, out_cp], check=True)
        ratios.append(pair(f"rmtree_chain_{depth}_levels", [zel, "rmtree", out_zel],
                           ["rm", "-rf", out_cp], runs, zel_before=fresh,
                           anchor_before=fresh_cp))
        remove_chain(src)
    return ratios


if __name__ == "__main__":
    sys.exit(run_bench("zel_bench_deeptree_", bench))
