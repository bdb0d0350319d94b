#!/usr/bin/env bash
# End-to-end checks of the text-file subcommands: lines, tail, filetype, asc,
# crlf, findtext.  Usage: file_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

printf 'one\r\ntwo\nthree\rfour' >"$tmp/mixed.txt"
: >"$tmp/empty"
seq 1 2500 >"$tmp/seq.txt"

# --- lines ------------------------------------------------------------------------
expect "lines: every line end, last line without one" 0 "4  $tmp/mixed.txt" -- "$zel" lines "$tmp/mixed.txt"
expect "lines agrees with wc -l on LF text" 0 "$(wc -l <"$tmp/seq.txt")  $tmp/seq.txt" -- "$zel" lines "$tmp/seq.txt"
expect "lines: several files and a total" 0 "0  $tmp/empty
2500  $tmp/seq.txt
2500  total" -- "$zel" lines "$tmp/empty" "$tmp/seq.txt"
input="$tmp/mixed.txt"
expect "lines of stdin" 0 "4  -" -- "$zel" lines
input=/dev/null
expect "lines: a missing file fails, the others are counted" 1 "4  $tmp/mixed.txt
4  total" -- "$zel" lines "$tmp/absent" "$tmp/mixed.txt"
expect_match "lines: missing file message" 1 "^zel: lines: .*absent: No such file or directory$" -- "$zel" lines "$tmp/absent"
expect_match "lines: a directory" 1 "^zel: lines: .*: Is a directory$" -- "$zel" lines "$tmp"
expect_write_error "lines on a full disk" -- "$zel" lines "$tmp/seq.txt"
printf 'x' >"$tmp/-n"
expect "lines: -- ends the options" 0 "1  -n" -- sh -c "cd '$tmp' && '$zel_abs' lines -- -n"

# --- tail -------------------------------------------------------------------------
expect "tail default 10 lines" 0 "$(tail -n 10 "$tmp/seq.txt")" -- "$zel" tail "$tmp/seq.txt"
expect "tail -n 3" 0 "$(printf 'two\nthree\nfour')" -- "$zel" tail -n 3 "$tmp/mixed.txt"
expect "tail -n larger than the file" 0 "$(printf 'one\ntwo\nthree\nfour')" -- "$zel" tail -n 99 "$tmp/mixed.txt"
expect "tail -n 0" 0 "" -- "$zel" tail -n 0 "$tmp/seq.txt"
expect "tail of an empty file" 0 "" -- "$zel" tail "$tmp/empty"
input="$tmp/seq.txt"
expect "tail of stdin" 0 "$(printf '2499\n2500')" -- "$zel" tail -n 2 -
expect "tail -n 0 of stdin" 0 "" -- "$zel" tail -n 0 -
expect "tail of stdin shorter than -n" 0 "$(seq 2500)" -- "$zel" tail -n 3000 -
input=/dev/null
# One long line of 1 MiB before the last lines: read from the end all the same.
{ head -c 1048576 /dev/zero | tr '\0' x; printf '\nend1\r\nend2\r\n'; } >"$tmp/long.txt"
expect "tail after a long line" 0 "$(printf 'end1\nend2')" -- "$zel" tail -n 2 "$tmp/long.txt"
expect_match "tail -n needs a number" 2 "lines" -- "$zel" tail -n x "$tmp/seq.txt"
expect_match "tail takes one file" 2 "too many arguments" -- "$zel" tail "$tmp/seq.txt" "$tmp/seq.txt"
expect_match "tail missing file" 1 "^zel: tail: .*absent: No such file or directory$" -- "$zel" tail "$tmp/absent"

# --- filetype ---------------------------------------------------------------------
printf '\xef\xbb\xbfhello' >"$tmp/u8.txt"
printf '\xff\xfeh\0' >"$tmp/u16le.txt"
printf '\xff\xfe' >"$tmp/short.txt"
printf '{\\rtf1 x}' >"$tmp/doc.rtf"
expect "filetype" 0 "UTF-8  $tmp/u8.txt
UTF-16LE  $tmp/u16le.txt
UTF-32LE  $tmp/short.txt
RTF  $tmp/doc.rtf
unknown  $tmp/empty" -- "$zel" filetype "$tmp/u8.txt" "$tmp/u16le.txt" "$tmp/short.txt" "$tmp/doc.rtf" "$tmp/empty"
expect_match "filetype missing file" 1 "^zel: filetype: .*absent: No such file" -- "$zel" filetype "$tmp/absent"

# --- asc --------------------------------------------------------------------------
printf 'Calibration\r\n10\r\n3\r\ntrue FALSE TRUE false\r\n1 2 3\r\n' >"$tmp/good.asc"
expect "asc header" 0 "comment: Calibration
count 1: 10
count 2: 3
flags: TRUE FALSE TRUE FALSE" -- "$zel" asc "$tmp/good.asc"
printf 'C\n10\n3\ntrue\ttrue\ttrue\tfalse\n' >"$tmp/tabs.asc"
expect "asc file: tabs separate flags" 0 "comment: C
count 1: 10
count 2: 3
flags: TRUE TRUE TRUE FALSE" -- "$zel" asc "$tmp/tabs.asc"
input="$tmp/tabs.asc"
expect_match "asc stdin reads as a stream: tabs do not" 1 "line 4" -- "$zel" asc -
input=/dev/null
printf 'C\n0\n3\ntrue true true true\n' >"$tmp/zero.asc"
expect_match "asc bad first count" 1 "^zel: asc: .*zero.asc: line 2" -- "$zel" asc "$tmp/zero.asc"
printf 'C\n4\nx\n' >"$tmp/nob.asc"
expect_match "asc bad second count" 1 "line 3" -- "$zel" asc "$tmp/nob.asc"
expect_match "asc missing file" 1 "^zel: asc: .*absent: No such file" -- "$zel" asc "$tmp/absent"

# --- crlf -------------------------------------------------------------------------
printf 'a\rb\nc\r\nd\r' >"$tmp/fix.txt"
chmod 640 "$tmp/fix.txt"
expect "crlf in place" 0 "" -- "$zel" crlf "$tmp/fix.txt"
expect "crlf result" 0 "$(printf 'a\r\nb\nc\r\nd\r\n' | od -An -c)" -- od -An -c "$tmp/fix.txt"
expect "crlf keeps the permissions" 0 "640" -- stat -c %a "$tmp/fix.txt"
expect "crlf leaves no temporary file" 0 "fix.txt" -- sh -c "ls -A '$tmp' | grep fix"
# With a file-size limit the rewrite fails half way: the original stays.
head -c 300000 /dev/zero | tr '\0' '\r' >"$tmp/big.txt"
cp "$tmp/big.txt" "$tmp/big.orig"
expect_match "crlf failure is reported" 1 "^zel: crlf: .*big.txt: File too large" -- \
  bash -c "trap '' XFSZ; ulimit -f 200; exec '$zel' crlf '$tmp/big.txt'"
expect "crlf failure leaves the original" 0 "" -- cmp "$tmp/big.txt" "$tmp/big.orig"
expect "crlf failure leaves no temporary file" 0 "0" -- sh -c "ls -A '$tmp' | grep '^\.big' | wc -l"
expect_match "crlf missing file" 1 "^zel: crlf: .*absent: No such file" -- "$zel" crlf "$tmp/absent"
expect_match "crlf refuses stdin" 2 "stdin" -- "$zel" crlf -

# --- findtext ---------------------------------------------------------------------
printf 'hello world\r\nHello World\n\xc3\x84rger\n' >"$tmp/find.txt"
expect "findtext" 0 "2:7:Hello World" -- "$zel" findtext World "$tmp/find.txt"
expect "findtext -i" 0 "1:7:hello world" -- "$zel" findtext -i WORLD "$tmp/find.txt"
expect "findtext -i beyond ASCII" 0 "3:1:Ärger" -- "$zel" findtext -i "är" "$tmp/find.txt"
expect "findtext no match" 1 "" -- "$zel" findtext absent "$tmp/find.txt"
expect_match "findtext needs TEXT" 2 "missing TEXT" -- "$zel" findtext
# findtext answers "no match" with 1, so its errors are 2, as grep's.
expect_match "findtext missing file" 2 "^zel: findtext: .*absent: No such file" -- "$zel" findtext x "$tmp/absent"

# --- names that are not UTF-8 -----------------------------------------------------
# "caf\xe9.txt" (Latin-1) beside "café.txt" (UTF-8): each command reaches the
# file it was given, and prints its name as the same bytes.
latin="$tmp/caf"$'\xe9'".txt"
printf 'latin\n' >"$latin"
printf 'utf8\r' >"$tmp/café.txt"
expect "tail of a Latin-1 name reads that file" 0 "latin" -- "$zel" tail "$latin"
expect "findtext in a Latin-1 name" 0 "1:1:latin" -- "$zel" findtext latin "$latin"
expect "lines prints the name's own bytes" 0 "1  $latin" -- "$zel" lines "$latin"
printf 'latin\r' >"$latin"
"$zel" crlf "$latin"
expect "crlf rewrote the Latin-1 name" 0 "$(printf 'latin\r\n' | od -c)" -- sh -c 'od -c <"$1"' sh "$latin"
expect "crlf left the UTF-8 neighbour alone" 0 "$(printf 'utf8\r' | od -c)" -- sh -c 'od -c <"$1"' sh "$tmp/café.txt"
expect "a missing Latin-1 name is named in the message" 0 "zel: tail: $latin.x: No such file or directory" -- sh -c '"$1" tail "$2" 2>&1 >/dev/null; true' sh "$zel" "$latin.x"

finish
