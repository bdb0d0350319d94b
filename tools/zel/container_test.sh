#!/usr/bin/env bash
# End-to-end checks of the container subcommands: perm, comb, count, featmat.
# Usage: container_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

# --- perm -------------------------------------------------------------------------
expect "perm 3 in the library's order" 0 $'1 2 3\n2 1 3\n2 3 1\n1 3 2\n3 1 2\n3 2 1' -- "$zel" perm 3
expect "perm 1" 0 "1" -- "$zel" perm 1
expect_match "perm 10 prints 10! lines" 0 '^3628800$' -- bash -c "\"$zel\" perm 10 | wc -l | tr -d ' '"
expect_match "perm 10 has no repeated line" 0 '^3628800$' -- bash -c "\"$zel\" perm 10 | sort -u | wc -l | tr -d ' '"
expect_match "perm 11 is refused" 2 "N must be a number from 1 to 10" -- "$zel" perm 11
expect_match "perm 0 is refused" 2 "N must be" -- "$zel" perm 0
expect_match "perm x is refused" 2 "N must be" -- "$zel" perm x
expect_match "perm without N" 2 "expects one argument" -- "$zel" perm
expect_write_error "perm to a full disk" -- "$zel" perm 9

# --- comb -------------------------------------------------------------------------
expect "comb 2 4" 0 $'1 2\n1 3\n1 4\n2 3\n2 4\n3 4' -- "$zel" comb 2 4
expect "comb 3 3" 0 "1 2 3" -- "$zel" comb 3 3
expect_match "comb 5 of 12 is C(12,5) lines" 0 '^792$' -- bash -c "\"$zel\" comb 5 12 | wc -l | tr -d ' '"
expect_match "comb K > N" 2 "K must be a number from 1 to N" -- "$zel" comb 4 3
expect_match "comb N > 255" 2 "N must be a number from 1 to 255" -- "$zel" comb 1 256
expect_match "comb one argument" 2 "expects two arguments" -- "$zel" comb 2

# --- count ------------------------------------------------------------------------
printf 'b\na\nb\nB\r\nb' >"$tmp/lines.txt"
expect "count in order of first appearance" 0 $'      3 b\n      1 a\n      1 B' -- "$zel" count "$tmp/lines.txt"
input="$tmp/lines.txt"
expect "count stdin" 0 $'      3 b\n      1 a\n      1 B' -- "$zel" count
expect "count -" 0 $'      3 b\n      1 a\n      1 B' -- "$zel" count -
input=/dev/null
expect "count empty input" 0 "" -- "$zel" count
printf '\n\nGrüße\nGrüße\n' >"$tmp/utf8.txt"
expect "count empty lines and UTF-8" 0 $'      2 \n      2 Grüße' -- "$zel" count "$tmp/utf8.txt"
# Lines that straddle the reader's 1 MiB blocks, checked against sort | uniq -c.
awk 'BEGIN { for (i = 0; i < 150000; i++) printf "line %d %s\n", i % 977, (i % 3 ? "x" : "yy") }' >"$tmp/big.txt"
"$zel" count "$tmp/big.txt" | sort >"$tmp/zel.out"
sort "$tmp/big.txt" | uniq -c | sort >"$tmp/uniq.out"
expect "count agrees with sort | uniq -c" 0 "" -- diff "$tmp/zel.out" "$tmp/uniq.out"
# A line is held whole to be counted: one longer than 64 MiB is refused
# with its number and the limit instead of growing memory without bound.
{ printf 'a\n'; head -c 67108865 /dev/zero | tr '\0' x; printf '\nb\n'; } >"$tmp/huge-line.txt"
expect_match "count refuses a line over 64 MiB" 1 "^zel: count: .*huge-line.txt: line 2 is longer than 67108864 bytes" \
  -- "$zel" count "$tmp/huge-line.txt"
expect_match "text refuses a line over 64 MiB" 1 "^zel: text: .*huge-line.txt: line 2 is longer than 67108864 bytes" \
  -- "$zel" text --reverse "$tmp/huge-line.txt"
rm -f "$tmp/huge-line.txt"
expect_match "count missing file" 1 "^zel: count: .*absent: No such file" -- "$zel" count "$tmp/absent"
expect_match "count bad option" 2 "unknown option" -- "$zel" count --bogus

# --- featmat ----------------------------------------------------------------------
printf '#featdef 2 1\r\n1 fplFeatNum 10\r\n1 fplFeatName count\r\n1 fplFeatKind fkInteger\r\n1 fplComment how many\r\n1 fplPresets \r\n1 fplSorted TRUE\r\n2 fplFeatNum 11\r\n2 fplFeatName label\r\n2 fplFeatKind fkString\r\n2 fplComment \r\n2 fplPresets \r\n2 fplSorted FALSE\r\n#featvals 2 2\r\n1 1 42\r\n2 1 a, "b"\r\n1 2 -7\r\n#featend\r\n' >"$tmp/m.fmx"
expect "featmat table" 0 "definitions (2 features)
feature  number  name   kind       sorted  comment   presets
1        10      count  fkInteger  TRUE    how many
2        11      label  fkString   FALSE

values (2 objects)
object  count  label
1       42     a, \"b\"
2       -7" -- "$zel" featmat "$tmp/m.fmx"
expect "featmat csv" 0 'feature,number,name,kind,sorted,comment,presets
1,10,count,fkInteger,TRUE,how many,
2,11,label,fkString,FALSE,,

object,count,label
1,42,"a, ""b"""
2,-7,' -- "$zel" featmat "$tmp/m.fmx" --csv
printf 'nothing here\n' >"$tmp/none.fmx"
expect_match "featmat without a matrix" 1 "holds no feature matrix" -- "$zel" featmat "$tmp/none.fmx"
printf '#featvals x 2\n' >"$tmp/bad.fmx"
expect_match "featmat format error" 1 "read or format error" -- "$zel" featmat "$tmp/bad.fmx"
expect_match "featmat missing file" 1 "^zel: featmat: .*absent.fmx: " -- "$zel" featmat "$tmp/absent.fmx"
input="$tmp/m.fmx"
expect "featmat reads stdin without FILE" 0 "$("$zel" featmat "$tmp/m.fmx" --csv)" -- "$zel" featmat --csv
expect "featmat reads stdin for -" 0 "$("$zel" featmat "$tmp/m.fmx")" -- "$zel" featmat -
input=/dev/null
expect_match "featmat: stdin without a matrix" 1 "^zel: featmat: standard input: holds no feature matrix$" -- "$zel" featmat
expect_match "featmat bad option" 2 "unknown option" -- "$zel" featmat "$tmp/m.fmx" --tsv

expect_write_error "perm to a full disk" -- "$zel" perm 3

finish
