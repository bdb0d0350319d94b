#!/usr/bin/env bash
# End-to-end checks of `zel grep`.  Usage: grep_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

printf 'alpha 12\nbeta\nGamma 7\n' >"$tmp/a.txt"
printf 'abc\r\nxyz\n' >"$tmp/b.txt"

expect "matching lines" 0 $'alpha 12\nGamma 7' -- "$zel" grep '[0-9]+' "$tmp/a.txt"
expect "no line matches" 1 "" -- "$zel" grep 'zzz' "$tmp/a.txt"
expect "case matters" 1 "" -- "$zel" grep 'GAMMA' "$tmp/a.txt"
expect "-i folds A-Z" 0 "Gamma 7" -- "$zel" grep -i 'GAMMA' "$tmp/a.txt"
expect "beginning of line" 0 "beta" -- "$zel" grep '^b' "$tmp/a.txt"
expect "end of line, CR LF removed" 0 "abc" -- "$zel" grep 'c$' "$tmp/b.txt"
expect "several files name each line" 0 "$tmp/a.txt:alpha 12"$'\n'"$tmp/b.txt:abc" \
  -- "$zel" grep 'a[bl]' "$tmp/a.txt" "$tmp/b.txt"
expect "hexadecimal escape" 0 "beta" -- "$zel" grep '\#62e' "$tmp/a.txt"
expect "option terminator" 1 "" -- "$zel" grep -- '-i' "$tmp/a.txt"
input="$tmp/a.txt"
expect "stdin" 0 "beta" -- "$zel" grep 'et'
input=/dev/null

expect "-- before a pattern that starts with -" 1 "" -- "$zel" grep -- -h "$tmp/a.txt"
input="$tmp/a.txt"
expect "-- then - for stdin" 0 "beta" -- "$zel" grep -- et -
input=/dev/null
# A line longer than the reader's block, between short ones, and invalid UTF-8.
{ echo short; head -c 600000 /dev/zero | tr '\0' 'q'; echo 'zz'; echo; printf 'caf\xe9 q\n'; } >"$tmp/long.txt"
expect "a line longer than a read block" 0 "600003" -- sh -c "'$zel' grep 'qz' '$tmp/long.txt' | wc -c | tr -d ' '"
expect "invalid bytes are printed as their Windows-1252 characters" 0 "café q" -- "$zel" grep 'f. q' "$tmp/long.txt"
expect_write_error "grep to a full disk" -- "$zel" grep a "$tmp/a.txt"
expect "bad pattern" 2 "" -- "$zel" grep '[]' "$tmp/a.txt"
expect_match "bad pattern message" 2 \
  '^zel: Component "grep": error in regular expression - empty set$' -- "$zel" grep '[]'
expect_match "too long a pattern" 2 'more than 64 tokens' -- "$zel" grep "$(printf 'a.%.0s' {1..40})"
expect "explain" 0 $' taNormal: a\n  taMult0: (string) b\n    taSet: cd\nno errors' \
  -- "$zel" grep --explain 'ab*[dc]'
expect "explain a bad pattern" 2 $' taNormal: ab\nmismatch of group brackets' \
  -- "$zel" grep --explain 'ab)'
expect_match "missing pattern" 2 'missing PATTERN' -- "$zel" grep
expect_match "unknown option" 2 'unknown option' -- "$zel" grep -x abc
expect_match "missing file" 1 "^zel: cannot open" -- "$zel" grep abc "$tmp/absent"

finish
