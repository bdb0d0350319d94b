#!/usr/bin/env bash
# End-to-end checks of the number-formatting and text-transform subcommands:
# fmt, scramble, text.  Usage: format_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

# --- fmt ----------------------------------------------------------------------
expect "fmt default: two decimals" 0 "3.14" -- "$zel" fmt 3.14159
expect "fmt width and decimals" 0 "    1.50" -- "$zel" fmt 1.5 --width 8 --decimals 2
expect "fmt zero padding" 0 "-0012.50" -- "$zel" fmt -12.5 --width -8
expect "fmt scientific" 0 " 4.568E+03" -- "$zel" fmt 4567.8 --width 10 --decimals -2
expect "fmt exponent too wide" 0 "**********" -- "$zel" fmt 1e150 --width 10 --decimals -2
expect "fmt plus" 0 "+0001.50" -- "$zel" fmt 1.5 --width -8 --decimals 2 --plus
expect "fmt plus zero" 0 "+0" -- "$zel" fmt 0 --width 1 --decimals 0 --plus
expect "fmt sig keeps integer digits" 0 "    123456" -- "$zel" fmt 123456 --width 10 --sig 3
expect "fmt sig small" 0 "  0.000123" -- "$zel" fmt 0.000123456 --width 10 --sig 3
expect "fmt auto scientific" 0 "4.568E+03" -- "$zel" fmt 4567.8 --auto 4
expect "fmt auto fixed" 0 "123.5" -- "$zel" fmt 123.46 --auto 4
expect "fmt NaN" 0 "NAN" -- "$zel" fmt nan
expect_match "fmt no value" 2 "VALUE is missing" -- "$zel" fmt --width 3
expect_match "fmt not a number" 2 "'1,5' is not a number" -- "$zel" fmt 1,5
expect_match "fmt two modes" 2 "exclude each other" -- "$zel" fmt 1 --sig 3 --auto 3
expect_match "fmt plus with sig" 2 "--plus goes with --decimals" -- "$zel" fmt 1 --sig 3 --plus
expect_match "fmt bad width" 2 "'x' is not an integer" -- "$zel" fmt 1 --width x
expect_match "fmt missing option value" 2 "needs a value" -- "$zel" fmt 1 --width
expect_match "fmt unknown option" 2 "unknown option" -- "$zel" fmt 1 --bogus
expect "fmt -inf is a value, not an option" 0 "-INF" -- "$zel" fmt -inf

# --- scramble -----------------------------------------------------------------
# Scrambling goes block by block: characters of two, three and four bytes
# and invalid bytes cut by the 64 KiB blocks come out as from the whole
# text at once (the round trip gives the text back; a second run the same).
python3 -c '
import sys
sys.stdout.buffer.write(("aä€😀\r\n".encode() + b"\xe9\xff") * 20000)' >"$tmp/multi.txt"
"$zel" scramble "$tmp/multi.txt" | "$zel" scramble -d >"$tmp/multi.back"
# Invalid bytes come back as their Windows-1252 characters in UTF-8.
expect "scramble: multi-byte characters across blocks survive the round trip" 0 "True" -- python3 -c '
import sys
src, back = (open(f, "rb").read() for f in sys.argv[1:3])
print(back == src.replace(b"\xe9\xff", "éÿ".encode()))' "$tmp/multi.txt" "$tmp/multi.back"
# A pipe hands out blocks cut elsewhere than a file's: the same result.
"$zel" scramble "$tmp/multi.txt" >"$tmp/multi.s1"
sh -c "for i in 1 2 3; do head -c 1000; sleep 0.1; done; cat" <"$tmp/multi.txt" | "$zel" scramble >"$tmp/multi.s2"
expect "scramble of a pipe is the scramble of the file" 0 "" -- cmp "$tmp/multi.s1" "$tmp/multi.s2"
printf 'Hello, world\r\nline two äöü €\n' >"$tmp/plain.txt"
"$zel" scramble "$tmp/plain.txt" >"$tmp/hidden.txt"
if cmp -s "$tmp/plain.txt" "$tmp/hidden.txt"; then
  echo "FAIL: scramble left the text as it was"; failures=$((failures + 1))
fi
input="$tmp/hidden.txt"
"$zel" scramble -d <"$tmp/hidden.txt" >"$tmp/back.txt"
if ! cmp -s "$tmp/plain.txt" "$tmp/back.txt"; then
  echo "FAIL: scramble -d does not give the text back"; failures=$((failures + 1))
fi
"$zel" scramble --seed 7 "$tmp/plain.txt" >"$tmp/hidden7.txt"
if cmp -s "$tmp/hidden.txt" "$tmp/hidden7.txt"; then
  echo "FAIL: another seed gives the same scrambled text"; failures=$((failures + 1))
fi
"$zel" scramble --seed 7 "$tmp/plain.txt" >"$tmp/hidden7b.txt"
if ! cmp -s "$tmp/hidden7.txt" "$tmp/hidden7b.txt"; then
  echo "FAIL: the same seed gives different scrambled texts"; failures=$((failures + 1))
fi
input="$tmp/hidden7.txt"
expect "scramble -d with the seed" 0 "$(cat "$tmp/plain.txt")" -- "$zel" scramble -d --seed 7
input=/dev/null
expect "scramble empty input" 0 "" -- "$zel" scramble
expect_match "scramble missing file" 1 "^zel: scramble: .*absent: No such file" -- "$zel" scramble "$tmp/absent"
expect_match "scramble bad seed" 2 "is not an integer" -- "$zel" scramble --seed x
expect_match "scramble unknown option" 2 "unknown option" -- "$zel" scramble -x

# --- text ---------------------------------------------------------------------
printf 'hello world-wide\nÄrger über Öl\n' >"$tmp/words.txt"
expect "text --capitalize" 0 $'Hello World-Wide\nÄrger über Öl' -- "$zel" text --capitalize "$tmp/words.txt"
expect "text --swapcase" 0 $'HELLO WORLD-WIDE\näRGER ÜBER öL' -- "$zel" text --swapcase "$tmp/words.txt"
expect "text --umlauts" 0 $'hello world-wide\nAerger ueber Oel' -- "$zel" text --umlauts "$tmp/words.txt"
expect "text --az09" 0 $'hello_world_wide\n_rger__ber__l' -- "$zel" text --az09 "$tmp/words.txt"
input="$tmp/words.txt"
expect "text --fn83 from stdin" 0 $'hello_world-wide\n_rger__ber__l' -- "$zel" text --fn83
expect "text --reverse" 0 $'ediw-dlrow olleh\nlÖ rebü regrÄ' -- "$zel" text --reverse -
input=/dev/null
expect_match "text without transform" 2 "name a transform" -- "$zel" text "$tmp/words.txt"
expect_match "text two transforms" 2 "one transform only" -- "$zel" text --az09 --fn83
expect_match "text unknown option" 2 "unknown option" -- "$zel" text --upper
expect_match "text missing file" 1 "^zel: text: .*absent: No such file" -- "$zel" text --az09 "$tmp/absent"

finish
