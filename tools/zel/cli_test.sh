#!/usr/bin/env bash
# End-to-end checks of the `zel` tool: the command table, and output and exit
# status of the text subcommands on small inputs.  Usage: cli_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

# --- the command table -------------------------------------------------------
expect_match "version" 0 '^zel [0-9]+\.[0-9]+\.[0-9]+$' -- "$zel" --version
expect_match "help lists commands" 0 'csvdelim' -- "$zel" --help
expect_match "no arguments is a usage error" 2 'usage: zel' -- "$zel"
expect_match "unknown command" 2 '^zel: unknown command' -- "$zel" frobnicate
commands=$("$zel" --help | awk '/^commands:/{on=1; next} on && NF {print $1}')
for cmd in $commands; do
  expect_match "$cmd --help" 0 "^usage: zel $cmd" -- "$zel" "$cmd" --help
done
# Nothing but --help and --version comes before a command: the drawing
# helper's own entry points are not reachable through zel.
for private in --list "--tour $tmp/t" "--png-strip $tmp/strip.png 40" --bogus; do
  # shellcheck disable=SC2086
  expect_match "zel $private is refused" 2 "^zel: unknown option '${private%% *}'" -- "$zel" $private
done
expect "nothing made by the refused entry points" 0 "" -- find "$tmp" -name t -o -name strip.png

# --- one table over every command ------------------------------------------------
# --help of every command lists exactly the options of its table in the
# source (tools/zel/*.cpp, tools/zel/draw/*.cpp): the same long and short
# forms, each with a value where the table gives one.
src=$(dirname "$0")
python3 - "$src" >"$tmp/declared" <<'PY'
import glob, re, sys
src = sys.argv[1]
text = "".join(open(f, encoding="utf-8").read()
               for f in sorted(glob.glob(src + "/*.cpp") + glob.glob(src + "/draw/*.cpp")))
tables = {}
for name, body in re.findall(r"constexpr Option (\w+)\[\] = \{(.*?)\n\};", text, re.S):
    forms = []
    for long, short, value in re.findall(r'\{"([^"]*)",\s*(0|\'.\'),\s*(\{\}|"[^"]*")', body):
        form = []
        if short != "0": form.append("-" + short[1])
        if long: form.append("--" + long)
        forms.append(", ".join(form) + ("" if value == "{}" else " " + value.strip('"')))
    tables[name] = forms
for m in re.finditer(r"\{\.name = \"([^\"]+)\"(.*?)\.main = &", text, re.S):
    opts = re.search(r"\.options = (\w+)", m.group(2))
    forms = tables[opts.group(1)] if opts else []
    print(m.group(1) + "\t" + "|".join(forms + ["-h, --help"]))
PY
for cmd in $commands; do
  declared=$(awk -F'\t' -v c="$cmd" '$1 == c {print $2}' "$tmp/declared")
  if [ -z "$declared" ]; then
    echo "FAIL: $cmd has no option table in the source"; failures=$((failures + 1)); continue
  fi
  # The form column of --help: "  -n, --lines N  help..." -> "-n, --lines N".
  listed=$("$zel" "$cmd" --help | awk '/^options:/{on=1; next} on' |
    sed -E 's/^ +//; s/  .*$//' | paste -sd'|')
  if [ "$listed" != "$declared" ]; then
    echo "FAIL: $cmd --help lists other options than its table"
    echo "  help:  $listed"
    echo "  table: $declared"
    failures=$((failures + 1))
  fi
done

# A missing input file: the contracted status (1, or 2 for the commands that
# answer "no match") and "zel: COMMAND: FILE: reason".  Every command is in
# the table; "-" marks one that reads no input file.  @ is the missing file.
cat >"$tmp/contract" <<'TABLE'
tour         -
label        1 label --read @
marks        -
frames       -
color        -
colors       -
palette      -
csvdelim     1 csvdelim @
words        1 words @
fmt          -
scramble     1 scramble @
text         1 text --az09 @
grep         2 grep x @
tags         1 tags @ a
html         1 html @
urlencode    -
urldecode    -
htmlwords    1 htmlwords @
table        1 table @
crc16        1 crc16 @
crc32        1 crc32 @
sha1         1 sha1 @
base64       1 base64 @
ascii85      1 ascii85 -d @
rle          1 rle @
perm         -
comb         -
count        1 count @
featmat      1 featmat @
lines        1 lines @
tail         1 tail @
filetype     1 filetype @
asc          1 asc @
crlf         1 crlf @
findtext     2 findtext x @
find         2 find @ *
copy         1 copy @ x
trash        -  (its operands are masks: "nothing moved")
rmtree       1 rmtree @
dates        1 dates @
sysinfo      -
password     -
cpuid        -
machine-id   -
check-id     -
save-as      -
TABLE
missing="$tmp/no such-file"
for cmd in $commands; do
  row=$(awk -v c="$cmd" '$1 == c' "$tmp/contract")
  if [ -z "$row" ]; then
    echo "FAIL: $cmd is missing from the contract table of cli_test.sh"; failures=$((failures + 1)); continue
  fi
  read -r _ want words <<<"$row"
  [ "$want" = "-" ] && continue
  # label --read answers "no label" with 1, so its errors are 2.
  [ "$cmd" = label ] && want=2
  args=()
  set -f  # the words hold '*' as an operand
  for w in $words; do if [ "$w" = @ ]; then args+=("$missing"); else args+=("$w"); fi; done
  set +f
  expect_match "$cmd: a missing input file" "$want" \
    "^zel: $cmd: '$missing': No such file or directory$" -- "$zel" "${args[@]}"
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
# A first line longer than the 1 MiB held is counted as it goes by: the
# same answer, a tie going to the earlier kind as before.
{ head -c 1500000 /dev/zero | tr '\0' ';'; head -c 1500001 /dev/zero | tr '\0' ','; printf '\n::::\n'; } >"$tmp/long.csv"
expect "csvdelim on a long first line" 0 "comma" -- "$zel" csvdelim "$tmp/long.csv"
{ head -c 1500000 /dev/zero | tr '\0' ';'; head -c 1500000 /dev/zero | tr '\0' ','; printf '\n'; } >"$tmp/tie-long.csv"
expect "csvdelim tie on a long first line" 0 "semicolon" -- "$zel" csvdelim "$tmp/tie-long.csv"
expect "csvdelim: a long first line of a pipe" 0 "comma" -- sh -c "cat '$tmp/long.csv' | '$zel' csvdelim"
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
