// zel/platform/numconv.h — conversions between numbers and text that never
// depend on the process locale ('.' is always the decimal point, no
// thousands separator).
//
//   zel::IntToStr(-42)              == u"-42"
//   zel::StrToInt(u" 17 ")          == 17
//   zel::StrToInt(u"$1F")           == 31
//   zel::StrToFloat(u"2.5e3")       == 2500.0
//   zel::FloatToStr(0.1)            == u"0.1"    // shortest text that reads back
//   zel::FloatToText(-1.5L, 8, 2)   == u"   -1.50"
//   zel::FloatToText(4567.8L, 12, -1) == u" 4.568E+0003"
//
// Text to integer: optional blanks (space, tab) around the number, an
// optional sign, then decimal digits, or hexadecimal digits after `$`, `0x`
// or `0X`.  Hexadecimal text may fill the whole unsigned width and is then
// taken as the two's-complement value (`StrToInt(u"$FFFFFFFF") == -1`);
// decimal text must fit the signed range.  Anything else raises
// `EConvertError` with `'TEXT' is not a valid integer value`.
//
// Text to float: optional blanks, sign, digits with an optional '.' and
// fraction (either part may be empty, not both), an optional exponent
// (`e`/`E`, sign, digits), optional blanks; also `INF`, `INFINITY` and `NAN`
// in any case, with a sign.  A finite number beyond the double range is an
// error; one too small to represent becomes 0 or a subnormal.  Failures raise
// `EConvertError` with `'TEXT' is not a valid floating point value`.
//
// `FloatToStr` writes the shortest decimal text that reads back to the same
// double: fixed notation for magnitudes from 1E-5 up to below 1E15, otherwise
// a mantissa and `E` with a signed exponent without padding ("1E20",
// "1.5E-7").  Infinities and NaN are written "INF", "-INF" and "NAN".
//
// `FloatToText(x, width, precision)` is the fixed-width conversion the
// formatting routines build on.  The text is right-aligned in a field of at
// least `width` characters, padded with blanks on the left.
//   * precision >= 0: fixed point with exactly that many digits after the
//     point (no point for 0), a '-' directly before the first digit of a
//     negative number (also when it rounds to zero: -0.001 with 2 digits is
//     "-0.00"; a negative zero is written as zero), at least one digit
//     before the point.
//   * precision < 0: scientific.  A sign position (blank for zero and
//     positive values, '-' for negative ones), one digit (non-zero unless
//     the value is zero), '.', width - 9 further digits, 'E', the exponent's
//     sign and four exponent digits: exactly `width` characters.  A width
//     below 10 is taken as 10 (one digit after the point); more than 18
//     further digits are not written (the field keeps its width through
//     leading blanks).
//   * Rounding is exact decimal rounding of the binary value to nearest,
//     exact ties to even.
//   * Infinities and NaN give "INF", "-INF" and "NAN", right-aligned.
//   * Width and precision are capped at 10000 each.
#ifndef ZEL_PLATFORM_NUMCONV_H_
#define ZEL_PLATFORM_NUMCONV_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

String IntToStr(int32_t Value);
String IntToStr(int64_t Value);
String IntToStr(uint32_t Value);
String IntToStr(uint64_t Value);

// Text to a 32- or 64-bit integer by the rules above.  For text that is no
// valid integer of that width StrToInt and StrToInt64 raise EConvertError,
// the Def forms return `Default`, and the Try forms return false and leave
// `Value` as it was.
int32_t StrToInt(StringView S);
int64_t StrToInt64(StringView S);
int32_t StrToIntDef(StringView S, int32_t Default);
int64_t StrToInt64Def(StringView S, int64_t Default);
[[nodiscard]] bool TryStrToInt(StringView S, int32_t& Value);
[[nodiscard]] bool TryStrToInt64(StringView S, int64_t& Value);

// Text to a double by the rules above; invalid text as for the integers
// (EConvertError, false with `Value` unchanged, or `Default`).
double StrToFloat(StringView S);
[[nodiscard]] bool TryStrToFloat(StringView S, double& Value);
double StrToFloatDef(StringView S, double Default);
// The same syntax read into an 80-bit extended value.
[[nodiscard]] bool TryStrToExtended(StringView S, long double& Value);

String FloatToStr(double Value);
// The shortest text that reads back to the same single-precision value.
String SingleToStr(float Value);

String FloatToText(long double x, int width, int precision);

}  // namespace zel

#endif  // ZEL_PLATFORM_NUMCONV_H_
