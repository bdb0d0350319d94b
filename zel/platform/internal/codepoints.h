// zel/platform/internal/codepoints.h — internal: the code points of UTF-16
// text and their UTF-8 bytes, for the converters that write into raw buffers.
//
// One rule everywhere text becomes UTF-8: a surrogate pair is one character,
// an unpaired half is U+FFFD.
//
//   size_t i = 0;
//   while (i < s.size()) o = detail::WriteUtf8(o, detail::NextCodePoint(s, i));
#ifndef ZEL_PLATFORM_INTERNAL_CODEPOINTS_H_
#define ZEL_PLATFORM_INTERNAL_CODEPOINTS_H_

#include <cstddef>

#include "zel/platform/string.h"

namespace zel::detail {

// The character at s[i] (i < s.size()): a surrogate pair joined, an unpaired
// half as U+FFFD.  Advances i past it.
inline char32_t NextCodePoint(StringView s, size_t& i) noexcept {
  char32_t cp = s[i++];
  if (cp < 0xD800 || cp > 0xDFFF) return cp;
  if (cp <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF) {
    return 0x10000 + ((cp - 0xD800) << 10) + (s[i++] - 0xDC00);
  }
  return 0xFFFD;
}

// Writes the UTF-8 form of code point cp (no surrogate) at o, one to four
// bytes, and returns its end.
template <class Byte>
inline Byte* WriteUtf8(Byte* o, char32_t cp) noexcept {
  if (cp < 0x80) {
    *o++ = static_cast<Byte>(cp);
  } else if (cp < 0x800) {
    *o++ = static_cast<Byte>(0xC0 | (cp >> 6));
    *o++ = static_cast<Byte>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *o++ = static_cast<Byte>(0xE0 | (cp >> 12));
    *o++ = static_cast<Byte>(0x80 | ((cp >> 6) & 0x3F));
    *o++ = static_cast<Byte>(0x80 | (cp & 0x3F));
  } else {
    *o++ = static_cast<Byte>(0xF0 | (cp >> 18));
    *o++ = static_cast<Byte>(0x80 | ((cp >> 12) & 0x3F));
    *o++ = static_cast<Byte>(0x80 | ((cp >> 6) & 0x3F));
    *o++ = static_cast<Byte>(0x80 | (cp & 0x3F));
  }
  return o;
}

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_CODEPOINTS_H_
