#!/usr/bin/env python3
"""Checks the generated manual page and shell completions of `zel` against
the tool itself:

  docs_check.py PATH/TO/zel DOC_DIR

- `man -l` and `groff -ww` render zel.1 without a warning;
- every command `zel --help` lists (the drawing helper's included) has a
  section in the page and an entry in each completion file, and each lists
  exactly the options `zel CMD --help` prints;
- the bash completion completes commands and options when run in bash, and
  the zsh and fish files parse (when those shells are installed).
"""
import os
import re
import shutil
import subprocess
import sys

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def run(argv, **kw):
    return subprocess.run(argv, capture_output=True, text=True, **kw)


def commands_of(zel):
    text = run([zel, "--help"]).stdout
    names = []
    seen = False
    for line in text.splitlines():
        if line == "commands:":
            seen = True
        elif seen and line.startswith("  "):
            names.append(line.split()[0])
    return names


def options_of(zel, command):
    """The flags `zel COMMAND --help` declares: {'-i', '--ignore-case', ...}."""
    text = run([zel, command, "--help"]).stdout
    flags = set()
    seen = False
    for line in text.splitlines():
        if line == "options:":
            seen = True
            continue
        if not seen or not line.startswith("  "):
            continue
        forms = re.split(r"\s{2,}", line.strip())[0]
        for form in forms.split(", "):
            flags.add(form.split()[0])
    return flags


def main():
    zel, doc = sys.argv[1], sys.argv[2]
    page = os.path.join(doc, "zel.1")
    man_text = open(page).read()
    bash_text = open(os.path.join(doc, "zel.bash")).read()
    zsh_text = open(os.path.join(doc, "_zel")).read()
    fish_text = open(os.path.join(doc, "zel.fish")).read()

    # Rendering without warnings.
    groff = run(["groff", "-ww", "-man", "-Tutf8", "-z", page])
    if groff.returncode != 0 or groff.stderr:
        fail("groff -ww warns about zel.1: " + groff.stderr.strip()[:500])
    if shutil.which("man"):
        env = dict(os.environ, MANWIDTH="80")
        env.pop("MAN_KEEP_FORMATTING", None)
        man = run(["man", "--warnings", "-l", page], env=env)
        if man.returncode != 0 or man.stderr or "grep" not in man.stdout:
            fail("man -l zel.1: status %d: %s" % (man.returncode, man.stderr.strip()[:500]))

    commands = commands_of(zel)
    if len(commands) < 20 or "grep" not in commands:
        fail("zel --help lists too few commands: %r" % commands)
    # Sections of the page, case branches of bash and zsh, fish conditions.
    man_sections = dict(re.findall(r'^\.SS "([^"]*)"\n(.*?)(?=^\.SS |^\.SH )', man_text, re.M | re.S))
    bash_lines = dict(re.findall(r"^    (\S+)\) options='([^']*)'", bash_text, re.M))
    zsh_cases = dict(re.findall(r"^    (\S+)\)\n(.*?)\n      ;;", zsh_text, re.M | re.S))
    for command in commands:
        flags = options_of(zel, command)
        if "--help" not in flags:
            fail("zel %s --help lists no options" % command)
            continue
        section = man_sections.get(command.replace("-", "\\-"))
        if section is None:
            fail("zel.1 has no section for %s" % command)
        else:
            page_flags = set(f.replace("\\-", "-") for f in re.findall(r"\\fB((?:\\-)+(?:\\-|[^\\ ])+)\\fR", section))
            if page_flags != flags:
                fail("zel.1, %s: options %s, --help %s" % (command, sorted(page_flags), sorted(flags)))
        if set(bash_lines.get(command, "").split()) != flags:
            fail("zel.bash, %s: options %r, --help %s" % (command, bash_lines.get(command), sorted(flags)))
        zsh_flags = set(re.findall(r"'\*(--?[\w-]+)", zsh_cases.get(command, "")))
        if zsh_flags != flags:
            fail("_zel, %s: options %s, --help %s" % (command, sorted(zsh_flags), sorted(flags)))
        fish_flags = set()
        condition = "'__fish_seen_subcommand_from %s'" % command
        for line in fish_text.splitlines():
            if condition in line:
                fish_flags.update("-" + s for s in re.findall(r" -s (\S)", line))
                fish_flags.update("--" + l for l in re.findall(r" -l (\S+)", line))
        if fish_flags != flags:
            fail("zel.fish, %s: options %s, --help %s" % (command, sorted(fish_flags), sorted(flags)))
        if "complete -c zel -n __fish_use_subcommand -a '%s'" % command not in fish_text:
            fail("zel.fish does not offer the command %s" % command)

    # The bash completion at work.
    script = os.path.join(doc, "zel.bash")
    probe = ('source "$1"; COMP_WORDS=(zel gre); COMP_CWORD=1; _zel; echo "${COMPREPLY[*]}";'
             ' COMP_WORDS=(zel grep --line-n); COMP_CWORD=2; _zel; echo "${COMPREPLY[*]}"')
    out = run(["bash", "-c", probe, "bash", script]).stdout.splitlines()
    if out != ["grep", "--line-number"]:
        fail("bash completion: %r" % out)
    for shell, path in (("zsh", "_zel"), ("fish", "zel.fish")):
        if shutil.which(shell):
            check = run([shell, "-n", os.path.join(doc, path)])
            if check.returncode != 0:
                fail("%s -n %s: %s" % (shell, path, check.stderr.strip()[:300]))
        else:
            print("skipped: %s is not installed, %s checked by its listing only" % (shell, path))
    if shutil.which("fish"):
        probe = "source %s; complete -C 'zel gre'; complete -C 'zel grep --line'" % os.path.join(doc, "zel.fish")
        out = [l.split("\t")[0] for l in run(["fish", "-c", probe]).stdout.splitlines()]
        if out != ["grep", "--line-number"]:
            fail("fish completion: %r" % out)

    if failures:
        print("%d documentation check(s) failed" % len(failures))
        sys.exit(1)
    print("all documentation checks passed")


if __name__ == "__main__":
    main()
