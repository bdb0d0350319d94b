// zel/zelbase/csvdelim.h — the CSV delimiters: their characters, their
// names, and the lookup from a character to its kind.
//
//   zel::ResolveCSVDelimiter(u';')        == zel::csvSemicolon
//   zel::CSVDELIMITERIDS[zel::csvTab]     == u"tab"
#ifndef ZEL_ZELBASE_CSVDELIM_H_
#define ZEL_ZELBASE_CSVDELIM_H_

#include <array>

#include "zel/platform/export.h"
#include "zel/zelbase/types.h"

namespace ZEL_EXPORT zel {

// The character of each delimiter kind; `csvUnknown` has the character 0.
inline constexpr std::array<Char, 6> CSVDELIMITERS = {u'\0', u' ', u';', u',', u':', u'\t'};

inline constexpr std::array<StringView, 6> CSVDELIMITERIDS = {
    u"undefined", u"blank", u"semicolon", u"comma", u"colon", u"tab"};

// The kind from `csvBlank` to `csvTab` whose character is `ch` (checked in
// that order), or `csvUnknown`; the character 0 gives `csvUnknown`.
constexpr TCSVDelimiters ResolveCSVDelimiter(Char ch) noexcept {
  for (int d = csvBlank; d <= csvTab; ++d) {
    if (CSVDELIMITERS[static_cast<size_t>(d)] == ch) return static_cast<TCSVDelimiters>(d);
  }
  return csvUnknown;
}

}  // namespace zel

#endif  // ZEL_ZELBASE_CSVDELIM_H_
