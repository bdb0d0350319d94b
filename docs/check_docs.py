#!/usr/bin/env python3
"""Fails the documentation build on any Doxygen warning.

A public name without a comment is a warning too (WARN_IF_UNDOCUMENTED).
The names that had none when the check came in are listed in
docs/undocumented.txt, one "file: kind name" a line: those are reported
(with their number) but do not fail yet; a new undocumented name fails, and
so does a listed name that has since been documented (remove it from the
list), so the list only shrinks.  `--update` rewrites the list from the log.
Usage: check_docs.py [--update] WARNING_LOG UNDOCUMENTED_LIST
"""
import re
import sys

_UNDOC = re.compile(r'^(?P<file>\S+?):\d+: warning: (?:Member (?P<member>.+?) \((?P<kind>\w+)\) of '
                    r'(?P<scope>.+?)|Compound (?P<compound>\S+)) is not documented\.$')


def entries(log_path):
    """(undocumented names, other warnings) of a Doxygen warning log."""
    undocumented, other = set(), []
    with open(log_path, encoding='utf-8', errors='replace') as f:
        lines = f.read().splitlines()
    for line in lines:
        if not line.strip():
            continue
        m = _UNDOC.match(line)
        if not m:
            # Continuation lines of a multi-line warning start with spaces.
            other.append(line)
            continue
        path = re.sub(r'^.*?/docs-src/', '', m.group('file'))
        if m.group('compound'):
            undocumented.add('%s: class %s' % (path, m.group('compound')))
        else:
            undocumented.add('%s: %s %s in %s' % (path, m.group('kind'), m.group('member'),
                                                  m.group('scope')))
    return undocumented, other


def main():
    args = sys.argv[1:]
    update = args and args[0] == '--update'
    if update:
        args = args[1:]
    log_path, list_path = args
    undocumented, other = entries(log_path)
    if update:
        with open(list_path, 'w', encoding='utf-8') as f:
            f.write('# Public names that still have no comment; docs/check_docs.py.\n')
            f.writelines(e + '\n' for e in sorted(undocumented))
        print('check_docs: %d names listed' % len(undocumented))
        return 0
    with open(list_path, encoding='utf-8') as f:
        known = {l.strip() for l in f if l.strip() and not l.startswith('#')}
    new = sorted(undocumented - known)
    stale = sorted(known - undocumented)
    ok = True
    for line in other:
        print('docs warning: ' + line)
        ok = False
    for e in new:
        print('undocumented public name: ' + e)
        ok = False
    for e in stale:
        print('documented now, remove from %s: %s' % (list_path, e))
        ok = False
    print('check_docs: %d public names still without a comment (listed in %s)'
          % (len(undocumented & known), list_path))
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
