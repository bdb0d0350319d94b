// zel/stringl/internal/grepop.h — internal: a `TGrep` token prepared for
// matching, shared by the compiler (grep.cpp) and the matcher
// (grep_match.cpp).
#ifndef ZEL_STRINGL_INTERNAL_GREPOP_H_
#define ZEL_STRINGL_INTERNAL_GREPOP_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/stringl/grep.h"
#include "zel/stringl/internal/grepscan.h"

namespace zel::detail {

// With `force` set, every search that backtracks at all is decided by the
// table at once (process-wide; for tests and fuzzing, which check that
// both ways give the same results).
void ForceGrepTable(bool force) noexcept;

// A token prepared for matching: the set as a bitmap, the literal as a
// pointer into the token's Params.
struct GrepOp {
  const Char* str = nullptr;
  int32_t len = 0;         // literal or operand length (1 for any/set)
  TGrepTokenAct kind = taNormal;
  uint8_t operand = 0;     // repetitions: 0 string, 1 any character, 2 set
  uint64_t set[4] = {};
  // When the set's members are exactly the codes range_lo..range_hi
  // (otherwise range_lo > range_hi).
  Char range_lo = 1;
  Char range_hi = 0;
  // A literal or repeated literal: how its scan finds where it stands.
  GrepProbe probe;
};

}  // namespace zel::detail

#endif  // ZEL_STRINGL_INTERNAL_GREPOP_H_
