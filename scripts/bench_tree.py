#!/usr/bin/env python3
"""Runs the directory-tree commands of the `zel` tool beside the system's
own tools on files and trees it makes in a scratch directory (removed at
the end), and prints each time and the ratio zel / anchor (below 1 means
zel is faster):

  copy a 512 MiB file           zel copy     vs  cp
  copy a tree of 20,000 files   zel copy     vs  cp -r
  find by mask in that tree     zel find -r  vs  find -iname
  delete that tree              zel rmtree   vs  rm -rf

Usage: bench_tree.py PATH/TO/zel [--runs N] [--dir SCRATCH_PARENT]
Each pair runs alternately N times (default 3) with warm caches and the
disk synced before every run; the fastest run of each counts.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

FILE_MIB = 512
TREE_DIRS = 100
FILES_PER_DIR = 200  # 20,000 files


def make_big_file(path):
    block = os.urandom(1 << 20)
    with open(path, "wb") as f:
        for i in range(FILE_MIB):
            # Vary each MiB a little so no layer can deduplicate it.
            f.write(i.to_bytes(4, "little") + block[4:])


def make_tree(root):
    payload = os.urandom(8192)
    n = 0
    for d in range(TREE_DIRS):
        sub = os.path.join(root, f"dir{d:03d}")
        os.makedirs(sub)
        for i in range(FILES_PER_DIR):
            ext = ".TXT" if i % 4 == 0 else (".txt" if i % 4 == 1 else ".dat")
            size = 100 + (n * 37) % 4000
            with open(os.path.join(sub, f"file{i:04d}{ext}"), "wb") as f:
                f.write(payload[:size])
            n += 1
    return n


def timed(cmd, before=None):
    if before:
        before()
    # Earlier runs' dirty pages are written out first, so neither side pays
    # for the other's writes.
    os.sync()
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def pair(name, zel_cmd, anchor_cmd, runs, zel_before=None, anchor_before=None, after=None):
    best = {"zel": float("inf"), "anchor": float("inf")}
    for _ in range(runs):
        best["zel"] = min(best["zel"], timed(zel_cmd, zel_before))
        if after:
            after()
        best["anchor"] = min(best["anchor"], timed(anchor_cmd, anchor_before))
        if after:
            after()
    print(f"  {name + '/zel':<50} {best['zel'] * 1000:12.1f} ms")
    print(f"  {name + '/anchor':<50} {best['anchor'] * 1000:12.1f} ms")
    return name, best["zel"] / best["anchor"]


def remove(*paths):
    for p in paths:
        if os.path.islink(p) or os.path.isfile(p):
            os.unlink(p)
        elif os.path.isdir(p):
            shutil.rmtree(p)


def run_bench(prefix, body):
    """The frame every tree benchmark shares: reads `zel [--runs N] [--dir
    D]`, makes a scratch directory, lets body(zel, scratch, runs) return
    its (name, ratio) pairs, prints them and removes the scratch."""
    ap = argparse.ArgumentParser()
    ap.add_argument("zel")
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--dir", default=None)
    args = ap.parse_args()
    scratch = tempfile.mkdtemp(prefix=prefix, dir=args.dir)
    try:
        for name, r in body(os.path.abspath(args.zel), scratch, args.runs):
            print(f"  ratio {name}: {r:.2f}x the anchor")
    finally:
        # rm copes with trees deeper than PATH_MAX, where rmtree may not.
        subprocess.run(["rm", "-rf", scratch], check=False)


def bench(zel, scratch, runs):
    big = os.path.join(scratch, "big.bin")
    tree = os.path.join(scratch, "tree")
    make_big_file(big)
    files = make_tree(tree)
    out_zel = os.path.join(scratch, "out_zel")
    out_cp = os.path.join(scratch, "out_cp")
    clean = lambda: remove(out_zel, out_cp)
    ratios = []
    ratios.append(pair(f"copy_file_{FILE_MIB}MiB", [zel, "copy", big, out_zel],
                       ["cp", big, out_cp], runs, after=clean))
    ratios.append(pair(f"copy_tree_{files}_files", [zel, "copy", tree, out_zel],
                       ["cp", "-r", tree, out_cp], runs, after=clean))
    ratios.append(pair(f"find_iname_{files}_files", [zel, "find", "-r", tree, "*.txt"],
                       ["find", tree, "-iname", "*.txt"], runs))
    # Each deletion gets a fresh copy, made outside the timing.
    fresh = lambda: subprocess.run(["cp", "-r", tree, out_zel], check=True)
    fresh_cp = lambda: subprocess.run(["cp", "-r", tree, out_cp], check=True)
    ratios.append(pair(f"rmtree_{files}_files", [zel, "rmtree", out_zel], ["rm", "-rf", out_cp],
                       runs, zel_before=fresh, anchor_before=fresh_cp))
    return ratios


if __name__ == "__main__":
    sys.exit(run_bench("zel_bench_tree_", bench))
