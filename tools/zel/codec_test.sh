#!/usr/bin/env bash
# End-to-end checks of the checksum and codec subcommands: crc16, crc32,
# sha1, base64, ascii85, rle.  Usage: codec_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

printf '123456789' >"$tmp/check.txt"
: >"$tmp/empty"
head -c 100000 /dev/urandom >"$tmp/rand.bin"

# --- checksums ------------------------------------------------------------------
expect "crc16 check value" 0 "31C3  $tmp/check.txt" -- "$zel" crc16 "$tmp/check.txt"
expect "crc16 --ccitt" 0 "29B1  $tmp/check.txt" -- "$zel" crc16 --ccitt "$tmp/check.txt"
expect "crc16 empty" 0 "0000  $tmp/empty" -- "$zel" crc16 "$tmp/empty"
expect "crc32 check value" 0 "CBF43926  $tmp/check.txt" -- "$zel" crc32 "$tmp/check.txt"
want_crc=$(python3 -c "import zlib,sys; print('%08X' % zlib.crc32(open(sys.argv[1],'rb').read()))" "$tmp/rand.bin")
expect "crc32 matches zlib" 0 "$want_crc  $tmp/rand.bin" -- "$zel" crc32 "$tmp/rand.bin"
want_sha=$(sha1sum "$tmp/rand.bin" | cut -d' ' -f1 | tr a-f A-F)
expect "sha1 matches sha1sum" 0 "$want_sha  $tmp/rand.bin" -- "$zel" sha1 "$tmp/rand.bin"
input="$tmp/check.txt"
expect "crc32 of stdin" 0 "CBF43926  -" -- "$zel" crc32
expect "sha1 of stdin, several files" 0 "F7C3BC1D808E04732ADF679965CCC34CA7AE3441  -
DA39A3EE5E6B4B0D3255BFEF95601890AFD80709  $tmp/empty" -- "$zel" sha1 - "$tmp/empty"
input=/dev/null
expect "a missing file fails but the others are done" 1 "0000  $tmp/empty" -- \
  "$zel" crc16 "$tmp/absent" "$tmp/empty"
expect_match "missing file message" 1 "^zel: sha1: .*absent: No such file" -- "$zel" sha1 "$tmp/absent"
expect_match "crc32 bad option" 2 "unknown option" -- "$zel" crc32 --ccitt

# --- base64 -----------------------------------------------------------------------
# Byte-exact: lines of 60 characters with CR LF, as coreutils gives them with
# -w 60 and CR added; --no-wrap as -w 0.
base64 -w 60 "$tmp/rand.bin" | sed 's/$/\r/' >"$tmp/want.b64"
"$zel" base64 "$tmp/rand.bin" >"$tmp/got.b64"
if ! cmp -s "$tmp/want.b64" "$tmp/got.b64"; then echo "FAIL: base64 lines"; failures=$((failures + 1)); fi
expect "base64 --no-wrap" 0 "$(base64 -w 0 "$tmp/rand.bin")" -- "$zel" base64 --no-wrap "$tmp/rand.bin"
"$zel" base64 -d "$tmp/got.b64" >"$tmp/back.bin"
if ! cmp -s "$tmp/rand.bin" "$tmp/back.bin"; then echo "FAIL: base64 round trip"; failures=$((failures + 1)); fi
# Decoding coreutils' 76-character LF lines.
base64 "$tmp/rand.bin" | "$zel" base64 -d >"$tmp/back2.bin"
if ! cmp -s "$tmp/rand.bin" "$tmp/back2.bin"; then echo "FAIL: base64 -d of coreutils text"; failures=$((failures + 1)); fi
printf 'TWFu' >"$tmp/man.b64"
expect "base64 -d" 0 "Man" -- "$zel" base64 -d "$tmp/man.b64"
printf 'TW Fu' >"$tmp/bad.b64"
expect_match "base64 -d invalid" 1 "^zel: base64: invalid input" -- "$zel" base64 -d "$tmp/bad.b64"
printf 'TWFuTW' >"$tmp/short.b64"
expect_match "base64 -d incomplete group" 1 "invalid input" -- "$zel" base64 -d "$tmp/short.b64"
expect_match "base64 takes one file" 2 "too many arguments" -- "$zel" base64 a b

# --- ascii85 ----------------------------------------------------------------------
printf 'Man ab' >"$tmp/man.txt"
expect "ascii85 unpadded last group" 0 "9jqo^\$G:~>" -- "$zel" ascii85 "$tmp/man.txt"
printf '9jqo^$G:~>ignored' >"$tmp/man.a85"
expect "ascii85 -d stops at the marker" 0 "Man ab" -- "$zel" ascii85 -d "$tmp/man.a85"
"$zel" ascii85 "$tmp/rand.bin" | "$zel" ascii85 -d >"$tmp/back3.bin"
if ! cmp -s "$tmp/rand.bin" "$tmp/back3.bin"; then echo "FAIL: ascii85 round trip"; failures=$((failures + 1)); fi
lines=$(head -c 480 /dev/urandom | tr '\0' x | "$zel" ascii85 | wc -l)
expect "ascii85 12 groups a line" 0 "10" -- echo "$lines"
expect "ascii85 --no-wrap" 0 "0" -- sh -c "head -c 480 /dev/urandom | '$zel' ascii85 --no-wrap | wc -l"
printf '9jqov~>' >"$tmp/bad.a85"
expect_match "ascii85 -d bad character" 1 "outside" -- "$zel" ascii85 -d "$tmp/bad.a85"
printf '9jqz^~>' >"$tmp/badz.a85"
expect_match "ascii85 -d z in a group" 1 "'z' inside a group" -- "$zel" ascii85 -d "$tmp/badz.a85"

# --- rle --------------------------------------------------------------------------
expect "rle encodes" 0 "41 42 a5 01 43" -- sh -c "printf ABC | '$zel' rle | od -An -tx1 | sed 's/^ //'"
{ head -c 70000 /dev/zero; cat "$tmp/rand.bin"; printf '\245\245\245x'; } >"$tmp/runs.bin"
"$zel" rle "$tmp/runs.bin" | "$zel" rle -d >"$tmp/back4.bin"
if ! cmp -s "$tmp/runs.bin" "$tmp/back4.bin"; then echo "FAIL: rle round trip"; failures=$((failures + 1)); fi
printf 'AB\245\003' >"$tmp/cut.rle"
expect_match "rle -d ends inside a triple" 1 "inside a run triple" -- "$zel" rle -d "$tmp/cut.rle"

# --- operands, errors and a full disk -------------------------------------------
printf 'x' >"$tmp/-dash"
expect "sha1 -- names a file that starts with '-'" 0 \
  "11F6AD8EC52A2984ABAAFD7C3B516503785C2072  -dash" -- bash -c "cd '$tmp' && '$zel' sha1 -- -dash"
expect_match "a missing file names the reason" 1 "^zel: crc32: .*absent: No such file or directory$" \
  -- "$zel" crc32 "$tmp/absent"
expect_match "a directory is no file" 1 "Is a directory" -- "$zel" sha1 "$tmp"
expect_match "a flag takes no value" 2 "takes no value" -- "$zel" crc16 --ccitt=1
expect_match "-- before -h makes it an operand" 1 "^zel: crc32: -h: No such file" -- "$zel" crc32 -- -h
# A read error names the file and the system's reason (reading
# /proc/self/mem at offset 0 fails with EIO).
if [ -r /proc/self/mem ] && posix_only "read errors: /proc/self/mem"; then
  for cmd in "base64" "base64 -d" "ascii85" "ascii85 -d" "rle" "rle -d" "crc32" "sha1"; do
    # shellcheck disable=SC2086
    expect_match "$cmd: a read error names the file" 1 "^zel: ${cmd%% *}: /proc/self/mem: Input/output error$" \
      -- "$zel" $cmd /proc/self/mem
  done
fi
expect_write_error "crc32 to a full disk" -- "$zel" crc32 "$tmp/-dash"
expect_write_error "base64 to a full disk" -- "$zel" base64 "$tmp/-dash"

# --- memory stays flat: 40 MB in (and out) needs no more than 1 MB does, give or
# take 10 MB (the program's own footprint, with or without a sanitizer's
# runtime, differs by machine and build; the growth with the input does not) ---
if [ -x /usr/bin/time ]; then
  peak_for() { head -c "$1" /dev/zero | /usr/bin/time -f %M "$zel" $2 2>&1 >/dev/null | tail -1; }
  for cmd in "sha1" "base64" "base64 --no-wrap" "rle" "ascii85"; do
    small=$(peak_for 1000000 "$cmd")
    large=$(peak_for 40000000 "$cmd")
    if [ $((large - small)) -gt 10000 ]; then
      echo "FAIL: zel $cmd peak memory grows with the input: $small KB for 1 MB, $large KB for 40 MB"
      failures=$((failures + 1))
    fi
  done
fi

finish
