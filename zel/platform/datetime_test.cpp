#include "zel/platform/datetime.h"

#include <gtest/gtest.h>
#include <time.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "zel/platform/exceptions.h"
#include "zel/testutil/envvar.h"

namespace zel {
namespace {

TEST(DateTime, EncodeDateKnownDays) {
  struct Case { uint16_t y, m, d; double value; };
  const Case cases[] = {{1899, 12, 30, 0},     {1900, 1, 1, 2},        {1970, 1, 1, 25569},
                        {2000, 1, 1, 36526},   {2024, 2, 29, 45351},   {1, 1, 1, -693593},
                        {9999, 12, 31, 2958465}, {1899, 12, 29, -1}};
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.m, c.d), c.value) << c.y << "-" << c.m << "-" << c.d;
    uint16_t y, m, d;
    DecodeDate(c.value, y, m, d);
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(m, c.m);
    EXPECT_EQ(d, c.d);
  }
}

TEST(DateTime, InvalidDatesAndTimes) {
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 4, 31), EConvertError);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
  TDateTime t = 5;
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29, t));  // not a leap year
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29, t));
  uint16_t y = 1, m = 1, d = 1;
  DecodeDate(1e7, y, m, d);  // beyond 9999
  EXPECT_EQ(y + m + d, 0);
  DecodeDate(std::nan(""), y, m, d);
  EXPECT_EQ(y + m + d, 0);
}

TEST(DateTime, EveryDayRoundTrips) {
  for (int64_t day = -693593; day <= 2958465; day += 17) {
    uint16_t y, m, d;
    DecodeDate(static_cast<double>(day), y, m, d);
    ASSERT_EQ(EncodeDate(y, m, d), static_cast<double>(day));
  }
}

TEST(DateTime, NegativeDatesKeepTimeAsFraction) {
  const TDateTime dt = ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0));
  EXPECT_EQ(dt, -1.25);
  uint16_t y, m, d, h, n, s, z;
  DecodeDate(dt, y, m, d);
  DecodeTime(dt, h, n, s, z);
  EXPECT_EQ(d, 29);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(ComposeDateTime(EncodeDate(2000, 1, 1), EncodeTime(6, 0, 0, 0)), 36526.25);
  // The continuous day count puts it a quarter day after 1899-12-29 00:00.
  EXPECT_EQ(DateTimeToLinear(dt), -0.75);
  EXPECT_EQ(LinearToDateTime(-0.75), dt);
  EXPECT_EQ(LinearToDateTime(DateTimeToLinear(-700.5)), -700.5);
}

TEST(DateTime, TimeRoundsToMillisecondsIntoTheNextDay) {
  uint16_t h, n, s, z, y, m, d;
  DecodeTime(EncodeTime(13, 45, 30, 250), h, n, s, z);
  EXPECT_EQ(h * 10000000 + n * 100000 + s * 1000 + z, 134530250);
  const TDateTime almost = EncodeDate(2023, 12, 31) + 0.9999999999;
  DecodeDate(almost, y, m, d);
  DecodeTime(almost, h, n, s, z);
  EXPECT_EQ(y, 2024);
  EXPECT_EQ(m, 1);
  EXPECT_EQ(d, 1);
  EXPECT_EQ(h + n + s + z, 0);
}

TEST(DateTime, OutsideTheYearRangeEveryPartIsZero) {
  // 10000-01-01 12:00, 0000-12-31 12:00 and NaN decode to nothing at all.
  for (const TDateTime dt : {2958466.5, -693594.5, std::nan("")}) {
    uint16_t y = 1, m = 1, d = 1, h = 1, n = 1, s = 1, z = 1;
    DecodeDate(dt, y, m, d);
    DecodeTime(dt, h, n, s, z);
    EXPECT_EQ(y + m + d + h + n + s + z, 0) << dt;
  }
  uint16_t h, n, s, z;
  DecodeTime(2958465.5, h, n, s, z);  // 9999-12-31 still decodes
  EXPECT_EQ(h, 12);
}

TEST(DateTime, DayOfWeekAndLeapYears) {
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 2, 29)), 5);  // Thursday
  EXPECT_EQ(DayOfWeek(0), 7);                        // 1899-12-30 was a Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(1, 1, 1)), 2);      // Monday
  EXPECT_EQ(DayOfWeek(-1.5), 6);                     // 1899-12-29, a Friday
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
}

TEST(DateTime, FormatPatterns) {
  const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(13, 7, 9, 45);
  struct Case { const char16_t* pattern; const char16_t* text; };
  const Case cases[] = {
      {u"d/m/yy", u"5/3/24"},
      {u"dd.mm.yyyy", u"05.03.2024"},
      {u"ddd dddd", u"Tue Tuesday"},
      {u"mmm mmmm", u"Mar March"},
      {u"hh:mm:ss", u"13:07:09"},       // m after h is minutes
      {u"h:n:s.zzz z", u"13:7:9.045 45"},
      {u"hh:nn am/pm", u"01:07 pm"},
      {u"h:nn AM/PM", u"1:07 PM"},
      {u"h a/p", u"1 p"},
      {u"h ampm", u"1 PM"},
      {u"'dd' \"mm\" dd", u"dd mm 05"},
      {u"ddddd", u"2024-03-05"},
      {u"dddddd", u"Tuesday, March 5, 2024"},
      {u"t | tt", u"13:07 | 13:07:09"},
      {u"c", u"2024-03-05 13:07:09"},
      {u"", u"2024-03-05 13:07:09"},
      {u"YYYY-MM-DD", u"2024-03-05"},
      {u"[x]", u"[x]"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDateTime(c.pattern, t), c.text) << ToUtf8(c.pattern);
  EXPECT_EQ(FormatDateTime(u"c", EncodeDate(2024, 3, 5)), u"2024-03-05");
  EXPECT_EQ(FormatDateTime(u"h am/pm", EncodeTime(0, 30, 0, 0)), u"12 am");
  EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn", -1.25), u"1899-12-29 06:00");
}

TEST(DateTime, UnixAndTimespecConversions) {
  EXPECT_EQ(UnixToDateTime(0), 25569);
  EXPECT_EQ(DateTimeToUnix(EncodeDate(2000, 1, 1)), 946684800);
#if !defined(_WIN32)  // the Windows C runtime has no timegm
  struct tm tm = {};
  tm.tm_year = -1;  // 1899
  tm.tm_mon = 11;
  tm.tm_mday = 29;
  tm.tm_hour = 6;
  EXPECT_EQ(DateTimeToUnix(-1.25), static_cast<int64_t>(timegm(&tm)));
  EXPECT_EQ(UnixToDateTime(timegm(&tm)), -1.25);
#endif
  // 1899-12-29 06:00 UTC: a day and 18 hours before 1899-12-30.
  EXPECT_EQ(DateTimeToUnix(-1.25), -2209226400);
  EXPECT_EQ(UnixToDateTime(-2209226400), -1.25);

  timespec ts{1700000000, 123000000};
  EXPECT_EQ(DateTimeToUnix(TimespecToDateTime(ts, false)), 1700000000);
  for (bool local : {false, true}) {
    const timespec back = DateTimeToTimespec(TimespecToDateTime(ts, local), local);
    EXPECT_EQ(back.tv_sec, ts.tv_sec);
    EXPECT_EQ(back.tv_nsec, ts.tv_nsec);
  }
  // A zone given by rule, so no time-zone database is needed.  The Windows
  // C runtime reads only the names and the offset from TZ and takes the
  // summer-time dates from elsewhere (its own rule; Wine's, the system
  // zone's), so there the zone has no summer time.
  {
#if defined(_WIN32)
    testutil::EnvVar zone("TZ", "CET-1");
    const char16_t* const summer_wall_clock = u"10:46";
#else
    testutil::EnvVar zone("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    const char16_t* const summer_wall_clock = u"11:46";
#endif
    tzset();
    const timespec summer{1720000000, 0};  // 2024-07-03 09:46:40 UTC
    EXPECT_EQ(FormatDateTime(u"hh:nn", TimespecToDateTime(summer, true)), summer_wall_clock);
    EXPECT_EQ(DateTimeToTimespec(TimespecToDateTime(summer, true), true).tv_sec, summer.tv_sec);
    EXPECT_EQ(DateTimeToTimespec(TimespecToDateTime(ts, true), true).tv_sec, ts.tv_sec);
  }
  tzset();
  // Values beyond the date range hold at its ends; NaN is the epoch.
  const double inf = HUGE_VAL;
  const int64_t first = -62135596800;  // 0001-01-01 00:00:00 UTC
  const int64_t past_last = 253402300800;  // 10000-01-01 00:00:00 UTC
  EXPECT_EQ(DateTimeToUnix(EncodeDate(1, 1, 1)), first);
  for (const double dt : {-1e300, -inf, -1e9}) {
    EXPECT_EQ(DateTimeToUnix(dt), first) << dt;
    EXPECT_EQ(DateTimeToTimespec(dt, false).tv_sec, first) << dt;
  }
  for (const double dt : {1e300, inf, 1e9}) {
    EXPECT_EQ(DateTimeToUnix(dt), past_last) << dt;
    EXPECT_EQ(DateTimeToTimespec(dt, false).tv_sec, past_last) << dt;
  }
  EXPECT_EQ(DateTimeToUnix(std::nan("")), 0);
  EXPECT_EQ(DateTimeToTimespec(std::nan(""), false).tv_sec, 0);
  EXPECT_EQ(DateTimeToTimespec(std::nan(""), false).tv_nsec, 0);
  const timespec now = DateTimeToTimespec(Now(), true);
  EXPECT_LE(std::llabs(static_cast<long long>(now.tv_sec - time(nullptr))), 2);
  EXPECT_EQ(Date(), std::trunc(Date()));
  EXPECT_GE(Time(), 0);
  EXPECT_LT(Time(), 1);
}

}  // namespace
}  // namespace zel
