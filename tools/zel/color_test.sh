#!/usr/bin/env bash
# End-to-end checks of the colour subcommands: color, colors, palette.
# Usage: color_test.sh PATH/TO/zel
source "$(dirname "$0")/testlib.sh"

# --- color ---------------------------------------------------------------------
expect "color by name" 0 "name: SkyBlue1
rgb: 135,206,235
web: #87CEEB
tcolor: \$00EBCE87
hsl: h=197.40 s=0.7143 l=0.7255
hsv: h=197.40 s=0.4255 v=0.9216
hsi: h=197.40 s=0.2969 i=0.7529
cmy: c=0.4706 m=0.1922 y=0.0784
cmyk: c=0.3922 m=0.1137 y=0.0000 k=0.0784
gray: 188 (#BCBCBC)" -- "$zel" color SkyBlue1
expect_match "names ignore case and blanks" 0 '^name: LightGoldenRodYellow$' \
  -- "$zel" color "light goldenrod YELLOW"
expect_match "web colour, first name of a shared value" 0 '^name: Blue$' -- "$zel" color '#0000ff'
expect_match "tcolor in hex" 0 '^rgb: 135,206,235$' -- "$zel" color '$00EBCE87'
expect_match "r,g,b" 0 '^web: #0A0B0C$' -- "$zel" color 10,11,12
expect_match "no name: hex digits and the nearest named colour" 0 \
  '^name: 000C0B0A \(nearest: Black, distance 0\.0433\)$' -- "$zel" color 10,11,12
expect_match "grey: undefined HSV hue" 0 '^hsv: h=-1 \(undefined\) s=0\.0000 v=0\.5020$' \
  -- "$zel" color Gray
expect_match "system colour read as its low bytes" 0 '^rgb: 15,0,0$' -- "$zel" color '$FF00000F'
expect_match "wavelength" 0 '^rgb: 146,255,0$' -- "$zel" color --wavelength 550
expect_match "wavelength with gamma" 0 '^rgb: 193,255,0$' -- "$zel" color --wavelength 550 --gamma 0.5
expect_match "wavelength outside the visible range is black" 0 '^name: Black$' \
  -- "$zel" color --wavelength 800
# A value that is no colour is a usage error (2), as a bad value is for
# every command.
expect_match "unknown name" 2 "^zel: color: not a colour: 'Blurple'" -- "$zel" color Blurple
expect_match "component out of range" 2 "not a colour" -- "$zel" color 1,2,256
expect_match "short web colour" 2 "not a colour" -- "$zel" color '#12345'
expect_match "missing SPEC" 2 "missing SPEC" -- "$zel" color
expect_match "gamma alone" 2 "goes with --wavelength" -- "$zel" color --gamma 2
expect_match "bad wavelength" 2 "needs an integer" -- "$zel" color --wavelength 5x0
expect_match "bad option" 2 "unknown option" -- "$zel" color --bogus

# --- colors --------------------------------------------------------------------
expect "colors filtered" 0 "DarkSlateBlue        #483D8B
LightSlateBlue       #8470FF
MediumSlateBlue      #7B68EE
SlateBlue            #6A5ACD
SlateBlue1           #836FFF
SlateBlue2           #7A67EE
SlateBlue3           #6959CD
SlateBlue4           #473C8B" -- "$zel" colors slateblue
expect "colors lists all 466" 0 "466" -- bash -c "'$zel' colors | wc -l | tr -d ' '"
expect_match "colors first entry" 0 '^Black +#000000$' -- "$zel" colors
expect "colors no match" 1 "" -- "$zel" colors nosuchcolour

# --- palette -------------------------------------------------------------------
printf '1 4\r\n00000000\r\n007F7F7F\r\n00FFFFFF\r\n00FFFFFF\r\n' >"$tmp/want.pal"
"$zel" palette black,white --size 4 --levels 2 >"$tmp/got.pal"
expect "palette file: quantised levels, CR LF" 0 "" -- cmp "$tmp/want.pal" "$tmp/got.pal"
expect "palette --out" 0 "" -- "$zel" palette 'Black,#FFFFFF' --size 4 --levels 2 --out "$tmp/out.pal"
expect "palette --out file" 0 "" -- cmp "$tmp/want.pal" "$tmp/out.pal"
expect "rainbow default: 1000 entries, ends" 0 "1 1000
00400020
00000040" -- bash -c "'$zel' palette Rainbow | tr -d '\r' | sed -n '1p;2p;\$p'"
expect "mirror then invert" 0 "1 2
00000000
00FFFFFF" -- bash -c "'$zel' palette black,white --size 2 --levels 1 --mirror --invert | tr -d '\r'"
expect "gamma stretches the low end" 0 "1 3
00545454
00FFFFFF
00FFFFFF" -- bash -c "'$zel' palette black,white --size 3 --gamma 1 | tr -d '\r'"
expect_match "unknown base" 2 "^zel: palette: not a palette or colour: 'nope'" -- "$zel" palette black,nope
expect_match "bad size" 2 "from 1 to 1000000" -- "$zel" palette rainbow --size 0
expect_match "missing BASE" 2 "missing BASE" -- "$zel" palette
expect_match "unwritable --out" 1 "^zel: palette: .*dir.pal: No such file or directory$" -- "$zel" palette rainbow --out "$tmp/no/such/dir.pal"

expect_write_error "palette to a full disk" -- "$zel" palette rainbow --size 5
expect_match "color of a negative wavelength is an operand error, not an option" 2 "not a colour" -- "$zel" color -5

finish
