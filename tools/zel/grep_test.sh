#!/usr/bin/env bash
# End-to-end checks of `zel grep`.  Usage: grep_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"
zel=$(realpath "$zel")  # some checks run in another directory

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
expect "bad pattern" 2 "" -- "$zel" grep '[]' "$tmp/a.txt"
expect_match "bad pattern message" 2 \
  '^zel: grep: Component "grep": error in regular expression - empty set$' -- "$zel" grep '[]'
expect_match "too long a pattern" 2 'more than 64 tokens' -- "$zel" grep "$(printf 'a.%.0s' {1..40})"
expect "explain" 0 $' taNormal: a\n  taMult0: (string) b\n    taSet: cd\nno errors' \
  -- "$zel" grep --explain 'ab*[dc]'
expect "explain a bad pattern" 2 $' taNormal: ab\nmismatch of group brackets' \
  -- "$zel" grep --explain 'ab)'
expect_match "missing pattern" 2 'missing PATTERN' -- "$zel" grep
expect_match "unknown option" 2 'unknown option' -- "$zel" grep -x abc


# Exit status as grep's: 2 for any input that cannot be read or output that
# cannot be written, even when other files matched; the others are searched.
expect "a missing file among others: the others still searched" 2 "$tmp/a.txt:beta" \
  -- "$zel" grep bet "$tmp/absent" "$tmp/a.txt"
expect_match "a missing file is named with the reason" 2 \
  "^zel: grep: $tmp/absent: No such file or directory$" -- "$zel" grep abc "$tmp/absent"
expect_match "a directory without -r" 2 "^zel: grep: $tmp: Is a directory$" -- "$zel" grep abc "$tmp"
expect "-q: a match wins over an unreadable file" 0 "" -- "$zel" grep -q bet "$tmp/absent" "$tmp/a.txt"
# Permission checks need a user the modes apply to: as root, the command
# runs as nobody (setpriv), with the scratch directory open to it.
unprivileged=()
if [ "$(id -u)" = 0 ]; then
  if command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
    unprivileged=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
    chmod 755 "$tmp"
  else
    unprivileged=(skip)
  fi
fi
if [ "${unprivileged[0]:-}" != skip ]; then
  printf 'secret\n' >"$tmp/locked.txt"
  chmod 000 "$tmp/locked.txt"
  expect_match "an unreadable file" 2 "^zel: grep: $tmp/locked.txt: Permission denied$" \
    -- ${unprivileged[@]+"${unprivileged[@]}"} "$zel" grep secret "$tmp/locked.txt"
  chmod 600 "$tmp/locked.txt"
fi
if [ -w /dev/full ]; then
  "$zel" grep a "$tmp/a.txt" >/dev/full 2>"$tmp/err"
  status=$?
  if [ "$status" != 2 ] || ! grep -q "^zel: grep: write error: No space left on device$" "$tmp/err"; then
    echo "FAIL: grep to a full disk (status $status, want 2 and the reason)"
    failures=$((failures + 1))
  fi
fi

# Escapes that mean nothing in this syntax are told once, with what they match.
printf 'd1\nabc 42\nddd\n' >"$tmp/d.txt"
expect "\\d is the letter d" 0 $'d1\nddd' -- "$zel" grep '\d+' "$tmp/d.txt"
"$zel" grep '\d+\d[\w]' "$tmp/d.txt" >/dev/null 2>"$tmp/err"
if [ "$(grep -c "'\\\\d' matches the character 'd'.*\[0-9\]" "$tmp/err")" != 1 ] ||
   [ "$(grep -c "'\\\\w' matches the character 'w'" "$tmp/err")" != 1 ] || [ "$(wc -l <"$tmp/err")" != 2 ]; then
  echo "FAIL: one warning per meaningless escape"; sed 's/^/  /' "$tmp/err"; failures=$((failures + 1))
fi
"$zel" grep '\.\#41\\d\[' "$tmp/d.txt" >/dev/null 2>"$tmp/err"
if [ -s "$tmp/err" ]; then
  echo "FAIL: quoting escapes and \\#hh are no warning"; sed 's/^/  /' "$tmp/err"; failures=$((failures + 1))
fi
expect_match "the help summarises the syntax" 0 'no classes such as \\d' -- "$zel" grep --help

# Several patterns in one pass, and what is printed per line or per file.
printf 'one foo\ntwo bar\nthree foo bar\nfour\nfive BAZ\n' >"$tmp/p.txt"
expect "-e: a line matching any pattern, once" 0 $'one foo\ntwo bar\nthree foo bar' \
  -- "$zel" grep -e foo -e bar "$tmp/p.txt"
expect "-e mixes literals and other patterns" 0 $'one foo\nfour\nfive BAZ' \
  -- "$zel" grep -e 'foo$' -e '^f' "$tmp/p.txt"
expect "-e with -i" 0 $'five BAZ' -- "$zel" grep -i -e baz -e qux "$tmp/p.txt"
expect "-n" 0 $'2:two bar\n3:three foo bar' -- "$zel" grep -n bar "$tmp/p.txt"
expect "-n with several files" 0 "$tmp/p.txt:4:four"$'\n'"$tmp/a.txt:1:alpha 12" \
  -- "$zel" grep -n -e our -e 'a 1' "$tmp/p.txt" "$tmp/a.txt"
expect "-c" 0 "$tmp/p.txt:4"$'\n'"$tmp/a.txt:0" -- "$zel" grep -c o "$tmp/p.txt" "$tmp/a.txt"
expect "-c of one file, no names" 0 "2" -- "$zel" grep -c foo "$tmp/p.txt"
expect "-l" 0 "$tmp/p.txt" -- "$zel" grep -l foo "$tmp/a.txt" "$tmp/p.txt"
expect "-H and --no-filename" 0 "$tmp/p.txt:four" -- "$zel" grep -H four "$tmp/p.txt"
expect "--no-filename" 0 "four" -- "$zel" grep --no-filename four "$tmp/p.txt" "$tmp/a.txt"
expect "-q prints nothing" 0 "" -- "$zel" grep -q four "$tmp/p.txt"
expect "-q without a match" 1 "" -- "$zel" grep -q zzz "$tmp/p.txt"
expect "--color=always marks each match" 0 \
  $'t\e[01;31m\e[Kwo\e[m\e[K \e[01;31m\e[Kba\e[m\e[Kr' \
  -- sh -c "'$zel' grep --color=always -e wo -e 'b.?' '$tmp/p.txt' | head -1"
expect "--color=auto is off in a pipe" 0 "two bar" -- "$zel" grep --color=auto two "$tmp/p.txt"
expect_match "a bad --color" 2 "auto, always or never" -- "$zel" grep --color=often a "$tmp/p.txt"

# The block search for literals gives what matching line by line gives
# (the set [o] forces the line-by-line path): CR LF, invalid UTF-8, NUL
# bytes, lines longer than a block, a last line without LF.
{
  for i in $(seq 1 3000); do printf 'line %d foo\r\n' "$i"; printf 'x\xe9foo y\n'; printf 'nothing\n'; done
  head -c 700000 /dev/zero | tr '\0' 'k'; printf 'foo\n'; printf 'a\0foo\n'; printf 'endfoo'
} >"$tmp/mix.txt"
for flags in "" "-n" "-c" "--color=always"; do
  "$zel" grep $flags foo "$tmp/mix.txt" >"$tmp/lit.out"
  "$zel" grep $flags 'fo[o]' "$tmp/mix.txt" >"$tmp/line.out"
  if ! cmp -s "$tmp/lit.out" "$tmp/line.out" || [ ! -s "$tmp/lit.out" ]; then
    echo "FAIL: literal and line search differ (flags '$flags')"; failures=$((failures + 1))
  fi
done
expect "the literal search counts lines" 0 "6003" -- "$zel" grep -c foo "$tmp/mix.txt"
expect "several literals with line numbers" 0 $'1:line 1 foo\n3:nothing' \
  -- sh -c "'$zel' grep -n -e 'line 1 ' -e nothing '$tmp/mix.txt' | head -2"

# Recursive search: the walk's order whatever the threads, links not
# followed, hidden and binary files skipped unless asked for, masks.
tree=$tmp/tree
mkdir -p "$tree/src/deep" "$tree/.git" "$tree/docs" "$tmp/outside"
for i in $(seq 1 40); do
  printf 'x %d\nneedle in %d\nneedle again %d\n' "$i" "$i" "$i" >"$tree/src/f$i.cpp"
done
printf 'needle deep\n' >"$tree/src/deep/g.h"
printf 'needle doc\n' >"$tree/docs/readme.md"
printf 'needle hidden\n' >"$tree/.git/config"
printf 'needle dotfile\n' >"$tree/.env"
printf 'needle\0binary\n' >"$tree/docs/blob.bin"
printf 'needle outside\n' >"$tmp/outside/o.txt"
ln -s "$tmp/outside" "$tree/src/linkdir"
ln -s "$tmp/outside/o.txt" "$tree/docs/link.txt"
mkfifo "$tree/docs/fifo" 2>/dev/null
printf 'needle \xff\n' >"$tree/docs/name-$(printf '\xe9').txt"
"$zel" grep -r -j1 needle "$tree" >"$tmp/r1.out"; s1=$?
"$zel" grep -r -j4 needle "$tree" >"$tmp/r4.out"; s4=$?
if [ "$s1" != 0 ] || [ "$s4" != 0 ] || ! cmp -s "$tmp/r1.out" "$tmp/r4.out"; then
  echo "FAIL: -r output depends on the threads (status $s1 $s4)"; failures=$((failures + 1))
fi
expected=$( (cd "$tree" && for f in src/f*.cpp; do printf '%s\n' "$tree/$f:needle in ${f//[^0-9]/}" "$tree/$f:needle again ${f//[^0-9]/}"; done
             printf '%s\n' "$tree/src/deep/g.h:needle deep" "$tree/docs/readme.md:needle doc"
             printf '%s:needle \xc3\xbf\n' "$tree/docs/name-$(printf '\xe9').txt") | LC_ALL=C sort)
if [ "$(LC_ALL=C sort "$tmp/r1.out")" != "$expected" ]; then
  echo "FAIL: -r finds exactly the regular, visible, text files of the tree"
  diff <(LC_ALL=C sort "$tmp/r1.out") <(printf '%s\n' "$expected") | head -10 | sed 's/^/  /'
  failures=$((failures + 1))
fi
# Each file's lines together and in order: the order of the files is the walk's.
if ! awk -F: '{ if ($1 != last) { if (seen[$1]++) bad = 1; last = $1 } } END { exit bad }' "$tmp/r1.out"; then
  echo "FAIL: -r interleaves the lines of files"; failures=$((failures + 1))
fi
expect "-r --hidden" 0 $'.env:needle dotfile\n.git/config:needle hidden' \
  -- sh -c "cd '$tree' && '$zel' grep -r --hidden needle | grep '^\\.' | LC_ALL=C sort"
expect "-r --binary" 0 "1" -- sh -c "'$zel' grep -r -l --binary needle '$tree' | grep -c 'blob.bin$'"
expect "-r without DIR: paths below ." 0 "src/deep/g.h:needle deep" \
  -- sh -c "cd '$tree' && '$zel' grep -r 'needle d' | grep deep"
expect "--glob and !--glob" 0 $'docs/readme.md:needle doc\nsrc/deep/g.h:needle deep' \
  -- sh -c "cd '$tree' && '$zel' grep -r -g '*.md' -g '*.H' needle | LC_ALL=C sort"
expect "!MASK leaves a directory out" 0 "0" \
  -- sh -c "cd '$tree' && '$zel' grep -r -g '!src' needle | grep -c src/; true"
expect "--type" 0 "41" -- sh -c "cd '$tree' && '$zel' grep -r -l -t cpp needle | wc -l | tr -d ' '"
expect_match "an unknown --type" 2 "unknown file type 'cobol'" -- "$zel" grep -r -t cobol a "$tree"
expect "-r -c counts per file" 0 "$tree/src/deep/g.h:1" -- sh -c "'$zel' grep -r -c needle '$tree' | grep deep"
expect "-r -q" 0 "" -- "$zel" grep -r -q needle "$tree"
expect "-r no match" 1 "" -- "$zel" grep -r zzzz "$tree"
expect "-r with a file operand searches it, binary or not" 0 "$tree/docs/blob.bin" \
  -- "$zel" grep -r -l needle "$tree/docs/blob.bin"
# The output file inside the searched tree is not searched (it would feed
# the search its own matches).
"$zel" grep -r 'needle d' "$tree" >"$tree/out.txt" 2>"$tmp/err"; status=$?
if [ "$status" != 2 ] || ! grep -q "^zel: grep: $tree/out.txt: input file is also the output$" "$tmp/err" ||
   [ "$(wc -l <"$tree/out.txt")" != 2 ]; then
  echo "FAIL: the output file in the tree (status $status)"; sed 's/^/  /' "$tmp/err"; failures=$((failures + 1))
fi
rm -f "$tree/out.txt"

# Files whose output is larger than what a file waiting for its turn may
# hold: the threads hand over in order, nothing is lost or interleaved.
mkdir "$tmp/big"
for i in 1 2 3 4 5; do seq 1 90000 | sed "s/^/needle $i line /" >"$tmp/big/f$i.txt"; done
"$zel" grep -r -j1 needle "$tmp/big" | md5sum >"$tmp/big1.sum"
"$zel" grep -r -j3 needle "$tmp/big" | md5sum >"$tmp/big3.sum"
lines=$("$zel" grep -r -j3 needle "$tmp/big" | awk -F: '$1 != last { files++; last = $1 } END { print NR, files }')
if ! cmp -s "$tmp/big1.sum" "$tmp/big3.sum" || [ "$lines" != "450000 5" ]; then
  echo "FAIL: large outputs of several threads ($lines)"; failures=$((failures + 1))
fi

if [ "${unprivileged[0]:-}" != skip ]; then
  mkdir "$tree/closed" && chmod 000 "$tree/closed"
  expect_match "-r: an unreadable directory is named" 2 \
    "^zel: grep: $tree/closed: Permission denied$" \
    -- ${unprivileged[@]+"${unprivileged[@]}"} "$zel" grep -r 'needle doc' "$tree"
  expect "-r: ... and the rest is searched" 2 "$tree/docs/readme.md:needle doc" \
    -- ${unprivileged[@]+"${unprivileged[@]}"} "$zel" grep -r 'needle doc' "$tree"
  chmod 700 "$tree/closed"
fi

finish
