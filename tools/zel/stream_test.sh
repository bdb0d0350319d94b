#!/usr/bin/env bash
# End-to-end checks of the stream subcommands (tags).
# Usage: stream_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

cat >"$tmp/doc.xml" <<'XML'
<!-- a comment -->
<Label name=A size=3>hello <b>y</b></LABEL>
<font size=2/>
<item x="1 2">abc</item>
</doc>
tail <!-- end -->
XML
expect "tags lists each tag" 0 "$(printf '0\tlabel\tname=A size=3\t14\n1\tfont\tsize=2\t0\n2\t*\tx="1 2"\t3\n2\t*\t\t0')" \
  -- "$zel" tags "$tmp/doc.xml" LABEL font '*'
printf 'no tags here' >"$tmp/plain.txt"
expect "tags on text without tags" 0 "" -- "$zel" tags "$tmp/plain.txt" a
printf '<a>never closed' >"$tmp/open.xml"
expect "tags unclosed element runs to the end" 0 "$(printf '0\ta\t\t12')" -- "$zel" tags "$tmp/open.xml" a
input="$tmp/doc.xml"
expect "tags reads stdin for -" 0 "$(printf '0\tlabel\tname=A size=3\t14\n1\tfont\tsize=2\t0\n2\t*\tx="1 2"\t3\n2\t*\t\t0')" \
  -- "$zel" tags - LABEL font '*'
input=/dev/null
expect_match "tags missing file" 1 "^zel: tags: .*absent: No such file" -- "$zel" tags "$tmp/absent" a
expect_match "tags needs a TAG" 2 "need a FILE" -- "$zel" tags "$tmp/doc.xml"
expect_match "tags bad option" 2 "unknown option" -- "$zel" tags --bogus a

finish
