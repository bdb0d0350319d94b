// The POSIX side of zel/platform/internal/hostlocale.h: glibc's locale
// objects ("C" and "C.UTF-8") used per call, never the process locale.
#include "zel/platform/internal/hostlocale.h"

#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wctype.h>

#include <algorithm>

namespace zel::detail {
namespace {

// A fixed UTF-8 locale for the case tables, so the mapping does not follow
// the process locale.  "C.UTF-8" exists on every glibc system; when it
// cannot be opened the mapping leaves characters as they are.
locale_t CaseLocale() {
  static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return loc;
}

// The "C" locale, so that printf and strtod use '.' whatever the process
// locale says.
locale_t CLocale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t{});
  return loc;
}

}  // namespace

char16_t HostUpperChar(char16_t c) noexcept {
  const locale_t loc = CaseLocale();
  if (loc == locale_t{}) return c;
  const wint_t u = towupper_l(c, loc);
  return u <= 0xFFFF ? static_cast<char16_t>(u) : c;
}

char16_t HostLowerChar(char16_t c) noexcept {
  const locale_t loc = CaseLocale();
  if (loc == locale_t{}) return c;
  const wint_t l = towlower_l(c, loc);
  return l <= 0xFFFF ? static_cast<char16_t>(l) : c;
}

double CStrtod(const char* text, char** end) noexcept { return strtod_l(text, end, CLocale()); }

long double CStrtold(const char* text) noexcept { return strtold_l(text, nullptr, CLocale()); }

std::string CFormatLongDouble(const char* format, int precision, long double x) {
  const locale_t previous = uselocale(CLocale());
  const int n = snprintf(nullptr, 0, format, precision, x);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  snprintf(out.data(), out.size() + 1, format, precision, x);
  uselocale(previous);
  return out;
}

std::string CStrError(int err) {
  const locale_t loc = CLocale();
  if (loc == locale_t{}) return "Error " + std::to_string(err);
  return strerror_l(err, loc);
}

bool LocalOffsetAt(time_t t, long& offset) noexcept {
  struct tm tm;
  if (localtime_r(&t, &tm) == nullptr) return false;
  offset = tm.tm_gmtoff;
  return true;
}

bool UtcFields(time_t t, struct tm& out) noexcept { return gmtime_r(&t, &out) != nullptr; }

}  // namespace zel::detail
