#!/usr/bin/env bash
# End-to-end checks of `zel label`: the element written from options, byte
# for byte; reading it back; ids; errors.  Usage: label_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

# --- writing ----------------------------------------------------------------------
printf '%s\r\n' '  <?xml version="1.0"?>' '' \
  '  <!-- TCustomTextLabel / ZEL Component Suite -->' \
  '  <custtextlbl sig="ZELCSuite" vers="1.0" id="L1">' \
  '    <posxy x=        1E-7 y=        -2.5 />' \
  '    <caption>a &amp; &lt;b&gt;' \
  'c</caption>' \
  '    <colors brd=$0000FF bg=$302010 shdw=$112233 />' \
  '    <shadowofs dx=3 dy=-4 />' \
  '    <layer val=16 />' \
  '    <transparent val=1 />' \
  '    <visible val=0 />' \
  '    <alignment horiz=taLeftJustify vert=vaTop />' \
  '    <attachmode val=tlamBoth />' \
  '    <font name="Liberation Serif" size=14 color=$00FF00 style="fsBold fsStrikeOut" />' \
  '    <style val=tlBox />' \
  '  </custtextlbl>' | sed '6{N;s/\r\n/\n/}' >"$tmp/want.xml"
all_options=(-c 'a & <b>\nc' --x 1e-7 --y -2.5 --layer 16 --shadow-dx 3 --shadow-dy -4
  --border red --background '#102030' --shadow-color '$112233' --transparent --hidden
  --align left --valign vaTop --attach both --mode box --font 'Liberation Serif' --size 14
  --font-color lime --style strikeout,fsBold --id L1 --header --indent 2)
"$zel" label "${all_options[@]}" >"$tmp/got.xml"
if ! cmp -s "$tmp/want.xml" "$tmp/got.xml"; then
  echo "FAIL: label element from every option"
  diff <(cat -A "$tmp/want.xml") <(cat -A "$tmp/got.xml") | head -10
  failures=$((failures + 1))
fi
"$zel" label "${all_options[@]}" --out "$tmp/out.xml"
if ! cmp -s "$tmp/want.xml" "$tmp/out.xml"; then echo "FAIL: label --out"; failures=$((failures + 1)); fi
expect "defaults, one blank of indentation" 0 " <custtextlbl sig=\"ZELCSuite\" vers=\"1.0\" id=\"\">
   <posxy x=         100 y=          10 />" -- sh -c "'$zel' label | sed -n '3,4p' | tr -d '\r'"

# --- reading back -----------------------------------------------------------------
expect "read every setting back" 0 'caption=a & <b>\nc
x=1E-7
y=-2.5
layer=16
shadow-dx=3
shadow-dy=-4
border=#FF0000
background=#102030
shadow-color=#332211
transparent=1
visible=0
align=left
valign=top
attach=both
mode=box
font=Liberation Serif
size=14
font-color=#00FF00
style=bold,strikeout' -- "$zel" label --read "$tmp/got.xml"

"$zel" label -c first --id one --header >"$tmp/two.xml"
"$zel" label -c second --id 'Two Words' >>"$tmp/two.xml"
expect "the first element without --id" 0 "caption=first" -- sh -c "'$zel' label -r '$tmp/two.xml' | head -1"
expect "--id ignores case" 0 "caption=second" -- sh -c "'$zel' label -r '$tmp/two.xml' --id 'two words' | head -1"
input="$tmp/two.xml"
expect "--read - is stdin" 0 "caption=second" -- sh -c "'$zel' label --read - --id TWO\ WORDS <'$tmp/two.xml' | head -1"
input=/dev/null
expect_match "an id not there" 1 "^zel: label: .*: no label element with id 'three'$" -- \
  "$zel" label --read "$tmp/two.xml" --id three
head -c 150 "$tmp/two.xml" >"$tmp/cut.xml"
expect_match "a file that ends inside the element" 1 "^zel: label: .*: no label element$" -- \
  "$zel" label --read "$tmp/cut.xml"
expect_match "a missing file" 2 "^zel: label: .*absent.xml: No such file or directory$" -- "$zel" label --read "$tmp/absent.xml"

# --- errors -----------------------------------------------------------------------
expect_match "layer outside 1..16" 2 "layer" -- "$zel" label --layer 17
expect_match "unknown alignment" 2 "'middle' is none of left, right, center" -- "$zel" label --align middle
expect_match "unknown style word" 2 "--style: 'heavy'" -- "$zel" label --style bold,heavy
expect_match "not a colour" 2 "--border: not a colour: 'nocolour'" -- "$zel" label --border nocolour
expect_match "no operands" 2 "too many|operand" -- "$zel" label stray
expect_match "--read takes only --id" 2 "not --caption" -- "$zel" label --read "$tmp/got.xml" -c x
expect_match "--out into a missing directory" 1 "^zel: label: .*/no/dir.xml: " -- \
  "$zel" label --out "$tmp/no/dir.xml"
expect_write_error "write error on stdout" -- "$zel" label -c x
# --read answers "no label" with 1, so its errors are 2.
expect_write_error "write error while reading back" 2 -- "$zel" label --read "$tmp/got.xml"

finish
