// zel/zelcolors/colornames.h — the named colours, the web/X11 colour set,
// the platform's predefined colours, seven palettes, and `ObtainColorName`.
//
//   zel::AllZELColorNames[13]            == u"Blue"     // entries 1..466
//   zel::AllZELColors[13]                == 0xFF0000    // TColor of 0000FF
//   zel::ObtainColorName(0xEBCE87)       == u"SkyBlue1"
//   zel::ObtainColorName(0x000C0B0A)     == u"000C0B0A" // no name: hex digits
//   palette.FillByInterpolation(0, zel::ColorArray_Rainbow);
//
// `AllZELColors`/`AllZELColorNames` are parallel: entries 1 to 19 are the
// basic colours (Black, Maroon, Green, Olive, Navy, Purple, Teal, Gray,
// Silver, Red, Lime, Yellow, Blue, Fuchsia, Aqua, White, MoneyGreen, Cream,
// MedGray), entries 20 to 466 the extended colours in alphabetical order
// with numbered variants after their base name, valued as in the X11 colour
// database.  Several names share a value; the first one in the table is the
// colour's name (Blue before Blue1, Aqua before Cyan, Gray before WebGray).
// The two tables are generated (colortables.cpp, tools/gen_colortables.py).
//
// The names are views onto string literals: they live in constant storage
// for the whole life of the library and need no release at unload.
//
// `X11Colors` (1..145) is the web colour set by name from AliceBlue to
// YellowGreen, values only.  `PredefinedColors` (1..47) holds the
// platform's colour constants: 1 to 20 ordinary colours, 21 to 47 raw
// values (top byte $FF: a system colour whose index is the low byte;
// $1FFFFFFF no colour; $20000000 the default colour).
//
// The palettes count from 0 and serve as base colours for
// `TColorArray::FillByInterpolation` (colorarray.h).
#ifndef ZEL_ZELCOLORS_COLORNAMES_H_
#define ZEL_ZELCOLORS_COLORNAMES_H_

#include <array>

#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/types.h"
#include "zel/zelbase/nametables.h"

namespace ZEL_EXPORT zel {

extern const IndexedArray<TColor, 1, 466> AllZELColors;
extern const IndexedArray<StringView, 1, 466> AllZELColorNames;
extern const IndexedArray<TColor, 1, 145> X11Colors;
extern const IndexedArray<TColor, 1, 47> PredefinedColors;

// Blue tones through green and yellow to brown (Geo1 ends in a near-white).
extern const std::array<TColor, 11> ColorArray_Geo1;
extern const std::array<TColor, 11> ColorArray_Geo2;
extern const std::array<TColor, 11> ColorArray_Geo3;
// Dark violet through blue, green, yellow and red to dark red.
extern const std::array<TColor, 11> ColorArray_Rainbow;
// A closed colour circle: the first and the last colour are equal.
extern const std::array<TColor, 7> ColorArray_Circle;
// Black through blue, purple, red and yellow to white.
extern const std::array<TColor, 7> ColorArray_MorgenStemning;
// 16 strongly differing colours.
extern const std::array<TColor, 16> ColorArray_Contrast;

// The name of the first entry of `AllZELColors` equal to `Color` as a whole
// 32-bit value, or else `ColorToHexStr(Color)` (eight digits, no '$').
String ObtainColorName(TColor Color);

}  // namespace zel

#endif  // ZEL_ZELCOLORS_COLORNAMES_H_
