// zel/stringl/internal/grepscan.h — internal: the scan that finds where a
// `TGrep` literal may start.
//
// A probe names up to three characters of a literal (the first, the last
// and the second) and where they stand in it; `FindLiteral` returns the first
// start at which the literal stands, comparing the probe characters at many
// starts at a time with the widest vector instructions the processor has
// (asked once), and the whole literal only where they all stand.  Under
// IgnoreCase the input is read folded (A-Z as a-z), as the matcher reads
// it.
//
//   GrepProbe probe = MakeGrepProbe(literal, 3, /*fold=*/false);
//   int q = FindLiteral(line.data(), 1, int(line.size()) - 2, probe);
//
// `LimitGrepVector` caps the instructions used by the probes made after it,
// process-wide, so that tests and fuzzing run every path on one machine.
#ifndef ZEL_STRINGL_INTERNAL_GREPSCAN_H_
#define ZEL_STRINGL_INTERNAL_GREPSCAN_H_

#include <cstdint>

#include "zel/platform/casemap.h"
#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace zel::detail {

// True when the literal str[0..len) stands at `in`, which is read folded
// when `fold`.  The input is UTF-16 code units, or bytes that stand for
// the characters of the same codes.
template <class C>
inline bool LiteralStandsAt(const C* in, const Char* str, int len, bool fold) noexcept {
  for (int i = 0; i < len; ++i) {
    const Char c = in[i];
    if ((fold ? AsciiLower(c) : c) != str[i]) return false;
  }
  return true;
}

struct GrepProbe {
  const Char* str = nullptr;  // the literal (folded under IgnoreCase), not owned
  int32_t len = 0;
  bool ignore_case = false;
  int32_t count = 0;  // 1 to 3 (0: an empty literal, which stands everywhere)
  int32_t at[3] = {};  // offsets in the literal, rising; at[0] == 0
  Char want[3] = {};
  // 0x20 where a small letter also accepts its capital: the input
  // character c passes when (c | fold) == want.
  Char fold[3] = {};
  // The probe covers the whole literal and passes exactly where it stands
  // (no capital under IgnoreCase, which no folded input holds): no check of
  // the whole literal is needed.
  bool exact = false;
  // The scan for this probe's count with the instructions chosen when the
  // probe was made.
  int (*find)(const Char* s, int p, int last, const GrepProbe& probe) noexcept = nullptr;
  // The same over bytes (each the character of its code).
  int (*find8)(const unsigned char* s, int p, int last, const GrepProbe& probe) noexcept = nullptr;
};

// The probe of the literal str[0..len) (kept by pointer), with IgnoreCase
// when `fold`.
GrepProbe MakeGrepProbe(const Char* str, int len, bool fold) noexcept;

// The smallest position q in p..last (counted from 1) at which the literal
// stands; last + 1 when there is none.  The input must reach position
// last + len - 1.
inline int FindLiteral(const Char* s, int p, int last, const GrepProbe& probe) noexcept {
  return probe.find(s, p, last, probe);
}
inline int FindLiteral(const unsigned char* s, int p, int last, const GrepProbe& probe) noexcept {
  return probe.find8(s, p, last, probe);
}

enum GrepVector : int {
  kGrepPortable,  // one start at a time
  kGrepSse2,      // 8 starts at a time
  kGrepAvx2,      // 16
  kGrepAvx512,    // 32, the end of the line through masked loads
};

// The widest instructions the processor offers for the scan, and the limit
// that new probes keep to (the best there is unless lowered).
GrepVector GrepVectorAvailable() noexcept;
void LimitGrepVector(GrepVector level) noexcept;

}  // namespace zel::detail

#endif  // ZEL_STRINGL_INTERNAL_GREPSCAN_H_
