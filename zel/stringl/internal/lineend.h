// zel/stringl/internal/lineend.h — internal: the line-end rule shared by
// `ReadLnString` and the stream line readers.
#ifndef ZEL_STRINGL_INTERNAL_LINEEND_H_
#define ZEL_STRINGL_INTERNAL_LINEEND_H_

#include "zel/platform/string.h"

namespace zel::detail {

// The line-end rule of `ReadLnString` (and of the stream line readers that
// drop control characters): true if the control character `C`, read right
// after `Prev`, ends the line in `Mode`.
constexpr bool EndsLine(int Mode, Char C, Char Prev) noexcept {
  switch (Mode) {
    case 0: return C == 10;
    case 1: return C == 13;
    case 2: return C == 10 || C == 13;
    case 3: return C == 13 && Prev == 10;
    case 4: return C == 10 && Prev == 13;
    default: return false;
  }
}

}  // namespace zel::detail

#endif  // ZEL_STRINGL_INTERNAL_LINEEND_H_
