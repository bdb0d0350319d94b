// zel/stringl/valuetext.h — Boolean, three-valued, time-span, list and
// variant values as text, and looking a string up in a list.
//
//   zel::BoolToStr(true, 2)                    == u".T."
//   zel::TriStateToStr(zel::tsUndefined, 2)    == u"unknown"
//   zel::StrToTriState(u" Yes ")               == zel::tsTrue
//   zel::TimeString(3725.5, 0)                 == u"01:02:05.50"
//   zel::SortableNumericString(u"3.25", u'.', 4) == u"  3.25" // '.' in column 4
//   const int32_t v[] = {1, 2, 3};
//   zel::CreateParList(std::span<const int32_t>(v), false, 2, true) == u"[1,2,...]"
//   zel::ConvertVariant(zel::Variant(2.5))      == u" 2.500E+00"
//   zel::StringIx(u"b", {u"a", u"b"})           == 2
//
// None of these functions throws.
#ifndef ZEL_STRINGL_VALUETEXT_H_
#define ZEL_STRINGL_VALUETEXT_H_

#include <cstdint>
#include <initializer_list>
#include <span>

#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/variant.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

// Mode 0 "TRUE"/"FALSE", 1 "T"/"F", 2 ".T."/".F.", 3 "1"/"0", 4 "-1"/"0",
// 5 "FF"/"00", 6 "YES"/"NO", 7 "GOOD"/"BAD"; any other mode as 0.
String BoolToStr(bool b, int Mode);

// `TrueText` when `b`, else `FalseText`.
String BinString(bool b, StringView TrueText, StringView FalseText);

// Mode 1: "1", "-1", "0" for tsTrue, tsFalse, tsUndefined; mode 2: "yes",
// "no", "unknown"; mode 0 and every other: "true", "false", "".
String TriStateToStr(TTriState t, int Mode);

// After trimming blanks and ASCII lower-casing: "true", "1", "+1", "yes"
// give tsTrue; "false", "-1", "no" give tsFalse; anything else (also "0"
// and "") gives tsUndefined.
TTriState StrToTriState(StringView S);

// A time span of `Secs` seconds (negative and NaN count as 0) as text:
//   0 "01:02:05.50"   1 "01:02:05"   2 " 1h02"   3 " 1h02'05\""   4 "01:02"
//   5 12-hour clock: " 1:30p", "12:05a" (hour 0 is 12, hours from 13 - 12)
// Two-digit fields are zero-padded, hours in formats 2, 3 and 5 blank-padded;
// any other format gives "".  Hours take as many digits as they need (they
// are not cut to 16 bits); spans beyond 10^18 hours are written as 10^18
// hours.  Hundredths are the fraction of `Secs` cut, not rounded.
String TimeString(double Secs, uint8_t Format);

// `S` trimmed and moved right by blanks so that its first `DecSep` stands
// at position `Width` (a text without `DecSep` gets `Width` blanks in
// front; one whose separator is already at or beyond `Width` is unchanged).
String SortableNumericString(StringView S, Char DecSep, int Width);

// A comma-separated list of `Values`, "[...]" with `Brackets`: at most
// `MaxNum` values when 0 < MaxNum, then "..." for the rest; a trailing ','
// after the whole with `AddComma`.  Booleans are written "TRUE"/"FALSE",
// doubles by AutoFormatData(value, NSig).
//   {1, 2, 3} -> "[1,2,3]";  MaxNum 2 -> "[1,2,...]";  no values -> "[]" or "".
String CreateParList(const TIntArray& Values, bool AddComma, int MaxNum, bool Brackets);
String CreateParList(std::span<const int32_t> Values, bool AddComma, int MaxNum, bool Brackets);
String CreateParList(std::span<const bool> Values, bool AddComma, int MaxNum, bool Brackets);
String CreateParList(const TDoubleArray& Values, bool AddComma, int MaxNum, int NSig,
                     bool Brackets);
String CreateParList(std::span<const double> Values, bool AddComma, int MaxNum, int NSig,
                     bool Brackets);

// A display text of `V`, for reports and debugging.
//   * Null "NULL"; integers of every width in decimal (a UInt64 with its
//     full unsigned value); single and double as strff(value, 10, -2);
//     Boolean "TRUE"/"FALSE"; both string types the text itself; any other
//     type "(unknown type: N)" with its type code (Empty: N = 0).
//   * An array whose first upper bound is below 0: "undefined array".
//   * Other arrays, nested up to three levels (an array whose element at
//     the lower bound is an array has two levels, and so on):
//       "Array[lo,hi]...:" CR LF, then
//       one level:   up to 12 elements "a,b,c" and "..." when cut;
//       two levels:  up to 10 lines, line j holding V[i][j] for up to 12 i
//                    ("..." when cut) and CR LF; " ......" after the last
//                    line when lines were cut;
//       three levels: up to 3 layers "layer k:" CR LF, each with its lines
//                    of V[i][j][k] as for two levels and " ......" CR LF
//                    when lines were cut; " ... more layers" when layers
//                    were cut.
//     Nested arrays need not all have the bounds of the first: an element
//     that does not exist (an index outside a nested array, or a value that
//     is no array where one is needed) is written as the empty text.  A
//     multi-dimensional array is shown along its first dimension, with
//     every other index at its lower bound.  Elements that are arrays
//     themselves beyond the third level are written by their type code.
String ConvertVariant(const Variant& V);

// The 1-based index of the first entry of `List` equal to `S`, 0 if none.
// Without `CaseSensitive`, the comparison ignores ASCII letter case.
int StringIx(StringView S, std::span<const String> List);
int StringIx(StringView S, bool CaseSensitive, std::span<const String> List);
int StringIx(StringView S, std::initializer_list<StringView> List);
int StringIx(StringView S, bool CaseSensitive, std::initializer_list<StringView> List);

}  // namespace zel

#endif  // ZEL_STRINGL_VALUETEXT_H_
