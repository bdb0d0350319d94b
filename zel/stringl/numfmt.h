// zel/stringl/numfmt.h — floating-point numbers as text: fixed-point,
// scientific and significant-digit forms.
//
// Every text uses '.' as the decimal point and no thousands separator,
// whatever the locale.  Rounding is exact, to nearest, ties to even.
//
//   zel::strff(1.5, 8, 2)             == u"    1.50"
//   zel::strff(-12.5, -8, 2)          == u"-0012.50"   // negative width: zero padding
//   zel::strff(4567.8, 10, -2)        == u" 4.568E+03" // Decimals -2: scientific
//   zel::strffForcePlus(1.5, 8, 2)    == u"   +1.50"
//   zel::FormatData(0.5, 4, 0)        == u" 5.000E-01" // below the lower limit of 0 decimals
//   zel::SigDigStr(3.14159, 8, 3)     == u"    3.14"
//   zel::AutoFormatData(123.46, 4)    == u"123.5"
//
// strff(x, Width, Decimals):
//   * Decimals >= 0: fixed point with Decimals digits after the point,
//     right-aligned in a field of at least |Width| characters.
//   * Decimals == -2: scientific in exactly |Width| characters (sign
//     position, one digit, '.', |Width| - 7 digits, 'E', sign, two exponent
//     digits), so strff(x, n + 6, -2) shows n significant digits.  An
//     exponent of 100 or more in magnitude gives a field of '*'.  Fields
//     narrower than 8 characters are written 8 wide (one digit after the
//     point); at most 18 digits follow the point, a wider field is padded
//     with blanks on the left.
//   * Any other negative Decimals: scientific with a four-digit exponent in
//     a field of |Width| characters (at least 10).
//   * Width < 0 pads with '0' instead of blanks; a '-' then moves to the
//     front ("-0012.50").
//   * Infinities and NaN are written "INF", "-INF" and "NAN", right-aligned
//     in |Width| characters, in every mode.
// Widths and decimals beyond 10000 are taken as 10000 (a scientific field
// is then 9998 wide: the conversion's field less the two exponent digits).
#ifndef ZEL_STRINGL_NUMFMT_H_
#define ZEL_STRINGL_NUMFMT_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Fixed-point or scientific text of `x` (see above).
String strff(long double x, int Width, int Decimals);

// As `strff`, with a '+' before values that are not negative: the blank
// just before the number becomes '+'; a zero-padded text has its first '0'
// replaced ("+0001.50"); a text without room grows by one ("+1.50", "+0").
// NaN is written as by `strff`.
String strffForcePlus(long double x, int Width, int Decimals);

// Fixed point with `Decimals` (0..8) digits in a field of `Width` when the
// value fits the row's range, else `strff(x, Width + 6, -2)`.  The ranges:
// 0 decimals up to 999999999 (nine digits), 1 to 8 decimals up to eight
// digits (9999999.9 ... 0.99999999); below 10^-Decimals (but for 0 itself)
// the value is written in scientific form too, as it is for every Decimals
// outside 0..8 and for NaN.
String FormatData(double x, int Width, int Decimals);

// `x` with `NSig` significant digits in a field of at least `Width`:
// fixed point when the digits fit the field, else scientific with
// max(Width, NSig + 6) characters.  Integer digits are never rounded away
// (SigDigStr(123456, 10, 3) == "    123456").  With `Trim` the leading
// blanks are removed.
String SigDigStr(double x, int Width, int NSig);
String SigDigStr(double x, int Width, int NSig, bool Trim);

// Compact text of `x` with `NSig` (clamped to 2..16) significant digits and
// no blanks: fixed point for 0.1 < |x| < 10^(NSig-1) and for 0, scientific
// otherwise ("4.568E+03", "5.000E-02").  With `CommaSep` the decimal point
// is written as ','.
String AutoFormatData(double x, int NSig);
String AutoFormatData(double x, int NSig, bool CommaSep);

}  // namespace zel

#endif  // ZEL_STRINGL_NUMFMT_H_
