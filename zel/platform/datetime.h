// zel/platform/datetime.h — dates and times as `TDateTime` (types.h): days
// since 1899-12-30 with the time of day as the fraction.
//
//   zel::TDateTime t = zel::EncodeDate(2024, 2, 29) + zel::EncodeTime(13, 5, 0, 0);
//   zel::FormatDateTime(u"dddd d mmmm yyyy, hh:nn am/pm", t)
//       == u"Thursday 29 February 2024, 01:05 pm"
//
// Dates before 1899-12-30 are negative and follow the classic convention:
// the whole part, counted toward zero, is the day and the fraction's
// magnitude is the time of day, so -1.25 is 1899-12-29 06:00 (not 1899-12-28
// 18:00).  `ComposeDateTime` and the decoders apply it; plain addition of a
// date and a time is only right for dates from 1899-12-30 on.  The range is
// the years 1 to 9999.  `DateTimeToLinear`/`LinearToDateTime` convert to and
// from a continuous day count for arithmetic across 1899-12-30.
//
// Decoding rounds to the nearest millisecond; a time that rounds up to
// 24:00 becomes 00:00 of the next day.
//
// `FormatDateTime` pattern letters (case-insensitive; English names):
//   d dd ddd dddd   day 1-31, 01-31, Sun-Sat, Sunday-Saturday
//   ddddd dddddd    the date as yyyy-mm-dd / dddd, mmmm d, yyyy
//   m mm mmm mmmm   month 1-12, 01-12, Jan-Dec, January-December; right
//                   after an h or hh, m and mm are minutes instead
//   yy yyyy         year in two / four digits (y and yyy count as yy, yyyy)
//   h hh            hour 0-23 (1-12 when the pattern has an am/pm marker)
//   n nn s ss       minute, second (one or two digits)
//   z zzz           millisecond (one to three digits / three digits)
//   t tt            the time as hh:nn / hh:nn:ss
//   c               the date, and the time (hh:nn:ss) when it is not 00:00:00
//   am/pm a/p       am or pm, a or p, in the letter case written
//   ampm            AM or PM
//   '...' "..."     literal text
// '/' and ':' are written as themselves (no locale separators); every other
// character is copied.  An empty pattern means "c".
//
// `DayOfWeek` counts from 1 for Sunday to 7 for Saturday.
// `Now()`, `Date()` and `Time()` give local time.
#ifndef ZEL_PLATFORM_DATETIME_H_
#define ZEL_PLATFORM_DATETIME_H_

#include <time.h>

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/types.h"

namespace ZEL_EXPORT zel {

inline constexpr int32_t kUnixDateDelta = 25569;  // 1970-01-01 as a TDateTime
inline constexpr int64_t kMSecsPerDay = 86400000;  // milliseconds in a day (1.0)

TDateTime Now();
TDateTime Date();
TDateTime Time();

// Whether Year is a leap year by the Gregorian rules (divisible by 4, not
// by 100 unless by 400), and the number of days of Month 1..12 in Year (0
// for another month).
bool IsLeapYear(int Year) noexcept;
int DaysInMonth(int Year, int Month) noexcept;

// Raise `EConvertError` for an invalid date or time; the Try forms return
// false instead.
TDateTime EncodeDate(uint16_t Year, uint16_t Month, uint16_t Day);
TDateTime EncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec);
[[nodiscard]] bool TryEncodeDate(uint16_t Year, uint16_t Month, uint16_t Day, TDateTime& Result) noexcept;
[[nodiscard]] bool TryEncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec,
                   TDateTime& Result) noexcept;
// A date plus a time of day, by the convention above.
TDateTime ComposeDateTime(TDateTime Date, TDateTime Time) noexcept;

// Outside the years 1..9999 (or for NaN) the parts are all 0, the time's
// as well as the date's.
void DecodeDate(TDateTime DateTime, uint16_t& Year, uint16_t& Month, uint16_t& Day) noexcept;
void DecodeTime(TDateTime DateTime, uint16_t& Hour, uint16_t& Min, uint16_t& Sec,
                uint16_t& MSec) noexcept;
int DayOfWeek(TDateTime DateTime) noexcept;

String FormatDateTime(StringView Format, TDateTime DateTime);

// A continuous day count (negative dates unfolded) and back.
double DateTimeToLinear(TDateTime DateTime) noexcept;
TDateTime LinearToDateTime(double Days) noexcept;

// Seconds since 1970-01-01 00:00 UTC, with no time-zone shift: the date and
// time are taken to be UTC.  Rounded to whole seconds.  Here and in
// `DateTimeToTimespec`, values beyond the years 1..9999 (infinities
// included) count as the nearest end of that range, and NaN as 1970-01-01.
int64_t DateTimeToUnix(TDateTime DateTime) noexcept;
TDateTime UnixToDateTime(int64_t Seconds) noexcept;
// File times: a system time stamp to local (or UTC) date and time, and back.
TDateTime TimespecToDateTime(const timespec& Time, bool Local = true) noexcept;
timespec DateTimeToTimespec(TDateTime DateTime, bool Local = true) noexcept;

}  // namespace zel

#endif  // ZEL_PLATFORM_DATETIME_H_
