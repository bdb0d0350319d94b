#!/usr/bin/env bash
# End-to-end checks of the `zel` tool: output and exit status of each
# subcommand on small inputs.  Usage: cli_test.sh PATH/TO/zel
set -u
zel=$1
failures=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# expect NAME EXPECTED_STATUS EXPECTED_STDOUT -- COMMAND...   (stdin from $input)
input=/dev/null
expect() {
  local name=$1 want_status=$2 want_out=$3
  shift 4
  local out status
  out=$("$@" <"$input" 2>"$tmp/stderr")
  status=$?
  if [ "$status" != "$want_status" ] || [ "$out" != "$want_out" ]; then
    echo "FAIL: $name"
    echo "  command: $*"
    echo "  status $status (want $want_status)"
    echo "  stdout: $(printf '%q' "$out")"
    echo "  want:   $(printf '%q' "$want_out")"
    echo "  stderr: $(cat "$tmp/stderr")"
    failures=$((failures + 1))
  fi
}
# expect_match NAME EXPECTED_STATUS REGEX -- COMMAND...
expect_match() {
  local name=$1 want_status=$2 regex=$3
  shift 4
  local out status
  out=$("$@" <"$input" 2>&1)
  status=$?
  if [ "$status" != "$want_status" ] || ! grep -Eq -- "$regex" <<<"$out"; then
    echo "FAIL: $name (status $status, want $want_status; output does not match /$regex/)"
    echo "$out" | head -5 | sed 's/^/  /'
    failures=$((failures + 1))
  fi
}

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
expect_match "csvdelim missing file" 1 "^zel: cannot open" -- "$zel" csvdelim "$tmp/absent"
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
expect_match "tour runs" 0 'StripLTBlanks' -- "$zel" tour

if [ "$failures" -ne 0 ]; then
  echo "$failures CLI check(s) failed"
  exit 1
fi
echo "all CLI checks passed"
