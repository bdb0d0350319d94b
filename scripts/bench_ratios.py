#!/usr/bin/env python3
"""Prints each benchmark's time and, for every pair named `X/zel` and
`X/anchor`, the ratio zel / anchor (below 1 means the library is faster)."""
import json
import sys

with open(sys.argv[1]) as f:
    benchmarks = json.load(f)["benchmarks"]
# With repetitions, the median of each benchmark; otherwise its one run.
runs = [b for b in benchmarks if b.get("aggregate_name") == "median"]
for b in runs:
    b["name"] = b["run_name"]
if not runs:
    runs = [b for b in benchmarks if b.get("run_type") != "aggregate"]

# Processor time: the benchmarks run on one thread, and on a shared machine
# the wall-clock time also counts the waits for other processes.
times = {b["name"]: b["cpu_time"] for b in runs}
unit = {b["name"]: b["time_unit"] for b in runs}
for name, t in times.items():
    print(f"  {name:<50} {t:12.1f} {unit[name]}")
for name, t in times.items():
    if "/zel" in name:
        anchor = name.replace("/zel", "/anchor")
        if anchor in times:
            print(f"  ratio {name.replace('/zel', '')}: {t / times[anchor]:.2f}x the anchor")
        # Further engines beside the anchor (`X/re2`, `X/hyperscan`, ...).
        base, _, tag = name.partition("/zel")
        if tag == "":
            for other, to in times.items():
                head, _, what = other.partition("/")
                if head == base and what and not what.startswith(("zel", "anchor")):
                    print(f"  ratio {base} vs {what}: {t / to:.2f}x")
# Benchmarks run at several sizes (`X/zel/N`): how the time grows from one
# size to the next (about N2/N1 for work that grows linearly).
sizes = {}
for name, t in times.items():
    base, _, arg = name.rpartition("/")
    if "/zel" in base and arg.isdigit():
        sizes.setdefault(base, []).append((int(arg), t))
for base, runs in sizes.items():
    runs.sort()
    steps = ", ".join(f"{a}->{b}: {tb / ta:.2f}x" for (a, ta), (b, tb) in zip(runs, runs[1:]))
    if steps:
        print(f"  growth {base.replace('/zel', '')}: {steps}")
