// zel/stringl/charclass.h — ASCII character classes.
//
// Each test looks at one UTF-16 code unit and knows only the characters it
// names: letters are the ASCII letters, digits the ASCII digits, and the
// umlauts the seven German characters "äöüÄÖÜß".
//
//   zel::IsHexChar(u'f')   == true
//   zel::HexDigitValue(u'f') == 15
//   zel::IsLetter(u'ä')    == false   // not ASCII
//   zel::IsUmlaut(u'ß')    == true
#ifndef ZEL_STRINGL_CHARCLASS_H_
#define ZEL_STRINGL_CHARCLASS_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// '0'..'9'.
constexpr bool IsDigit(Char c) noexcept { return c >= u'0' && c <= u'9'; }

// 'A'..'Z' and 'a'..'z'.
constexpr bool IsLetter(Char c) noexcept {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// An ASCII letter or digit.
constexpr bool IsDigitLetter(Char c) noexcept { return IsDigit(c) || IsLetter(c); }

// '0'..'9', 'A'..'F', 'a'..'f'.
constexpr bool IsHexChar(Char c) noexcept {
  return IsDigit(c) || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

// 0-15 for '0'-'9', 'A'-'F' and 'a'-'f'; -1 for any other character.
constexpr int HexDigitValue(Char c) noexcept {
  if (IsDigit(c)) return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// One of ä ö ü Ä Ö Ü ß (codes 228, 246, 252, 196, 214, 220, 223).
constexpr bool IsUmlaut(Char c) noexcept {
  return c == 228 || c == 246 || c == 252 || c == 196 || c == 214 || c == 220 || c == 223;
}

}  // namespace zel

#endif  // ZEL_STRINGL_CHARCLASS_H_
