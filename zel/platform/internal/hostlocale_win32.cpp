// The Windows side of zel/platform/internal/hostlocale.h: the invariant
// locale's case tables, MinGW's own conversions (correctly rounded, 80-bit
// long double, "." as the decimal point while the process keeps the "C"
// locale, as programs do unless they call setlocale), and the C runtime's
// time zone.
#include "zel/platform/internal/hostlocale.h"
#include "zel/platform/internal/wide_win32.h"

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace zel::detail {
namespace {

char16_t MapCase(char16_t c, DWORD how) noexcept {
  wchar_t in = static_cast<wchar_t>(c);
  wchar_t out = in;
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, how, &in, 1, &out, 1, nullptr, nullptr, 0) != 1) {
    return c;
  }
  return static_cast<char16_t>(out);
}

}  // namespace

char16_t HostUpperChar(char16_t c) noexcept { return MapCase(c, LCMAP_UPPERCASE); }

char16_t HostLowerChar(char16_t c) noexcept { return MapCase(c, LCMAP_LOWERCASE); }

double CStrtod(const char* text, char** end) noexcept { return __mingw_strtod(text, end); }

long double CStrtold(const char* text) noexcept { return __mingw_strtold(text, nullptr); }

std::string CFormatLongDouble(const char* format, int precision, long double x) {
  const int n = __mingw_snprintf(nullptr, 0, format, precision, x);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  __mingw_snprintf(out.data(), out.size() + 1, format, precision, x);
  return out;
}

std::string CStrError(int err) {
  // Codes the file layer reports as POSIX hosts do, which the C runtime
  // has no text for: the texts POSIX hosts give.
  switch (err) {
    case ELOOP: return "Too many levels of symbolic links";
    case ESTALE: return "Stale file handle";
    case ECANCELED: return "Operation canceled";
    default: break;
  }
  char buf[256];
  if (strerror_s(buf, sizeof buf, err) != 0) return "Error " + std::to_string(err);
  return buf;
}

bool LocalOffsetAt(time_t t, long& offset) noexcept {
  struct tm local;
  if (localtime_s(&local, &t) != 0) return false;
  const time_t as_utc = _mkgmtime(&local);
  if (as_utc == static_cast<time_t>(-1)) return false;
  offset = static_cast<long>(as_utc - t);
  return true;
}

bool UtcFields(time_t t, struct tm& out) noexcept { return gmtime_s(&out, &t) == 0; }

}  // namespace zel::detail
