#!/usr/bin/env bash
# End-to-end checks of `zel table`.  Usage: table_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

printf 'pear;3\nApple;10\nfig;2\napricot;10\n' >"$tmp/fruit.csv"
expect "table prints the rows as read" 0 $'pear;3\nApple;10\nfig;2\napricot;10' \
  -- "$zel" table "$tmp/fruit.csv"
expect "table --sort ignores ASCII case" 0 $'Apple;10\napricot;10\nfig;2\npear;3' \
  -- "$zel" table "$tmp/fruit.csv" --sort 1
expect "table --sort --desc" 0 $'pear;3\nfig;2\napricot;10\nApple;10' \
  -- "$zel" table "$tmp/fruit.csv" --sort 1 --desc
expect "table --sort with a secondary column (text order)" 0 $'Apple;10\napricot;10\nfig;2\npear;3' \
  -- "$zel" table "$tmp/fruit.csv" --sort 2,1
expect "table --find substring, case significant" 0 "1 4" -- "$zel" table "$tmp/fruit.csv" --find pri
expect "table --find after sorting" 0 "1 2" -- "$zel" table "$tmp/fruit.csv" --sort 1 --find pri
expect "table --find --exact" 0 "2 2" -- "$zel" table "$tmp/fruit.csv" --find 10 --exact
expect "table --find without a match" 1 "" -- "$zel" table "$tmp/fruit.csv" --find APPLE
expect "table --find --exact needs the whole cell" 1 "" -- "$zel" table "$tmp/fruit.csv" --find pri --exact

# Ragged rows: the table has as many columns as the longest row.
printf 'b,1\na,2,x\n' >"$tmp/ragged.csv"
input="$tmp/ragged.csv"
expect "table from stdin, ragged rows" 0 $'a,2,x\nb,1,' -- "$zel" table --sort 1
input=/dev/null
printf 'one two\nthree\n' >"$tmp/blank.txt"
expect "table --delim overrides detection" 0 $'three\none two' -- "$zel" table "$tmp/blank.txt" --delim tab --sort 1 --desc
printf 'abc\nabd x\n' >"$tmp/nodelim.txt"
expect "table without a delimiter in the first line: one column" 0 $'abd x\nabc' \
  -- "$zel" table "$tmp/nodelim.txt" --sort 1 --desc
printf 'a:b\n' >"$tmp/colon.txt"
expect "table --delim character" 0 "a:b" -- "$zel" table "$tmp/colon.txt" --delim ';'
printf 'Grüße;€\n' >"$tmp/utf8.csv"
expect "table keeps Windows-1252 characters" 0 "Grüße;€" -- "$zel" table "$tmp/utf8.csv"
expect "table empty input" 0 "" -- "$zel" table
expect "table --find on empty input" 1 "" -- "$zel" table --find x

# --xml saves instead of printing; the file reads back with the library's layout.
expect "table --xml prints nothing" 0 "" -- "$zel" table "$tmp/fruit.csv" --sort 1 --xml "$tmp/out.xml"
expect_match "table --xml writes the element" 0 '<strarray sig="ZELCSuite" vers="1.0" id="table">' \
  -- cat "$tmp/out.xml"
expect_match "table --xml: sorted rows" 0 '<cell col=1 row=2>apricot</cell>' -- cat "$tmp/out.xml"
expect_match "table --xml to a bad path" 1 "^zel: table: .*: " \
  -- "$zel" table "$tmp/fruit.csv" --xml "$tmp/no/such/dir.xml"

# A line of 2000 fields keeps every field (none dropped or cut).
fields=$(seq -s, 1 2000)
printf '%s\n' "$fields" >"$tmp/wide.csv"
expect "table keeps a line of 2000 fields whole" 0 "$fields" -- "$zel" table "$tmp/wide.csv"
# Cells are cut at 255 Windows-1252 characters; invalid UTF-8 bytes read as Windows-1252.
printf '%s,\xe9\x80\r\n' "$(printf 'x%.0s' {1..300})" >"$tmp/long.csv"
expect "table cuts a long cell at 255, reads bad bytes as Windows-1252" 0 \
  "$(printf 'x%.0s' {1..255}),é€" -- "$zel" table "$tmp/long.csv"
# A line with more fields than memory allows columns for is an error, not a
# cut (checked where a memory limit can be set: not under AddressSanitizer).
if command -v nm >/dev/null && ! nm -D "$zel" 2>/dev/null | grep -q __asan_init &&
   posix_only "a memory limit set with ulimit (Wine itself needs more room than the limit)"; then
  { seq 1 2000 | sed 's/$/,x/'; head -c 3000000 /dev/zero | tr '\0' ','; echo; } >"$tmp/huge.csv"
  expect_match "table refuses a line it cannot make columns for" 1 "line 2001 has 3000001 fields" \
    -- bash -c "ulimit -v 400000; exec '$zel' table '$tmp/huge.csv'"
fi
expect_write_error "table to a full disk" -- "$zel" table "$tmp/fruit.csv"

# Errors.
expect_match "table missing file" 1 "^zel: table: .*absent.csv: No such file" -- "$zel" table "$tmp/absent.csv"
expect_match "table column beyond the table" 1 "no column 3" -- "$zel" table "$tmp/fruit.csv" --sort 3
expect_match "table bad --sort" 2 "--sort takes" -- "$zel" table "$tmp/fruit.csv" --sort 0
expect_match "table bad --sort pair" 2 "--sort takes" -- "$zel" table "$tmp/fruit.csv" --sort 1,x
expect_match "table --desc without --sort" 2 "--desc needs --sort" -- "$zel" table "$tmp/fruit.csv" --desc
expect_match "table --exact without --find" 2 "--exact needs --find" -- "$zel" table --exact
expect_match "table bad --delim" 2 "--delim needs" -- "$zel" table --delim ab
expect_match "table unknown option" 2 "unknown option" -- "$zel" table --bogus
expect_match "table two files" 2 "too many arguments" -- "$zel" table a b

# Numbers by value; fields that cannot be stored exactly are counted and
# shown, and --strict makes them an error.
printf 'b,10\na,9\nc,-2.5\nd,x\ne,1e2\n' >"$tmp/nums.csv"
expect "table --numeric" 0 "$(printf 'c,-2.5\na,9\nb,10\ne,1e2\nd,x')" \
  -- "$zel" table "$tmp/nums.csv" --sort 2 --numeric
expect "table text sort of the same column" 0 "$(printf 'c,-2.5\nb,10\ne,1e2\na,9\nd,x')" \
  -- "$zel" table "$tmp/nums.csv" --sort 2
expect_match "table --numeric without --sort" 2 "--numeric needs --sort" -- "$zel" table "$tmp/nums.csv" --numeric
printf 'Z\xc3\xbcrich,1\n\xc5\x81\xc3\xb3d\xc5\xba,2\n\xe6\x9d\xb1\xe4\xba\xac,3\n' >"$tmp/cities.csv"
expect "table keeps what it can, warns" 0 "$(printf 'Z\xc3\xbcrich,1\n?\xc3\xb3d?,2\n??,3')" \
  -- "$zel" table "$tmp/cities.csv"
expect_match "table names the lossy fields" 0 "2 fields could not be stored exactly.*row 2 column 1: 'Łódź' became '\?ód\?'" \
  -- "$zel" table "$tmp/cities.csv"
expect "table --strict prints nothing" 1 "" -- "$zel" table "$tmp/cities.csv" --strict

finish
