#include "zel/filesys/filedates.h"

#include <cmath>
#include <limits>

#include "zel/platform/datetime.h"
#include "zel/platform/export.h"
#include "zel/platform/hostfs.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr uint64_t kFileTimeAt1899 = 94353120000000000ULL;  // 1601-01-01 .. 1899-12-30
constexpr uint64_t kFileTimeAt1970 = 116444736000000000ULL;  // 1601-01-01 .. 1970-01-01
constexpr long double kTicksPerDay = 864000000000.0L;
constexpr int64_t kTicksPerSecond = 10000000;

uint64_t TimespecToFileTime(const timespec& t) noexcept {
  const int64_t secs_since_1601 = static_cast<int64_t>(t.tv_sec) + 11644473600LL;
  if (secs_since_1601 < 0) return 0;
  return static_cast<uint64_t>(secs_since_1601) * kTicksPerSecond +
         static_cast<uint64_t>(t.tv_nsec / 100);
}

timespec FileTimeToTimespec(uint64_t ft) noexcept {
  const int64_t ticks =
      ft >= kFileTimeAt1970 ? static_cast<int64_t>(ft - kFileTimeAt1970)
                            : -static_cast<int64_t>(kFileTimeAt1970 - ft);
  int64_t secs = ticks / kTicksPerSecond;
  int64_t rem = ticks % kTicksPerSecond;
  if (rem < 0) {
    rem += kTicksPerSecond;
    --secs;
  }
  timespec t{};
  t.tv_sec = static_cast<time_t>(secs);
  t.tv_nsec = static_cast<long>(rem * 100);
  return t;
}

}  // namespace

TDateTime FileTimeToDateTime(uint64_t FileTime) noexcept {
  const long double days =
      FileTime >= kFileTimeAt1899
          ? static_cast<long double>(FileTime - kFileTimeAt1899) / kTicksPerDay
          : -static_cast<long double>(kFileTimeAt1899 - FileTime) / kTicksPerDay;
  return LinearToDateTime(static_cast<double>(days));
}

uint64_t DateTimeToFileTime(TDateTime DateTime) noexcept {
  if (std::isnan(DateTime)) return 0;
  // Ticks from 1899-12-30, then moved to 1601 in exact integers.
  const double linear = DateTimeToLinear(DateTime);
  const long double rel = static_cast<long double>(linear) * kTicksPerDay;
  if (rel <= -static_cast<long double>(kFileTimeAt1899)) return 0;
  if (rel >= static_cast<long double>(std::numeric_limits<int64_t>::max())) {
    return std::numeric_limits<uint64_t>::max();
  }
  // A double of days holds a time only to within a unit in its last place
  // (about 6 ticks today, 400 in the year 9999), so the tick nearest to it
  // is mostly a few ticks off the time that was meant: 12:34:00 would land
  // at 12:33:59.9999997, which `ls`, `make` and `tar` read as 12:33:59.  Of
  // the ticks the double stands for, take the roundest: a whole second,
  // else a whole millisecond, else a whole microsecond, else the nearest.
  const double magnitude = std::fabs(linear);
  const long double slack =
      static_cast<long double>(std::nextafter(magnitude, HUGE_VAL) - magnitude) * kTicksPerDay;
  int64_t ticks = std::llroundl(rel);
  for (const int64_t unit : {kTicksPerSecond, int64_t{10000}, int64_t{10}}) {
    const long double snapped = std::roundl(rel / unit) * unit;
    if (std::fabs(snapped - rel) <= slack) {
      ticks = static_cast<int64_t>(snapped);
      break;
    }
  }
  return ticks >= 0 ? kFileTimeAt1899 + static_cast<uint64_t>(ticks)
                    : kFileTimeAt1899 - static_cast<uint64_t>(-ticks);
}

int GetFileDates(StringView FileName, TDateTime& CreationTime, TDateTime& LastAccessTime,
                 TDateTime& LastWriteTime) {
  TFileInfo info;
  if (FileName.empty() || !GetFileInfo(FileName, info)) return -1;
  CreationTime = info.HasBirth ? FileTimeToDateTime(TimespecToFileTime(info.Birth)) : 0.0;
  LastAccessTime = FileTimeToDateTime(TimespecToFileTime(info.Access));
  LastWriteTime = FileTimeToDateTime(TimespecToFileTime(info.Modify));
  return 0;
}

int SetFileDates(StringView FileName, TDateTime CreationTime, TDateTime LastAccessTime,
                 TDateTime LastWriteTime) {
  (void)CreationTime;  // cannot be set on this host; stays as it is
  TFileInfo info;
  if (FileName.empty() || !GetFileInfo(FileName, info)) return -1;
  const timespec access = FileTimeToTimespec(DateTimeToFileTime(LastAccessTime));
  const timespec modify = FileTimeToTimespec(DateTimeToFileTime(LastWriteTime));
  if (LastAccessTime == 0 && LastWriteTime == 0) return 0;
  return SetFileTimes(FileName, LastAccessTime != 0 ? &access : nullptr,
                      LastWriteTime != 0 ? &modify : nullptr)
             ? 0
             : -1;
}

int64_t GetFileSize(StringView FileName) {
  if (FileName.empty()) return -1;
  TFileInfo info;
  if (GetFileInfo(FileName, info)) return info.Size;
  // Not there by that exact name: search it as a mask, without regard to
  // case, as the classic host does.
  const String path = ExpandFileName(FileName);
  TDirSearch search(HostDirPart(path), HostNamePart(path), true);
  TSearchRec rec;
  return search.Next(rec) ? rec.Size : -1;
}

}  // namespace zel
