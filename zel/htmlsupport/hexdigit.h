// zel/htmlsupport/hexdigit.h — internal: the value of a hexadecimal digit,
// shared by the URL decoder and the numeric character references.
#ifndef ZEL_HTMLSUPPORT_HEXDIGIT_H_
#define ZEL_HTMLSUPPORT_HEXDIGIT_H_

#include "zel/platform/string.h"

namespace zel::detail {

// 0-15 for '0'-'9', 'A'-'F' and 'a'-'f'; -1 for any other character.
constexpr int HexDigitValue(Char c) noexcept {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

}  // namespace zel::detail

#endif  // ZEL_HTMLSUPPORT_HEXDIGIT_H_
