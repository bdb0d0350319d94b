// zel/platform/internal/hostlocale.h — the host's character and number
// conventions, fixed to the "C" rules whatever locale the process chose.
//
// The case tables, the decimal conversions, the error messages and the
// local time zone come from the host's C library (POSIX) or from Windows;
// each host has its file (hostlocale_posix.cpp, hostlocale_win32.cpp), and
// what is built on those calls alone is in hostlocale.cpp.
//
//   zel::Char up = zel::detail::HostUpperChar(u'\u00E9');        // U+00C9
//   double d = zel::detail::CStrtod("2.5");                       // '.' always
#ifndef ZEL_PLATFORM_INTERNAL_HOSTLOCALE_H_
#define ZEL_PLATFORM_INTERNAL_HOSTLOCALE_H_

#include <time.h>

#include <string>

namespace zel::detail {

// The simple upper and lower case of one UTF-16 code unit that is not a
// surrogate; the unit itself when the host knows no case for it or its
// case lies outside the 16-bit range.
char16_t HostUpperChar(char16_t c) noexcept;
char16_t HostLowerChar(char16_t c) noexcept;

// Decimal text to binary with "." as the decimal point, correctly rounded;
// `end`, when given, gets where the number ends, as for strtod.
double CStrtod(const char* text, char** end = nullptr) noexcept;
long double CStrtold(const char* text) noexcept;

// printf-style formatting of one long double with one precision argument
// ("%.*Lf", "%.*Le"), with "." as the decimal point.
std::string CFormatLongDouble(const char* format, int precision, long double x);

// The host's untranslated message for an errno value.
std::string CStrError(int err);

// The offset of local time from UTC at `t`, in seconds; false when the
// host cannot tell.
bool LocalOffsetAt(time_t t, long& offset) noexcept;

// The calendar fields of `t` in UTC (gmtime, thread-safe); false when `t`
// is out of the host's range.
bool UtcFields(time_t t, struct tm& out) noexcept;

// The UTC instant at which the local wall clock shows `wall` (read as if
// it were UTC); false when the host cannot tell.  The same on every host
// (hostlocale.cpp).
bool WallClockToUtc(time_t wall, time_t& utc) noexcept;

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_HOSTLOCALE_H_
