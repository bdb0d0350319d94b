// zel/streams/streamscan.h — scanning numbers written as text out of a
// stream, one byte at a time.
//
//   zel::TStringStream s("  -42x 1.5e3 3,25;");
//   zel::ScanStreamDecimal(s)             == -42   // the x is consumed
//   zel::ScanStreamFPNum(s, true, 1)      == 1500  // the blank after it too
//   zel::ScanStreamFPNum(s, false, 2)     == 3.25
//
// Both scanners consume the character that ends the number, never raise
// for malformed text and leave stream errors to propagate.
//
// `ScanStreamDecimal`: skips blanks, CR and LF (not tabs), takes an
// optional sign and the decimal digits that follow.  No digits give 0.
// The arithmetic is 32-bit and wraps around on overflow.
//
// `ScanStreamFPNum`: optional leading white space (TAB, LF, CR, blank), an
// optional sign, digits with an optional decimal separator and fraction
// (either part may be empty: "5.", ".5" and "-.5" are numbers, a lone
// separator gives 0) and, when `AllowExp` is true, "E" or "e" with an
// optional sign and at least one digit.  `DecPChar` chooses the separator:
// 1 = ".", 2 = ",", 3 = either, any other value = none.  A sign followed by
// white space, or an "E" without digits, is a syntax error and gives 0.
// Exponent digits are used only as long as the exponent stays at or below
// 4200 (1E5000 is read as 1E500), and the result is clamped to
// +-1.7E308 (`uc_MaxDouble`).
#ifndef ZEL_STREAMS_STREAMSCAN_H_
#define ZEL_STREAMS_STREAMSCAN_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/stream.h"

namespace ZEL_EXPORT zel {

int32_t ScanStreamDecimal(TStream& Stream);

double ScanStreamFPNum(TStream& Stream, bool AllowExp, int DecPChar);

}  // namespace zel

#endif  // ZEL_STREAMS_STREAMSCAN_H_
