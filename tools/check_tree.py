#!/usr/bin/env python3
"""Structural checks of the library's source tree, run by CTest.

  check_tree.py layers          units include only units below them
  check_tree.py exports [--fix] namespace openings carry the export rule
  check_tree.py hosts           host-specific code sits in per-host files

layers: the units start in the order of LAYERS (zel/module.h); a unit may
include its own headers and those of the units before it, never one after
it.  The graphics library (zel/graphics) may include any core unit; no core
file includes it.  Headers under a unit's internal/ folder are not
installed, so no public header includes one.  zel/testutil is for tests
and fuzz targets only.

exports: the library is built with hidden visibility (see
zel/platform/export.h).  Every opening of namespace zel in a library file
reads `namespace ZEL_EXPORT zel {`, every nested opening of zel::detail
`namespace ZEL_HIDDEN detail {` (`namespace zel::detail {` needs nothing),
and a file that uses the macros includes zel/platform/export.h.  Nothing
else carries ZEL_EXPORT: internals are never exported (tests and fuzz
targets link the library's objects; tools/check_symbols.py compares what
the built libraries export).  --fix rewrites the openings, drops
ZEL_EXPORT from declarations and adds the include.

hosts: code that calls one host's own interfaces sits in files named for
that host, beside each other: foo_posix.cpp (POSIX, Linux) and
foo_win32.cpp (Windows), foo_posix.h / foo_win32.h for headers used by
them only, foo_posix_test.cpp for tests of one host's files; CMake builds a
host's files only on that host.  A library or tool source (zel/, tools/zel/;
not tests or test helpers) that includes a header only one host has (see
HOST_HEADERS) must be that host's file, and a per-host header is included
only by files of the same host.
"""

import os
import re
import sys

ROOT = os.environ.get("ZEL_TREE_ROOT") or os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Start order of the units (zel/module.h), the platform layer first.
LAYERS = ["platform", "univconst", "zelbase", "zelcolors", "stringl", "streams",
          "htmlsupport", "dstruct", "filesys", "cpuid"]

# Uses that go against the start order but follow the units' documented
# dependencies: the colour unit reads its texts with the string library's
# trimming and number scanners.  Safe because neither start step needs the
# other (zelcolors has none; stringl's only seeds the scrambler).
ALLOWED_UPWARD = {("zelcolors", "stringl")}

GRAPHICS = "graphics"
INCLUDE_RE = re.compile(r'^\s*#\s*include\s+"(zel/[^"]+)"')


def library_files():
    """Every .h/.cpp under zel/, as paths relative to the root."""
    out = []
    for dirpath, _, names in os.walk(os.path.join(ROOT, "zel")):
        for name in names:
            if name.endswith((".h", ".cpp")):
                out.append(os.path.relpath(os.path.join(dirpath, name), ROOT))
    return sorted(out)


def unit_of(rel):
    """The unit a path under zel/ belongs to ('' for the root files)."""
    parts = rel.split("/")
    if len(parts) == 2 or parts[1] == "internal":
        return ""
    return parts[1]


def is_test(rel):
    return rel.endswith("_test.cpp")


def is_internal(rel):
    return "/internal/" in rel


def check_layers():
    errors = []
    rank = {u: i for i, u in enumerate(LAYERS)}
    for rel in library_files():
        src = unit_of(rel)
        with open(os.path.join(ROOT, rel), encoding="utf-8") as f:
            lines = f.readlines()
        for no, line in enumerate(lines, 1):
            m = INCLUDE_RE.match(line)
            if not m:
                continue
            target = m.group(1)
            dst = unit_of(target)
            where = f"{rel}:{no}: includes {target}"
            if dst == "testutil":
                if not (is_test(rel) or src == "testutil"):
                    errors.append(f"{where}: test helpers are for tests only")
                continue
            if is_internal(target) and not (is_internal(rel) or rel.endswith(".cpp")):
                errors.append(f"{where}: a public header includes an internal one, "
                              "which is not installed")
            if src in ("testutil", dst):
                continue
            if dst == GRAPHICS:
                if src != GRAPHICS:
                    errors.append(f"{where}: the core library never includes graphics")
                continue
            if src in ("", GRAPHICS):
                continue  # the root files and graphics stand on every core unit
            if dst == "":
                if target != "zel/module.h":
                    errors.append(f"{where}: units do not include the root files")
                continue
            if src not in rank or dst not in rank:
                errors.append(f"{where}: unknown unit (add it to LAYERS in tools/check_tree.py)")
                continue
            if rank[dst] > rank[src] and (src, dst) not in ALLOWED_UPWARD:
                errors.append(f"{where}: {src} starts before {dst}, so it may not use it")
    return errors


EXPORT_HEADER = "zel/platform/export.h"
PLAIN_ZEL_RE = re.compile(r"^(\s*)namespace\s+zel\s*\{")
NESTED_ZEL_RE = re.compile(r"^\s*namespace\s+zel::(\w+)")
PLAIN_DETAIL_RE = re.compile(r"^(\s*)namespace\s+detail\s*\{")
# Plain openings and what they become.
OPENING_RULES = [(PLAIN_ZEL_RE, "namespace ZEL_EXPORT zel {"),
                 (PLAIN_DETAIL_RE, "namespace ZEL_HIDDEN detail {")]
EXPORTED_DETAIL_RE = re.compile(r"^\s*namespace\s+ZEL_EXPORT\s+detail\b")
USES_MACRO_RE = re.compile(r"\bZEL_(EXPORT|HIDDEN)\b")
EXPORT_OPENING_RE = re.compile(r"^\s*namespace\s+ZEL_EXPORT\s+zel\s*\{")
DECLARED_EXPORT_RE = re.compile(r"\bZEL_EXPORT\s+")


def export_files():
    return [rel for rel in library_files()
            if not is_test(rel) and unit_of(rel) != "testutil" and rel != EXPORT_HEADER]


def add_include(lines, rel):
    """Inserts the export header's include where a zel include belongs."""
    inc = f'#include "{EXPORT_HEADER}"\n'
    own = os.path.splitext(rel)[0] + ".h"
    zel_incs = [i for i, l in enumerate(lines)
                if INCLUDE_RE.match(l) and INCLUDE_RE.match(l).group(1) != own]
    if zel_incs:
        for i in zel_incs:
            if INCLUDE_RE.match(lines[i]).group(1) > EXPORT_HEADER:
                lines.insert(i, inc)
                return
        lines.insert(zel_incs[-1] + 1, inc)
        return
    any_incs = [i for i, l in enumerate(lines) if l.lstrip().startswith("#include")]
    if any_incs:
        lines[any_incs[-1] + 1:any_incs[-1] + 1] = ["\n", inc]
        return
    for i, l in enumerate(lines):
        if l.startswith("#define"):
            lines[i + 1:i + 1] = ["\n", inc]
            return
    first_code = next(i for i, l in enumerate(lines) if not l.startswith("//"))
    lines[first_code:first_code] = [inc, "\n"]


def check_exports(fix):
    errors = []
    for rel in export_files():
        path = os.path.join(ROOT, rel)
        with open(path, encoding="utf-8") as f:
            lines = f.readlines()
        changed = False
        for no, line in enumerate(lines, 1):
            where = f"{rel}:{no}"
            rule = next((r for r in OPENING_RULES if r[0].match(line)), None)
            if rule:
                if fix:
                    lines[no - 1] = rule[0].sub(r"\1" + rule[1], line)
                    changed = True
                else:
                    errors.append(f"{where}: write '{rule[1]}'")
            elif EXPORTED_DETAIL_RE.match(line):
                errors.append(f"{where}: zel::detail is never exported as a whole")
            elif (DECLARED_EXPORT_RE.search(line) and not EXPORT_OPENING_RE.match(line)
                  and not line.lstrip().startswith("//")):
                if fix:
                    lines[no - 1] = DECLARED_EXPORT_RE.sub("", line)
                    changed = True
                else:
                    errors.append(f"{where}: only 'namespace ZEL_EXPORT zel {{' exports; tests "
                                  "reach internals through the library's objects, so drop ZEL_EXPORT")
            else:
                m = NESTED_ZEL_RE.match(line)
                if m and m.group(1) != "detail":
                    errors.append(f"{where}: open 'namespace ZEL_EXPORT zel {{' and nest "
                                  f"'namespace {m.group(1)} {{' in it")
        text = "".join(lines)
        if USES_MACRO_RE.search(text) and f'#include "{EXPORT_HEADER}"' not in text:
            if fix:
                add_include(lines, rel)
                changed = True
            else:
                errors.append(f"{rel}: uses ZEL_EXPORT/ZEL_HIDDEN without including {EXPORT_HEADER}")
        if changed:
            with open(path, "w", encoding="utf-8") as f:
                f.writelines(lines)
    return errors


# System headers that only one host has.  Headers the C runtimes of both
# hosts provide (unistd.h, fcntl.h, sys/stat.h, io.h, ...) are not listed.
HOST_HEADERS = {
    "posix": re.compile(r"^(sys/(random|resource|statvfs|wait|syscall|sysmacros|mman|socket|ioctl|"
                        r"sysinfo|xattr)\.h|spawn\.h|sched\.h|pwd\.h|grp\.h|dlfcn\.h|termios\.h|"
                        r"poll\.h|ifaddrs\.h|linux/.*|net/.*|netinet/.*)$"),
    "win32": re.compile(r"^(windows|winsock2|ws2tcpip|shellapi|shlobj|shlwapi|bcrypt|iphlpapi|"
                        r"commdlg|winioctl|winternl|objbase)\.h$", re.IGNORECASE),
}
SYSTEM_INCLUDE_RE = re.compile(r"^\s*#\s*include\s+<([^>]+)>")
QUOTED_INCLUDE_RE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
HOST_FILE_RE = re.compile(r"_(posix|win32)(_test)?\.(cpp|h)$")


def host_of(rel):
    """'posix', 'win32' or None (a file for every host)."""
    m = HOST_FILE_RE.search(rel)
    return m.group(1) if m else None


def check_hosts():
    errors = []
    files = library_files()
    for dirpath, _, names in os.walk(os.path.join(ROOT, "tools", "zel")):
        for name in names:
            if name.endswith((".h", ".cpp")):
                files.append(os.path.relpath(os.path.join(dirpath, name), ROOT))
    for rel in sorted(files):
        own = host_of(rel)
        test_code = is_test(rel) or unit_of(rel) == "testutil" if rel.startswith("zel/") else is_test(rel)
        with open(os.path.join(ROOT, rel), encoding="utf-8") as f:
            lines = f.readlines()
        for no, line in enumerate(lines, 1):
            where = f"{rel}:{no}"
            m = SYSTEM_INCLUDE_RE.match(line)
            if m and not test_code:
                for host, pattern in HOST_HEADERS.items():
                    if pattern.match(m.group(1)) and own != host:
                        errors.append(f"{where}: <{m.group(1)}> is {host} only: the code belongs "
                                      f"in a file named *_{host}.cpp (beside its other hosts' files)")
            m = QUOTED_INCLUDE_RE.match(line)
            if m:
                target_host = host_of(m.group(1))
                if target_host is not None and own != target_host:
                    errors.append(f"{where}: includes {m.group(1)}, a {target_host} file, "
                                  f"from a file for {own or 'every host'}")
    return errors


def main(argv):
    if len(argv) < 2 or argv[1] not in ("layers", "exports", "hosts"):
        print(__doc__, file=sys.stderr)
        return 2
    if argv[1] == "layers":
        errors = check_layers()
    elif argv[1] == "hosts":
        errors = check_hosts()
    else:
        errors = check_exports("--fix" in argv[2:])
    for e in errors:
        print(e, file=sys.stderr)
    if errors:
        print(f"check_tree.py {argv[1]}: {len(errors)} problem(s)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
