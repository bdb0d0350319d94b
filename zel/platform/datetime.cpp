#include "zel/platform/datetime.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/internal/hostlocale.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr const char* kShortDay[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kLongDay[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};
constexpr const char* kShortMonth[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kLongMonth[] = {"January", "February", "March",     "April",
                                      "May",     "June",     "July",      "August",
                                      "September", "October", "November", "December"};

constexpr int64_t kMinDay = -693593;  // 0001-01-01
constexpr int64_t kMaxDay = 2958465;  // 9999-12-31

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's method).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = yoe + era * 400 + (m <= 2);
}

// The day number and the millisecond of the day, by the classic convention.
bool Split(TDateTime dt, int64_t& day, int64_t& ms) {
  if (!std::isfinite(dt) || std::fabs(dt) > 1e9) return false;
  const double whole = std::trunc(dt);
  day = static_cast<int64_t>(whole);
  ms = std::llround(std::fabs(dt - whole) * kMSecsPerDay);
  if (ms >= kMSecsPerDay) {
    ms -= kMSecsPerDay;
    day += 1;
  }
  return true;
}

std::string Pad(int64_t v, int digits) {
  std::string s = std::to_string(v);
  if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), '0');
  return s;
}

struct Parts {
  int64_t year = 0, month = 0, day = 0, hour = 0, min = 0, sec = 0, msec = 0;
  int dow = 0;  // 0 = Sunday
  bool has_time = false;
};

Parts Decode(TDateTime dt) {
  Parts p;
  int64_t day, ms;
  if (!Split(dt, day, ms) || day < kMinDay || day > kMaxDay) return p;
  p.hour = ms / 3600000;
  p.min = ms / 60000 % 60;
  p.sec = ms / 1000 % 60;
  p.msec = ms % 1000;
  p.has_time = ms != 0;
  CivilFromDays(day - kUnixDateDelta, p.year, p.month, p.day);
  p.dow = static_cast<int>(((day - 1) % 7 + 7) % 7);  // day 1 (1899-12-31) was a Sunday
  return p;
}

// Counts how many times the letter at `i` (ignoring case) repeats.
size_t RunLength(StringView f, size_t i) {
  const Char c = AsciiLower(f[i]);
  size_t n = 1;
  while (i + n < f.size() && AsciiLower(f[i + n]) == c) ++n;
  return n;
}

bool StartsWithNoCase(StringView f, size_t i, std::string_view word) {
  if (f.size() - i < word.size()) return false;
  for (size_t k = 0; k < word.size(); ++k) {
    if (AsciiLower(f[i + k]) != static_cast<Char>(word[k])) return false;
  }
  return true;
}

bool HasAmPm(StringView f) {
  for (size_t i = 0; i < f.size(); ++i) {
    const Char c = f[i];
    if (c == u'\'' || c == u'"') {
      const size_t close = f.find(c, i + 1);
      if (close == StringView::npos) return false;
      i = close;
    } else if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") ||
               StartsWithNoCase(f, i, "ampm")) {
      return true;
    }
  }
  return false;
}

void Format(StringView f, const Parts& p, String& out) {
  const bool twelve = HasAmPm(f);
  const int64_t hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
  auto put = [&out](const std::string& s) { out += S(s); };
  bool after_hour = false;
  for (size_t i = 0; i < f.size();) {
    const Char c = f[i];
    const Char lc = AsciiLower(c);
    if (c == u'\'' || c == u'"') {
      size_t close = f.find(c, i + 1);
      if (close == StringView::npos) close = f.size();
      out.append(f.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    if (lc == u'a') {
      if (StartsWithNoCase(f, i, "am/pm")) {
        out.append(p.hour < 12 ? f.substr(i, 2) : f.substr(i + 3, 2));
        i += 5;
      } else if (StartsWithNoCase(f, i, "a/p")) {
        out += p.hour < 12 ? f[i] : f[i + 2];
        i += 3;
      } else if (StartsWithNoCase(f, i, "ampm")) {
        put(p.hour < 12 ? "AM" : "PM");
        i += 4;
      } else {
        out += c;
        ++i;
      }
      continue;
    }
    if (lc != u'd' && lc != u'm' && lc != u'y' && lc != u'h' && lc != u'n' && lc != u's' &&
        lc != u'z' && lc != u't' && lc != u'c') {
      out += c;  // separators and other text; they keep the hour context
      ++i;
      continue;
    }
    const size_t n = RunLength(f, i);
    i += n;
    const bool minutes_context = after_hour;
    after_hour = false;
    switch (lc) {
      case u'd':
        if (n == 1) put(std::to_string(p.day));
        else if (n == 2) put(Pad(p.day, 2));
        else if (n == 3) put(kShortDay[p.dow]);
        else if (n == 4) put(kLongDay[p.dow]);
        else if (n == 5) Format(u"yyyy-mm-dd", p, out);
        else Format(u"dddd, mmmm d, yyyy", p, out);
        break;
      case u'm':
        if (minutes_context && n <= 2) put(n == 1 ? std::to_string(p.min) : Pad(p.min, 2));
        else if (n == 1) put(std::to_string(p.month));
        else if (n == 2) put(Pad(p.month, 2));
        else if (n == 3) put(p.month ? kShortMonth[p.month - 1] : "");
        else put(p.month ? kLongMonth[p.month - 1] : "");
        break;
      case u'y':
        put(n <= 2 ? Pad(p.year % 100, 2) : Pad(p.year, 4));
        break;
      case u'h': {
        const int64_t h = twelve ? hour12 : p.hour;
        put(n == 1 ? std::to_string(h) : Pad(h, 2));
        after_hour = true;
        break;
      }
      case u'n': put(n == 1 ? std::to_string(p.min) : Pad(p.min, 2)); break;
      case u's': put(n == 1 ? std::to_string(p.sec) : Pad(p.sec, 2)); break;
      case u'z': put(n < 3 ? std::to_string(p.msec) : Pad(p.msec, 3)); break;
      case u't': Format(n == 1 ? u"hh:nn" : u"hh:nn:ss", p, out); break;
      case u'c':
        Format(u"yyyy-mm-dd", p, out);
        if (p.has_time) Format(u" hh:nn:ss", p, out);
        break;
    }
  }
}

// The continuous day count of `dt` held to the years 1..9999 (through
// 10000-01-01 00:00), so that seconds and milliseconds fit in 64 bits;
// NaN stands for 1970-01-01.
double ClampedLinear(TDateTime dt) {
  constexpr double kLow = kMinDay;
  constexpr double kHigh = kMaxDay + 1;
  if (std::isnan(dt)) return kUnixDateDelta;
  if (std::isinf(dt)) return dt < 0 ? kLow : kHigh;
  return std::clamp(DateTimeToLinear(dt), kLow, kHigh);
}

}  // namespace

bool IsLeapYear(int Year) noexcept {
  return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

int DaysInMonth(int Year, int Month) noexcept {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) return 0;
  return kDays[Month - 1] + (Month == 2 && IsLeapYear(Year) ? 1 : 0);
}

bool TryEncodeDate(uint16_t Year, uint16_t Month, uint16_t Day, TDateTime& Result) noexcept {
  if (Year < 1 || Year > 9999 || Day < 1 || Day > DaysInMonth(Year, Month)) return false;
  Result = static_cast<double>(DaysFromCivil(Year, Month, Day) + kUnixDateDelta);
  return true;
}

bool TryEncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec,
                   TDateTime& Result) noexcept {
  if (Hour >= 24 || Min >= 60 || Sec >= 60 || MSec >= 1000) return false;
  Result = static_cast<double>(((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec) / kMSecsPerDay;
  return true;
}

TDateTime EncodeDate(uint16_t Year, uint16_t Month, uint16_t Day) {
  TDateTime r;
  if (!TryEncodeDate(Year, Month, Day, r)) throw EConvertError(u"Invalid argument to date encode");
  return r;
}

TDateTime EncodeTime(uint16_t Hour, uint16_t Min, uint16_t Sec, uint16_t MSec) {
  TDateTime r;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, r)) {
    throw EConvertError(u"Invalid argument to time encode");
  }
  return r;
}

TDateTime ComposeDateTime(TDateTime Date, TDateTime Time) noexcept {
  const double day = std::trunc(Date);
  const double t = std::fabs(Time - std::trunc(Time));
  return day < 0 ? day - t : day + t;
}

void DecodeDate(TDateTime DateTime, uint16_t& Year, uint16_t& Month, uint16_t& Day) noexcept {
  const Parts p = Decode(DateTime);
  Year = static_cast<uint16_t>(p.year);
  Month = static_cast<uint16_t>(p.month);
  Day = static_cast<uint16_t>(p.day);
}

void DecodeTime(TDateTime DateTime, uint16_t& Hour, uint16_t& Min, uint16_t& Sec,
                uint16_t& MSec) noexcept {
  const Parts p = Decode(DateTime);
  Hour = static_cast<uint16_t>(p.hour);
  Min = static_cast<uint16_t>(p.min);
  Sec = static_cast<uint16_t>(p.sec);
  MSec = static_cast<uint16_t>(p.msec);
}

int DayOfWeek(TDateTime DateTime) noexcept { return Decode(DateTime).dow + 1; }

String FormatDateTime(StringView Format, TDateTime DateTime) {
  String out;
  zel::Format(Format.empty() ? StringView(u"c") : Format, Decode(DateTime), out);
  return out;
}

double DateTimeToLinear(TDateTime DateTime) noexcept {
  const double day = std::trunc(DateTime);
  return day + std::fabs(DateTime - day);
}

TDateTime LinearToDateTime(double Days) noexcept {
  const double day = std::floor(Days);
  const double t = Days - day;
  return day < 0 ? day - t : day + t;
}

int64_t DateTimeToUnix(TDateTime DateTime) noexcept {
  return std::llround((ClampedLinear(DateTime) - kUnixDateDelta) * 86400.0);
}

TDateTime UnixToDateTime(int64_t Seconds) noexcept {
  return LinearToDateTime(kUnixDateDelta + static_cast<double>(Seconds) / 86400.0);
}

TDateTime TimespecToDateTime(const timespec& Time, bool Local) noexcept {
  int64_t secs = Time.tv_sec;
  if (Local) {
    long offset = 0;
    if (detail::LocalOffsetAt(static_cast<time_t>(Time.tv_sec), offset)) secs += offset;
  }
  const double days = (static_cast<double>(secs) + Time.tv_nsec / 1e9) / 86400.0;
  return LinearToDateTime(kUnixDateDelta + days);
}

timespec DateTimeToTimespec(TDateTime DateTime, bool Local) noexcept {
  const int64_t total_ms =
      std::llround((ClampedLinear(DateTime) - kUnixDateDelta) * static_cast<double>(kMSecsPerDay));
  int64_t secs = total_ms >= 0 ? total_ms / 1000 : -((-total_ms + 999) / 1000);
  const int64_t ms = total_ms - secs * 1000;
  if (Local) {
    // The wall-clock fields, read back through the local time zone.
    time_t utc;
    if (detail::WallClockToUtc(static_cast<time_t>(secs), utc)) secs = utc;
  }
  timespec ts;
  ts.tv_sec = static_cast<time_t>(secs);
  ts.tv_nsec = static_cast<long>(ms * 1000000);
  return ts;
}

TDateTime Now() {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  return TimespecToDateTime(ts, true);
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() {
  const TDateTime now = Now();
  return now - std::trunc(now);
}

}  // namespace zel
