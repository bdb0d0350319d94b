"""Shared by the table generators in tools/: write a generated source file,
or with --check compare a fresh rendering with the committed file."""
import difflib
import sys


def write_or_check(path, text, check, script):
    """Writes `text` to `path`, or (with `check`) prints the difference to
    the committed file and returns 1 when they differ."""
    if not check:
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)
        return 0
    try:
        with open(path, encoding="utf-8") as f:
            old_lines = f.readlines()
    except FileNotFoundError:
        old_lines = []
    diff = list(difflib.unified_diff(old_lines, text.splitlines(keepends=True),
                                     "committed", "regenerated"))
    if diff:
        sys.stdout.writelines(diff)
        print(f"{path} is out of date: run {script}", file=sys.stderr)
        return 1
    return 0
