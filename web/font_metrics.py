#!/usr/bin/env python3
"""Writes web_font_metrics.h: the cell ratios of the page's two fonts.

  font_metrics.py ARABIC_FONT NUMERAL_FONT > web_font_metrics.h

A cell height maps to the em and the ascent by the OS/2 table's usWinAscent
and usWinDescent (the horizontal header where there is no OS/2 table), as
the raster surface maps them.
"""

import sys

from fontTools.ttLib import TTFont


def ratios(path):
    font = TTFont(path, lazy=True)
    upm = font["head"].unitsPerEm
    os2 = font["OS/2"] if "OS/2" in font else None
    if os2 is not None and os2.usWinAscent + os2.usWinDescent > 0:
        ascent, descent = os2.usWinAscent, os2.usWinDescent
    else:
        ascent, descent = font["hhea"].ascent, -font["hhea"].descent
    cell = ascent + descent
    if cell <= 0 or upm == 0:
        return 1.0, 0.8
    return upm / cell, ascent / cell


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__.split("\n\n")[1])
    rows = []
    for path in sys.argv[1:]:
        em, ascent = ratios(path)
        rows.append(f"    {{{em!r}, {ascent!r}}},  // {path.rsplit('/', 1)[-1]}")
    print("// Written by web/font_metrics.py from the fonts the page loads.\n"
          "#pragma once\n\n"
          "struct WebFaceMetrics {\n  double emPerCell;\n  double ascentPerCell;\n};\n\n"
          "// The Arabic face, then the numeral face.\n"
          "inline constexpr WebFaceMetrics kWebFaces[2] = {\n" + "\n".join(rows) + "\n};")


if __name__ == "__main__":
    main()
