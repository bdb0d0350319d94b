// zel/stringl/numscan.h — the library's number scanners and hex writer.
//
// Every unit that reads a number out of text or writes a hexadecimal number
// uses these, so that all of them agree on what a number looks like.  The
// scanners never throw: where no number stands they return 0.  `Pos` is a
// 1-based position; it is left on the first character not used.
//
//   int pos = 1;
//   zel::ScanDecInteger(u"  -42x", pos);          // -42, pos == 5 (on 'x')
//   pos = 1;
//   zel::ScanHexInteger(u"$1F", pos);             // 31
//   pos = 1;
//   zel::ScanFloat(u"1,5 kg", true, 3, pos);      // 1.5, pos == 4 (on ' ')
//   zel::HexDigits(0x1F, 4);                      // u"001F"
//
// Integers are accumulated in 32 bits with wrap-around: a digit string
// beyond the 32-bit range gives its value modulo 2^32 (as a signed value
// for `ScanDecInteger`).  It is never undefined behaviour.
#ifndef ZEL_STRINGL_NUMSCAN_H_
#define ZEL_STRINGL_NUMSCAN_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// Reads an optionally signed decimal integer at `Pos`.  Blanks (code 32) are
// skipped while `Pos` is before the last character; then one '-' or '+';
// then the digits 0-9.  An empty `S` gives 0 and leaves `Pos` alone; no
// digits give 0.  A `Pos` below 1 is treated as 1.
int32_t ScanDecInteger(StringView S, int& Pos);

// Reads hexadecimal digits (either case) at `Pos`, after skipping blanks as
// `ScanDecInteger` does.  A '$' is skipped only when it is the first
// character of `S` itself (so u" $1F" gives 0).
uint32_t ScanHexInteger(StringView S, int& Pos);

// Reads a decimal number at `Pos`.  `SepMode` names the decimal separators:
// 1 '.', 2 ',', 3 both.  Accepted: leading blanks, a sign, digits with an
// optional separator and fraction (either part may be empty: "5." and ".5"),
// and, when `AllowExp`, 'E' or 'e' with an optional sign and digits.  The
// exponent digits are taken while those taken so far amount to at most 4200
// (the rest are consumed), and the value is clamped to +-uc_MaxDouble (NaN gives
// uc_MaxDouble).  On failure the result is 0.  Either way `Pos` ends on the
// character that ended the attempt.  An 'E' that no digits follow ("1e",
// "1e+") reads as the number without exponent.  The decimal conversion is
// exact (correctly rounded) and does not depend on the locale.
double ScanFloat(StringView S, bool AllowExp, int SepMode, int& Pos);

// `ScanFloat` with its outcome, for callers that must tell a failed scan
// from a zero, or an exponent above 4200 from one the value can use (a
// check that rejects "1e5000" rather than reading the clamped maximum).
struct FloatScanResult {
  double value;       // what `ScanFloat` returns
  bool ok;            // the scan ended in success
  bool exponent_over_4200;  // the exponent digits read amount to more than 4200
};
// Scans as `ScanFloat` does (the same value and `Pos`) and tells how.
FloatScanResult ScanFloatDetailed(StringView S, bool AllowExp, int SepMode, int& Pos);

// Exactly `Digits` upper-case hexadecimal digits of the lowest nibbles of
// `Value`; `Digits` is clamped to 1..8 (HexDigits(255, 1) == u"F").
String HexDigits(uint32_t Value, int Digits);

}  // namespace zel

#endif  // ZEL_STRINGL_NUMSCAN_H_
