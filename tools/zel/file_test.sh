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

# -n +K, -n -N and the obsolete -N agree with coreutils' tail on a file, and
# on the same bytes through a pipe (read forwards).
for args in "-n +1" "-n +2" "-n +2500" "-n +2501" "-n +0" "-n -3" "-7" "-0" "-n 1"; do
  # shellcheck disable=SC2086
  want=$(tail $args "$tmp/seq.txt")
  # shellcheck disable=SC2086
  expect "tail $args" 0 "$want" -- "$zel" tail $args "$tmp/seq.txt"
  # shellcheck disable=SC2086
  expect "tail $args of a pipe" 0 "$want" -- sh -c "cat '$tmp/seq.txt' | '$zel' tail $args"
done
expect "tail -- -2 names a file" 1 "" -- "$zel" tail -- -2
expect_match "tail -2 with -n is ambiguous" 2 "either -N or -n N" -- "$zel" tail -2 -n 3 "$tmp/seq.txt"
expect_match "tail -n bad" 2 "needs N, \+K or -N" -- "$zel" tail -n +x "$tmp/seq.txt"
# Line ends of every kind, a byte-order mark, a last line without a line
# end, invalid UTF-8: the same lines from the end of a file, from a pipe and
# from line 1 on.
printf '\xef\xbb\xbfbom\rcr\r\ncrlf\n\ncaf\xe9\nlast' >"$tmp/ends.txt"
all=$(printf 'bom\ncr\ncrlf\n\ncafé\nlast')
expect "tail: all kinds of line ends" 0 "$all" -- "$zel" tail -n 99 "$tmp/ends.txt"
expect "tail +1: all kinds of line ends" 0 "$all" -- "$zel" tail -n +1 "$tmp/ends.txt"
expect "tail of a pipe: all kinds of line ends" 0 "$all" -- sh -c "cat '$tmp/ends.txt' | '$zel' tail -n 99"
expect "tail -n 5 stops after the byte-order mark's line" 0 "$(printf 'cr\ncrlf\n\ncafé\nlast')" \
  -- "$zel" tail -n 5 "$tmp/ends.txt"
# A CR LF cut by the 64 KiB block boundary: of the backward reader (the LF
# opens the last block) and of the forward one (the CR ends the first block).
{ printf 'a\r\n'; head -c 65534 /dev/zero | tr '\0' b; printf '\n'; } >"$tmp/cut.txt"
expect "tail: CR LF across a block boundary, from the end" 0 "a" -- sh -c "'$zel' tail -n 2 '$tmp/cut.txt' | head -1"
{ head -c 65535 /dev/zero | tr '\0' a; printf '\r\nb\n'; } >"$tmp/cut2.txt"
expect "tail: CR LF across a block boundary, forwards" 0 "65536 b" -- \
  sh -c "cat '$tmp/cut2.txt' | '$zel' tail -n 2 | head -1 | wc -c | tr '\n' ' '; cat '$tmp/cut2.txt' | '$zel' tail -n 2 | tail -n 1"
# A file whose size the kernel gives as 0 is read forwards.
if [ -r /proc/self/status ]; then
  expect_match "tail of /proc/self/status" 0 "^voluntary_ctxt_switches:" -- sh -c "'$zel' tail -n 2 /proc/self/status | head -1"
fi
# stdin when no FILE; a closed stdin is EBADF, not a missing file.
input="$tmp/seq.txt"
expect "tail reads stdin without FILE" 0 "$(printf '2499\n2500')" -- "$zel" tail -n 2
input=/dev/null
# (Wine stands in its own descriptors for the closed ones of a POSIX
# parent, so there it is not the tool's own handling that is checked.)
posix_only "closed standard descriptors" &&
for cmd in "lines" "tail" "asc" "filetype" "findtext x" "featmat" "csvdelim" "base64" "count" "urlencode"; do
  # shellcheck disable=SC2086
  want=1; [ "$cmd" = "findtext x" ] && want=2
  # shellcheck disable=SC2086
  expect_match "$cmd with stdin closed" $want "^zel: ${cmd%% *}: standard input: Bad file descriptor$" -- \
    sh -c "exec '$zel' $cmd <&-"
done
# With stdout closed nothing this process opens takes its place: the output
# meant for stdout is a write error, never written into a file.
printf 'a\rb' >"$tmp/closed-out.txt"
if posix_only "closed standard descriptors"; then
  expect_match "stdout closed: a write error" 1 "write error: Bad file descriptor" -- \
    sh -c "exec '$zel' lines '$tmp/closed-out.txt' >&-"
  expect "stdout closed: crlf still rewrites only its file" 0 "$(printf 'a\r\nb' | od -c)" -- \
    sh -c "'$zel' crlf '$tmp/closed-out.txt' >&- 2>/dev/null; od -c <'$tmp/closed-out.txt'"
fi

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
posix_only "crlf keeps the permission bits" &&
  expect "crlf keeps the permissions" 0 "640" -- stat -c %a "$tmp/fix.txt"
expect "crlf leaves no temporary file" 0 "fix.txt" -- sh -c "ls -A '$tmp' | grep fix"
# With a file-size limit the rewrite fails half way: the original stays.
head -c 300000 /dev/zero | tr '\0' '\r' >"$tmp/big.txt"
cp "$tmp/big.txt" "$tmp/big.orig"
posix_only "a file size limit set with ulimit -f" &&
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
input="$tmp/find.txt"
expect "findtext reads stdin without FILE" 0 "2:7:Hello World" -- "$zel" findtext World
expect "findtext reads stdin for -" 0 "3:1:Ärger" -- "$zel" findtext -i ÄR -
input=/dev/null
# Lines are searched in blocks: a TEXT across the 64 KiB block boundary, a
# position beyond it, a lone CR as a line end, and a matching line longer
# than the 1 MiB kept for printing, from a file (read again) and from a pipe
# (refused, 2).
{ printf 'x\r'; head -c 65530 /dev/zero | tr '\0' a; printf 'NEEDLE end\nnext\n'; } >"$tmp/block.txt"
expect "findtext across a block boundary" 0 "2:65531:$(head -c 65530 /dev/zero | tr '\0' a)NEEDLE end" \
  -- "$zel" findtext NEEDLE "$tmp/block.txt"
expect "findtext -i across a block boundary" 0 "65531" -- sh -c "'$zel' findtext -i needle '$tmp/block.txt' | cut -d: -f2"
{ printf 'first\n'; head -c 2000000 /dev/zero | tr '\0' b; printf 'NEEDLE\nlast\n'; } >"$tmp/longmatch.txt"
expect "findtext prints a long matching line whole" 0 "2000017 2:2000001:" -- \
  sh -c "'$zel' findtext NEEDLE '$tmp/longmatch.txt' | wc -c | tr '\n' ' '; '$zel' findtext NEEDLE '$tmp/longmatch.txt' | cut -c1-10"
expect_match "findtext: a long matching line from a pipe" 2 "line 2 matches, but it is longer than 1 MiB" \
  -- sh -c "cat '$tmp/longmatch.txt' | '$zel' findtext NEEDLE"
expect_write_error "findtext to a full disk" 2 -- "$zel" findtext World "$tmp/find.txt"
expect_match "findtext needs TEXT" 2 "missing TEXT" -- "$zel" findtext
# findtext answers "no match" with 1, so its errors are 2, as grep's.
expect_match "findtext missing file" 2 "^zel: findtext: .*absent: No such file" -- "$zel" findtext x "$tmp/absent"

# --- names that are not UTF-8 -----------------------------------------------------
# "caf\xe9.txt" (Latin-1) beside "café.txt" (UTF-8): each command reaches the
# file it was given, and prints its name as the same bytes.  (A Windows name
# is UTF-16: there is no such name to give.)
if posix_only "names that are not UTF-8"; then
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
fi

finish
