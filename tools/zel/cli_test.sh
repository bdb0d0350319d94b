#!/usr/bin/env bash
# End-to-end checks of the `zel` tool: the command table, and output and exit
# status of the text subcommands on small inputs.  Usage: cli_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

# --- the command table -------------------------------------------------------
expect_match "version" 0 '^zel [0-9]+\.[0-9]+\.[0-9]+$' -- "$zel" --version
expect_match "help lists commands" 0 'csvdelim' -- "$zel" --help
expect_match "no arguments is a usage error" 2 'usage: zel' -- "$zel"
expect_match "unknown command" 2 '^zel: unknown command' -- "$zel" frobnicate
for cmd in $("$zel" --help | awk '/^commands:/{on=1; next} on && NF {print $1}'); do
  expect_match "$cmd --help" 0 "^usage: zel $cmd" -- "$zel" "$cmd" --help
done

# --- csvdelim -------------------------------------------------------------------
printf 'a;b;c,d\n1,2,3,4,5\n' >"$tmp/semi.csv"
expect "csvdelim file (first line only)" 0 "semicolon" -- "$zel" csvdelim "$tmp/semi.csv"
input="$tmp/semi.csv"
expect "csvdelim stdin" 0 "semicolon" -- "$zel" csvdelim
printf 'x\ty\tz\n' >"$tmp/tab.csv"; input="$tmp/tab.csv"
expect "csvdelim tab" 0 "tab" -- "$zel" csvdelim -
printf 'a;b,c\n' >"$tmp/tie.csv"
expect "csvdelim tie goes to the earlier kind" 0 "semicolon" -- "$zel" csvdelim "$tmp/tie.csv"
printf 'abc\n' >"$tmp/none.csv"
expect "csvdelim none" 0 "undefined" -- "$zel" csvdelim "$tmp/none.csv"
input=/dev/null
expect "csvdelim empty input" 0 "undefined" -- "$zel" csvdelim
# Only the first line is read: an endless stream after it does not matter.
expect "csvdelim stops after the first line" 0 "semicolon" -- sh -c 'yes "a;b" | timeout 20 "$1" csvdelim' sh "$zel"
expect_match "csvdelim missing file" 1 "^zel: csvdelim: .*absent: No such file or directory$" -- "$zel" csvdelim "$tmp/absent"
expect_match "csvdelim bad option" 2 "unknown option" -- "$zel" csvdelim --bogus

# --- words ----------------------------------------------------------------------
printf 'hello world\nab cd.\nx y z\n' >"$tmp/words.txt"
expect "words counts runs of two or more" 0 "4" -- "$zel" words "$tmp/words.txt"
printf 'Grüße aus Köln' >"$tmp/utf8.txt"
expect "words: last line without line end leaves its last run uncounted" 0 "2" \
  -- "$zel" words "$tmp/utf8.txt"
input="$tmp/words.txt"
expect "words stdin" 0 "4" -- "$zel" words

# --- tour ---------------------------------------------------------------------------
expect_match "tour runs" 0 'StripLTBlanks' -- "$zel" tour --dir "$tmp/tour"

finish
