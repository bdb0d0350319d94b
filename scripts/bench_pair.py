#!/usr/bin/env python3
"""Times two shell commands that do the same work, alternately, and prints
the median of each, their peak memory and the ratio of the medians
(first / second; below 1 means the first is faster).

  bench_pair.py [--cpu] LABEL 'zel grep abc big.txt | cat >/dev/null' \
                            'grep -E abc big.txt | cat >/dev/null' [RUNS]

With --cpu the times compared are CPU times (user + system of every
process of the command) instead of wall times.

Peak memory is the largest resident size among the processes of the
command (a pipeline's biggest one), measured by GNU time (/usr/bin/time)
where it is installed: a process started from Python itself would inherit
the interpreter's size in the kernel's count."""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

TIME = shutil.which("time", path="/usr/bin:/bin")


def cpu_of_children():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def run(cmd, cpu=False):
    with tempfile.NamedTemporaryFile("r") as peak:
        argv = ["sh", "-c", cmd]
        if TIME:
            argv = [TIME, "-f", "%M", "-o", peak.name] + argv
        start = cpu_of_children() if cpu else time.perf_counter()
        status = subprocess.call(argv)
        elapsed = (cpu_of_children() if cpu else time.perf_counter()) - start
        if status not in (0, 1):  # 1: no match, still a finished run
            sys.exit(f"'{cmd}' failed with status {status}")
        text = peak.read().strip().splitlines()
        return elapsed, (int(text[-1]) / 1024.0 if TIME and text else float("nan"))


def main():
    args = sys.argv[1:]
    cpu = bool(args) and args[0] == "--cpu"
    if cpu:
        args = args[1:]
    label, first, second = args[0:3]
    runs = int(args[3]) if len(args) > 3 else 5
    times = ([], [])
    peaks = [0.0, 0.0]
    for _ in range(runs):
        for i, cmd in enumerate((first, second)):
            t, mem = run(cmd, cpu)
            times[i].append(t)
            peaks[i] = max(peaks[i], mem)
    a, b = statistics.median(times[0]), statistics.median(times[1])
    unit = "s cpu" if cpu else "s"
    print(f"  {label:<34} {a:7.3f} {unit} {peaks[0]:8.1f} MiB | {b:7.3f} {unit} {peaks[1]:8.1f} MiB"
          f" | ratio {a / b:.2f}x")


if __name__ == "__main__":
    main()
