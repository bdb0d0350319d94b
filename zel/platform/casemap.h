// zel/platform/casemap.h — the two kinds of case folding.
//
// ASCII folding changes only A-Z and a-z and leaves every other character as
// it is: `UpperCase`, `LowerCase`, `SameText`, `CompareText`.
//
// Locale-aware folding uses the full Unicode case mapping of each character
// (independent of the process locale, so results never depend on LANG):
// `AnsiUpperCase`, `AnsiLowerCase`, `AnsiSameText`, `AnsiCompareText`.
// Each UTF-16 code unit maps to one code unit; characters outside the basic
// plane and characters whose mapping needs more than one character (the
// German sharp s) stay as they are.
//
//   zel::UpperCase(u"äbc")      == u"äBC"
//   zel::AnsiUpperCase(u"äbc")  == u"ÄBC"
#ifndef ZEL_PLATFORM_CASEMAP_H_
#define ZEL_PLATFORM_CASEMAP_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// One character with ASCII folding: a-z to A-Z / A-Z to a-z, anything else
// as it is.
constexpr Char AsciiUpper(Char c) noexcept {
  return (c >= u'a' && c <= u'z') ? static_cast<Char>(c - 32) : c;
}
constexpr Char AsciiLower(Char c) noexcept {
  return (c >= u'A' && c <= u'Z') ? static_cast<Char>(c + 32) : c;
}

String UpperCase(StringView s);
String LowerCase(StringView s);
bool SameText(StringView a, StringView b) noexcept;
// <0, 0 or >0 after ASCII upper-casing, by code unit.
int CompareText(StringView a, StringView b) noexcept;

// One code unit with locale-aware folding (as above: a surrogate, or a
// character whose mapping needs more than one code unit, stays as it is).
Char AnsiUpperChar(Char c) noexcept;
Char AnsiLowerChar(Char c) noexcept;
String AnsiUpperCase(StringView s);
String AnsiLowerCase(StringView s);
bool AnsiSameText(StringView a, StringView b) noexcept;
// <0, 0 or >0 after locale-aware upper-casing, by code unit.
int AnsiCompareText(StringView a, StringView b) noexcept;

}  // namespace zel

#endif  // ZEL_PLATFORM_CASEMAP_H_
