#include "zel/stringl/strip.h"

#include "zel/platform/export.h"

namespace ZEL_EXPORT zel {

String StripLTBlanks(StringView S) {
  const size_t first = S.find_first_not_of(u' ');
  if (first == StringView::npos) return String();
  const size_t last = S.find_last_not_of(u' ');
  return String(S.substr(first, last - first + 1));
}

String StripLeadingBlanks(StringView S) {
  size_t i = 0;
  while (i + 1 < S.size() && S[i] == u' ') ++i;
  return String(S.substr(i));
}

String StripTrailingBlanks(StringView S) { return StripTrailingChars(u' ', S); }

String StripLeadingChars(Char C, StringView S) {
  size_t i = 0;
  while (i < S.size() && S[i] == C) ++i;
  return String(S.substr(i));
}

String StripTrailingChars(Char C, StringView S) {
  size_t n = S.size();
  while (n > 1 && S[n - 1] == C) --n;
  return String(S.substr(0, n));
}

String EnsureTrailingBkSlash(StringView S) { return EnsureTrailingChar(u'\\', S); }

String EnsureTrailingChar(Char C, StringView S) {
  String r(S);
  if (!r.empty() && r.back() != C) r += C;
  return r;
}

String EnsureLeadingChar(Char C, StringView S) {
  if (S.empty() || S.front() == C) return String(S);
  String r;
  r.reserve(S.size() + 1);
  r += C;
  r += S;
  return r;
}

}  // namespace zel
