#!/usr/bin/env python3
"""What the shared libraries export, against the lists kept in the tree.

  check_symbols.py LIB...              compare (the `exported_symbols` test)
  check_symbols.py --update LIB|DIR... rewrite the lists from built libraries

Each library's functions and variables among its dynamic symbols
(`nm -D --defined-only`, demangled, strong definitions) must be exactly the
names in tools/exports/<library>.txt (libzel.txt, libzelgraphics.txt): one
name a line, sorted.  Type information, virtual tables and weak or unique
symbols (inline variables: emitted wherever a compiler needs them, and
marked differently by g++ and clang) are not listed, but must belong to
namespace zel like the rest.  An internal (zel::detail) name is never accepted, not even in a
list.  A new export or a removed one
makes the test fail, so that a change to the API is a deliberate, reviewed
change of the list: build, then run

  python3 tools/check_symbols.py --update build/<dir>

A name that disappears from a list breaks programs built against the
previous release: raise ZEL_SOVERSION (CMakeLists.txt) with it.
`--lists DIR` reads and writes the lists in DIR instead (tests).
"""

import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
LISTS = os.path.join(HERE, "exports")
LIBRARIES = ("libzel", "libzelgraphics")

# Symbols the toolchain adds to every shared object, and those of the
# sanitizers' instrumentation: not the library's API.
TOOLCHAIN_RE = re.compile(r"^(_init|_fini|_edata|_end|__bss_start|__(asan|odr_asan|sancov|ubsan|lsan)\w*)\b")
INTERNAL_RE = re.compile(r"\bzel::detail::")
CLASS_DATA_RE = re.compile(r"^(typeinfo name|typeinfo|vtable|VTT|guard variable) for ")
OWN_RE = re.compile(r"^((typeinfo name|typeinfo|vtable|VTT|guard variable) for |"
                    r"(virtual|non-virtual) thunk to )?zel::")
STRONG_TYPES = set("TDBRGi")  # weak (W, V, w, v) and unique (u) are vague linkage


def library_name(path):
    """libzel for .../libzel.so.0.1.0."""
    return os.path.basename(path).split(".so")[0]


def exported(path):
    """The demangled names of the defined dynamic symbols of `path`: the
    strong ones and the weak ones, as two sets."""
    out = subprocess.run(["nm", "-D", "--defined-only", "-C", path],
                         check=True, capture_output=True, text=True).stdout
    strong, weak = set(), set()
    for line in out.splitlines():
        parts = line.split(None, 2)
        if len(parts) < 3:
            continue
        kind, name = parts[1], parts[2]
        if not TOOLCHAIN_RE.match(name):
            listed = kind in STRONG_TYPES and not CLASS_DATA_RE.match(name)
            (strong if listed else weak).add(name)
    return strong, weak


def foreign(path, strong, weak):
    """Problems every export can have: internal, or not of namespace zel."""
    name = library_name(path)
    problems = [f"{name}: exports an internal symbol: {s}" for s in sorted(strong | weak)
                if INTERNAL_RE.search(s)]
    problems += [f"{name}: exports a symbol outside namespace zel: {s}" for s in sorted(strong | weak)
                 if not OWN_RE.match(s)]
    return problems


def list_path(lists, name):
    return os.path.join(lists, name + ".txt")


def read_list(path):
    with open(path, encoding="utf-8") as f:
        return {line.rstrip("\n") for line in f if line.strip()}


def compare(path, lists):
    """Problems of one library, as messages."""
    name = library_name(path)
    have, weak = exported(path)
    problems = foreign(path, have, weak)
    listed_file = list_path(lists, name)
    if not os.path.exists(listed_file):
        return problems + [f"{name}: no list {listed_file}"]
    listed = read_list(listed_file)
    problems += [f"{name}: the list holds an internal symbol: {s}" for s in sorted(listed) if INTERNAL_RE.search(s)]
    problems += [f"{name}: exported but not in the list: {s}" for s in sorted(have - listed)
                 if not INTERNAL_RE.search(s)]
    problems += [f"{name}: in the list but no longer exported: {s}" for s in sorted(listed - have)]
    return problems


def libraries_in(args):
    """LIB arguments; a directory stands for the libraries built in it."""
    paths = []
    for a in args:
        if os.path.isdir(a):
            paths += [os.path.join(a, n + ".so") for n in LIBRARIES if os.path.exists(os.path.join(a, n + ".so"))]
        else:
            paths.append(a)
    return paths


def main(argv):
    args = argv[1:]
    lists = LISTS
    update = "--update" in args
    args = [a for a in args if a != "--update"]
    if "--lists" in args:
        i = args.index("--lists")
        lists = args[i + 1]
        del args[i:i + 2]
    paths = libraries_in(args)
    if not paths:
        print(__doc__, file=sys.stderr)
        return 2
    if update:
        status = 0
        for path in paths:
            names, weak = exported(path)
            problems = foreign(path, names, weak)
            for p in problems:
                print(p, file=sys.stderr)
            if problems:
                status = 1
                continue
            with open(list_path(lists, library_name(path)), "w", encoding="utf-8") as f:
                f.writelines(s + "\n" for s in sorted(names))
            print(f"{list_path(lists, library_name(path))}: {len(names)} names")
        return status
    problems = []
    for path in paths:
        problems += compare(path, lists)
    for p in problems:
        print(p, file=sys.stderr)
    if problems:
        print("check_symbols.py: if the change of the API is meant, refresh the lists with "
              "`python3 tools/check_symbols.py --update BUILD_DIR` (see ARCHITECTURE.md)",
              file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
