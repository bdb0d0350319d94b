#!/usr/bin/env python3
"""Prints each benchmark's time and, for every pair named `X/zel` and
`X/anchor`, the ratio zel / anchor (below 1 means the library is faster)."""
import json
import sys

with open(sys.argv[1]) as f:
    runs = [b for b in json.load(f)["benchmarks"] if b.get("run_type") != "aggregate"]

times = {b["name"]: b["real_time"] for b in runs}
unit = {b["name"]: b["time_unit"] for b in runs}
for name, t in times.items():
    print(f"  {name:<50} {t:12.1f} {unit[name]}")
for name, t in times.items():
    if "/zel" in name:
        anchor = name.replace("/zel", "/anchor")
        if anchor in times:
            print(f"  ratio {name.replace('/zel', '')}: {t / times[anchor]:.2f}x the anchor")
