#include "zel/platform/casemap.h"

#include <algorithm>

#include "zel/platform/export.h"
#include "zel/platform/internal/hostlocale.h"

namespace ZEL_EXPORT zel {
namespace {

bool IsSurrogate(Char c) { return c >= 0xD800 && c <= 0xDFFF; }

template <Char (*F)(Char)>
String MapEach(StringView s) {
  String out(s);
  std::transform(out.begin(), out.end(), out.begin(), F);
  return out;
}

template <Char (*F)(Char)>
int CompareMapped(StringView a, StringView b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const Char x = F(a[i]);
    const Char y = F(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Char AsciiUpperFn(Char c) { return AsciiUpper(c); }
Char AsciiLowerFn(Char c) { return AsciiLower(c); }
Char AnsiUpperFn(Char c) { return AnsiUpperChar(c); }
Char AnsiLowerFn(Char c) { return AnsiLowerChar(c); }

}  // namespace

String UpperCase(StringView s) { return MapEach<AsciiUpperFn>(s); }
String LowerCase(StringView s) { return MapEach<AsciiLowerFn>(s); }
bool SameText(StringView a, StringView b) noexcept {
  return CompareMapped<AsciiUpperFn>(a, b) == 0;
}
int CompareText(StringView a, StringView b) noexcept { return CompareMapped<AsciiUpperFn>(a, b); }

Char AnsiUpperChar(Char c) noexcept {
  if (c < 0x80) return AsciiUpper(c);
  return IsSurrogate(c) ? c : detail::HostUpperChar(c);
}

Char AnsiLowerChar(Char c) noexcept {
  if (c < 0x80) return AsciiLower(c);
  return IsSurrogate(c) ? c : detail::HostLowerChar(c);
}

String AnsiUpperCase(StringView s) { return MapEach<AnsiUpperFn>(s); }
String AnsiLowerCase(StringView s) { return MapEach<AnsiLowerFn>(s); }
bool AnsiSameText(StringView a, StringView b) noexcept {
  return CompareMapped<AnsiUpperFn>(a, b) == 0;
}
int AnsiCompareText(StringView a, StringView b) noexcept {
  return CompareMapped<AnsiUpperFn>(a, b);
}

}  // namespace zel
