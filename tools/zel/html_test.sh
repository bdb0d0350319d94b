#!/usr/bin/env bash
# End-to-end checks of the HTML subcommands: html, urlencode, urldecode,
# htmlwords.  Usage: html_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

# --- html -----------------------------------------------------------------------
printf '<p><#Date> and <#table border=1 > <#keep>\r\n<b>x</b></p>\n<#last>' >"$tmp/t.html"
expect "html fills named placeholders, keeps the others and the line ends" 0 \
  "$(printf '<p>1 May and <table> <#keep>\r\n<b>x</b></p>\nend')" \
  -- "$zel" html "$tmp/t.html" date='1 May' TABLE='<table>' last=end
expect "html without values gives the template back" 0 "$(cat "$tmp/t.html")" \
  -- "$zel" html "$tmp/t.html"
printf '<p><#x>' >"$tmp/x.html"
expect "html: an empty value removes the placeholder" 0 "<p>" -- "$zel" html "$tmp/x.html" x=
printf '<#name>: <#city>' >"$tmp/u.html"
expect "html: UTF-8 values, later values win" 0 "Jürgen: Köln" \
  -- "$zel" html "$tmp/u.html" name=X name=Jürgen city=Köln
input="$tmp/u.html"
expect "html reads the template from stdin for -" 0 "a: <#city>" -- "$zel" html - name=a
input=/dev/null
expect_match "html missing template" 1 "^zel: html: .*absent: No such file" -- "$zel" html "$tmp/absent"
expect_match "html without TEMPLATE" 2 "missing TEMPLATE" -- "$zel" html
expect_match "html bad NAME=VALUE" 2 "expected NAME=VALUE" -- "$zel" html "$tmp/u.html" name
expect_match "html empty NAME" 2 "expected NAME=VALUE" -- "$zel" html "$tmp/u.html" =v

# --- urlencode / urldecode -----------------------------------------------------------
expect "urlencode text" 0 "a%20b%26c%2F%25" -- "$zel" urlencode 'a b&c/%'
expect "urlencode keeps non-ASCII" 0 "Grüße%20ü" -- "$zel" urlencode 'Grüße ü'
expect "urldecode gives character codes, not UTF-8" 0 "ü" -- "$zel" urldecode '%FC' 
expect "urldecode text, two passes" 0 "a b&c A" -- "$zel" urldecode 'a%20b%26c%20%2541'
expect "urldecode leaves bad escapes and +" 0 "%zz+ab%4" -- "$zel" urldecode '%zz+ab%4'
expect "urldecode of -- text" 0 "-x y" -- "$zel" urldecode -- '-x%20y'
printf 'one two\nx/y\n' >"$tmp/lines.txt"; input="$tmp/lines.txt"
expect "urlencode stdin lines" 0 "$(printf 'one%%20two\nx%%2Fy')" -- "$zel" urlencode
printf 'one%%20two\n%%41\n' >"$tmp/enc.txt"; input="$tmp/enc.txt"
expect "urldecode stdin lines" 0 "$(printf 'one two\nA')" -- "$zel" urldecode
input=/dev/null
expect "urlencode of -- -h" 0 "-h" -- "$zel" urlencode -- -h
expect_match "urlencode two texts" 2 "too many arguments" -- "$zel" urlencode a b
expect_match "urldecode bad option" 2 "unknown option" -- "$zel" urldecode -q

# --- htmlwords ------------------------------------------------------------------------
printf '<p>one two</p>\n12 ab <b\nclass="x y z">more text\n' >"$tmp/page.html"
expect "htmlwords carries the open tag over the line end" 0 "6" -- "$zel" htmlwords "$tmp/page.html"
expect "htmlwords --no-numbers" 0 "5" -- "$zel" htmlwords --no-numbers "$tmp/page.html"
input="$tmp/page.html"
expect "htmlwords stdin" 0 "6" -- "$zel" htmlwords
input=/dev/null
expect_match "htmlwords bad option" 2 "unknown option" -- "$zel" htmlwords --numbers
expect_match "htmlwords missing file" 1 "^zel: htmlwords: .*absent: No such file" -- "$zel" htmlwords "$tmp/absent"

# --- tour ---------------------------------------------------------------------------
expect_match "tour shows HTML support" 0 'URLEncode' -- "$zel" tour --dir "$tmp/tour"

finish
