#!/usr/bin/env bash
# End-to-end checks of the drawing subcommands: marks, frames, palette --png
# and the tour's pictures.
# Usage: draw_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

# The width, height and first bytes of a PNG file.
png_size() { python3 -c '
import struct, sys
b = open(sys.argv[1], "rb").read(24)
assert b[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
print(*struct.unpack(">II", b[16:24]))' "$1"; }

# --- marks ---------------------------------------------------------------------
expect "marks writes the PNG and names it" 0 "$tmp/m.png" -- "$zel" marks --out "$tmp/m.png" --scale 1
expect "16 cells and margins" 0 "516 666" -- png_size "$tmp/m.png"
expect "scale 4" 0 "$tmp/m4.png" -- "$zel" marks -o "$tmp/m4.png" --scale 4 --color SkyBlue
expect "a magnified sheet" 0 "1140 1386" -- png_size "$tmp/m4.png"
expect "marks to PDF only" 0 "$tmp/m.pdf" -- "$zel" marks --pdf "$tmp/m.pdf" --color '#8B0000'
expect "the PDF is a PDF" 0 "%PDF-" -- head -c 5 "$tmp/m.pdf"
if command -v pdfinfo >/dev/null; then
  expect_match "one A4 page" 0 'Pages: +1' -- pdfinfo "$tmp/m.pdf"
fi
expect_match "bad colour" 2 "not a colour: 'nocolour'" -- "$zel" marks --color nocolour -o "$tmp/x.png"
expect_match "scale out of range" 2 "scale" -- "$zel" marks --scale 33 -o "$tmp/x.png"
expect_match "operands are refused" 2 "" -- "$zel" marks extra
expect_match "unwritable output" 1 "^zel: marks: Cannot create file" -- "$zel" marks -o "$tmp/no/such/dir.png"
expect_match "unwritable PDF" 1 "^zel: marks: Cannot create file" -- "$zel" marks --pdf "$tmp/no/such/dir.pdf"
zel_abs=$(cd "$(dirname "$zel")" && pwd)/$(basename "$zel")
(cd "$tmp" && "$zel_abs" marks >/dev/null)
expect "default output marks.png at scale 4" 0 "1140 1386" -- png_size "$tmp/marks.png"

# --- frames --------------------------------------------------------------------
expect "frames" 0 "$tmp/f.png" -- "$zel" frames --out "$tmp/f.png"
expect "frames sheet size" 0 "1080 $((60 * 3 + 27))" -- png_size "$tmp/f.png"
expect_match "frames needs --out" 2 "missing --out" -- "$zel" frames

# --- palette --png ---------------------------------------------------------------
expect "palette strip, no palette file on stdout" 0 "" -- "$zel" palette rainbow --size 300 --png "$tmp/p.png"
expect "one column per entry" 0 "300 40" -- png_size "$tmp/p.png"
expect "at most 2000 columns" 0 "" -- "$zel" palette geo1 --size 5000 --png "$tmp/q.png"
expect "wide palettes are sampled" 0 "2000 40" -- png_size "$tmp/q.png"
expect "with --out the palette file is written too" 0 "" -- \
  "$zel" palette red,blue --size 3 --png "$tmp/r.png" --out "$tmp/r.pal"
expect_match "palette file" 0 "^1 3" -- head -c 40 "$tmp/r.pal"
expect_match "unwritable strip" 1 "^zel: palette: Cannot create file" -- "$zel" palette rainbow --png "$tmp/no/x.png"

# --- tour ------------------------------------------------------------------------
expect_match "tour draws" 0 "FontIsTrueType" -- "$zel" tour --dir "$tmp/tour"
expect "tour marks picture" 0 "900 1146" -- png_size "$tmp/tour/marks.png"
expect "tour PDF" 0 "%PDF-" -- head -c 5 "$tmp/tour/marks.pdf"

# --- the drawing helper ------------------------------------------------------------
# zel runs the drawing commands through zel-draw beside it; a zel copied
# alone keeps its other commands and says what is missing.
expect_match "help lists the helper's commands" 0 "^  marks +draw the 256" -- "$zel" --help
# The drawing helper dies by a signal (here the file size limit while it
# writes the PNG): the command says so, naming the signal, and exits 1.
for cmd in "palette rainbow --png $tmp/sig.png" "marks -o $tmp/sig.png" "frames -o $tmp/sig.png"; do
  # shellcheck disable=SC2086
  expect_match "${cmd%% *}: the helper killed by a signal" 1 \
    "^zel: ${cmd%% *}: the drawing helper zel-draw was killed by signal 25 \(File size limit exceeded\)$" \
    -- bash -c "ulimit -f 0; exec '$zel_abs' $cmd"
done
# The helper's private entry point is not for users, but bad input there
# is a plain message (zel's own input is checked in cli_test.sh).
helper="$(dirname "$zel_abs")/zel-draw"
for bad in "x|40" "00FF00FF|0" "00FF00FF|x" "zz|40" "|40"; do
  expect_match "zel-draw --png-strip refuses '${bad}'" 2 "^zel: palette: --png-strip: " \
    -- bash -c "printf '%s\n' '${bad%%|*}' | '$helper' --png-strip '$tmp/bad.png' '${bad#*|}'"
done
expect_match "a typo still names the tool's help" 2 "^zel: unknown command 'mraks' \(see 'zel --help'\)" -- \
  "$zel" mraks
mkdir "$tmp/alone"
cp "$zel" "$tmp/alone/zel"
if command -v readelf >/dev/null; then
  expect "zel loads neither libzel, the graphics libraries nor libstdc++" 1 "" -- \
    bash -c "readelf -d '$zel' | grep NEEDED | grep -E 'libzel|libstdc|libcairo|libpng|libX'"
fi
expect_match "help leaves the drawing commands out" 0 "^  palette" -- "$tmp/alone/zel" --help
expect "...and lists none of them" 1 "" -- bash -c "'$tmp/alone/zel' --help | grep -E '^  (marks|frames) '"
expect_match "a drawing command is unknown" 2 "^zel: unknown command 'marks'" -- "$tmp/alone/zel" marks
expect_match "palette --png says what is missing" 1 "^zel: palette: the drawing helper zel-draw is not installed" -- \
  "$tmp/alone/zel" palette rainbow --png "$tmp/alone/p.png"
expect_match "the tour goes on without it" 0 "left out: the drawing helper zel-draw" -- \
  "$tmp/alone/zel" tour --dir "$tmp/alone/tour"

finish
