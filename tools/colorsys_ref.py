#!/usr/bin/env python3
"""Reference values from Python's colorsys for the colour-model tests.

Reads requests from stdin, one per line, and answers each with one line:
  rgb R G B   (integers 0..255)  ->  H_hsv S_hsv V   H_hls L S_hls
  hsv H S V   (H in degrees)     ->  R G B   (floats scaled to 0..255)
  hsl H S L   (H in degrees)     ->  R G B   (floats scaled to 0..255)
Hues are answered in degrees.  Floats are written with repr, so they read
back exactly.
"""

import colorsys
import sys


def main():
    out = []
    for line in sys.stdin:
        kind, *values = line.split()
        if kind == "rgb":
            r, g, b = (int(v) / 255 for v in values)
            h, s, v = colorsys.rgb_to_hsv(r, g, b)
            hh, ll, ss = colorsys.rgb_to_hls(r, g, b)
            result = (h * 360, s, v, hh * 360, ll, ss)
        elif kind == "hsv":
            h, s, v = (float(x) for x in values)
            result = tuple(c * 255 for c in colorsys.hsv_to_rgb(h / 360, s, v))
        elif kind == "hsl":
            h, s, l = (float(x) for x in values)
            result = tuple(c * 255 for c in colorsys.hls_to_rgb(h / 360, l, s))
        else:
            sys.exit(f"unknown request '{kind}'")
        out.append(" ".join(repr(x) for x in result))
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
