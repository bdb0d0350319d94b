#!/usr/bin/env python3
"""Times `zel` commands beside the system's own tools on files this script
makes in a temporary directory (removed at the end), and prints each time
and the ratio zel / tool (below 1 means zel is faster).

Usage: bench_commands.py PATH/TO/zel [--size-mib N]

Each case runs both commands on the same file, alternating, after one
warm-up run each (so the file is in the page cache), and keeps the best of
the timed runs.  Output goes to /dev/null.
"""
import argparse
import os
import random
import shutil
import subprocess
import tempfile
import time

RUNS = 5


def best_time(argv):
    best = None
    for _ in range(RUNS):
        start = time.perf_counter()
        subprocess.run(argv, stdout=subprocess.DEVNULL, check=True)
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    return best


def compare(label, zel_argv, tool_argv):
    subprocess.run(zel_argv, stdout=subprocess.DEVNULL, check=True)
    subprocess.run(tool_argv, stdout=subprocess.DEVNULL, check=True)
    zel_t = best_time(zel_argv)
    tool_t = best_time(tool_argv)
    print(f"  {label + '/zel':<50} {zel_t * 1000:12.1f} ms")
    print(f"  {label + '/tool':<50} {tool_t * 1000:12.1f} ms")
    print(f"  ratio {label}: {zel_t / tool_t:.2f}x the tool's time "
          f"({tool_t / zel_t:.2f}x its speed)")
    return zel_t, tool_t


def make_text_file(path, size):
    """Lines of 0 to 80 characters, ending in LF, about `size` bytes."""
    rng = random.Random(13)
    words = [b"alpha", b"beta", b"gamma", b"delta", b"x", b"1234.5", b"text"]
    block = bytearray()
    while len(block) < (1 << 20):
        line = b" ".join(rng.choice(words) for _ in range(rng.randint(0, 12)))
        block += line + b"\n"
    with open(path, "wb") as f:
        written = 0
        while written < size:
            f.write(block)
            written += len(block)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zel")
    parser.add_argument("--size-mib", type=int, default=512)
    args = parser.parse_args()
    zel = os.path.abspath(args.zel)
    work = tempfile.mkdtemp(prefix="zel_bench_")
    try:
        big = os.path.join(work, "big.txt")
        small = os.path.join(work, "small.txt")
        make_text_file(big, args.size_mib << 20)
        make_text_file(small, 8 << 20)
        mib = os.path.getsize(big) >> 20
        compare(f"lines {mib} MiB vs wc -l", [zel, "lines", big], ["wc", "-l", big])
        small_t, _ = compare("tail -n 10, 8 MiB vs tail", [zel, "tail", "-n", "10", small],
                             ["tail", "-n", "10", small])
        big_t, _ = compare(f"tail -n 10, {mib} MiB vs tail", [zel, "tail", "-n", "10", big],
                           ["tail", "-n", "10", big])
        print(f"  zel tail -n 10: {mib} MiB file takes {big_t / small_t:.2f}x "
              f"the time of an 8 MiB file")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
