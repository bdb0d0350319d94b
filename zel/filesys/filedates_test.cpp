#include "zel/filesys/filedates.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#if defined(_WIN32)
#include <windows.h>
#include <winioctl.h>
#endif

#include <cmath>
#include <cstdint>
#include <ctime>
#include <limits>
#include <random>

#include "zel/platform/datetime.h"
#include "zel/platform/hostfs.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

constexpr uint64_t k1899 = 94353120000000000ULL;

TEST(FileTimeConversion, TheTextsValuesAndRoundTrips) {
  EXPECT_EQ(FileTimeToDateTime(k1899), 0.0);
  EXPECT_EQ(DateTimeToFileTime(1.5), k1899 + 1296000000000ULL);
  EXPECT_EQ(DateTimeToFileTime(0.0), k1899);
  // 1970-01-01 and 1601-01-01, the two epochs.
  EXPECT_EQ(DateTimeToFileTime(kUnixDateDelta), 116444736000000000ULL);
  uint16_t y, m, d;
  DecodeDate(FileTimeToDateTime(0), y, m, d);
  EXPECT_EQ(y * 10000 + m * 100 + d, 16010101);
  // Before 1899-12-30 the platform's date convention holds: 06:00 of the
  // day before is -1.25.
  EXPECT_EQ(FileTimeToDateTime(k1899 - 864000000000ULL + 216000000000ULL), -1.25);
  EXPECT_EQ(DateTimeToFileTime(-1.25), k1899 - 864000000000ULL + 216000000000ULL);
  // A date-time holds today's times to about half a microsecond.
  for (const uint64_t ft : {uint64_t{0}, k1899 + 1, uint64_t{133000000001234567ULL}}) {
    const uint64_t back = DateTimeToFileTime(FileTimeToDateTime(ft));
    EXPECT_LE(back > ft ? back - ft : ft - back, 8u) << ft;
  }
  EXPECT_EQ(DateTimeToFileTime(std::nan("")), 0u);
  EXPECT_EQ(DateTimeToFileTime(-1e9), 0u);
  EXPECT_EQ(DateTimeToFileTime(1e300), std::numeric_limits<uint64_t>::max());
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, in
// integers.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// The file time of a date and time of day, in exact integers.
uint64_t ExactFileTime(int y, unsigned mo, unsigned d, unsigned h, unsigned mi, unsigned s,
                       unsigned ms) {
  const int64_t days_since_1601 = DaysFromCivil(y, mo, d) + 134774;
  const int64_t secs = days_since_1601 * 86400 + h * 3600 + mi * 60 + s;
  return static_cast<uint64_t>(secs) * 10000000u + ms * 10000u;
}

// A date-time made of whole seconds (or milliseconds) converts to exactly
// that file time, across the years a file time covers: the double's own
// error of a few ticks must not leave the time a tick before the second.
TEST(FileTimeConversion, WholeSecondsAndMillisecondsLandExactly) {
  std::mt19937 rng(20240131);
  for (const int year : {1601, 1850, 1899, 1900, 1970, 2001, 2024, 2038, 2106, 2500, 9999}) {
    for (int i = 0; i < 400; ++i) {
      const unsigned mo = 1 + rng() % 12, d = 1 + rng() % 28, h = rng() % 24, mi = rng() % 60;
      const unsigned s = i % 2 ? rng() % 60 : 0;  // whole minutes and whole seconds
      const unsigned ms = i % 4 == 3 ? rng() % 1000 : 0;
      const TDateTime t =
          ComposeDateTime(EncodeDate(static_cast<uint16_t>(year), static_cast<uint16_t>(mo),
                                     static_cast<uint16_t>(d)),
                          EncodeTime(static_cast<uint16_t>(h), static_cast<uint16_t>(mi),
                                     static_cast<uint16_t>(s), static_cast<uint16_t>(ms)));
      ASSERT_EQ(DateTimeToFileTime(t), ExactFileTime(year, mo, d, h, mi, s, ms))
          << year << "-" << mo << "-" << d << " " << h << ":" << mi << ":" << s << "." << ms;
    }
  }
}

class FileDatesTest : public ::testing::Test, protected testutil::TempDir {
 protected:
  FileDatesTest() : TempDir("filedates") {}
};

// The last write time of a file as the host's own call reads it: Unix
// seconds and the nanoseconds after them.
struct DiskTime {
  int64_t sec = 0;
  int64_t nsec = 0;
};
bool ModifiedOnDisk(const std::string& path, DiskTime& t) {
#if defined(_WIN32)
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(testutil::TempDir::Native(path).c_str(), GetFileExInfoStandard, &data)) {
    return false;
  }
  const int64_t ticks = static_cast<int64_t>((uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                             data.ftLastWriteTime.dwLowDateTime) -
                        116444736000000000;  // 1601 to 1970
  t.sec = ticks >= 0 ? ticks / 10000000 : -((-ticks + 9999999) / 10000000);
  t.nsec = (ticks - t.sec * 10000000) * 100;
#else
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  t.sec = st.st_mtim.tv_sec;
  t.nsec = st.st_mtim.tv_nsec;
#endif
  return true;
}

// Wine on a Linux file system that keeps no birth time reports the last
// write time as the creation time, so setting the one moves the other.
bool CreationTimeFollowsWrites() {
#if defined(_WIN32)
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
  return false;
#endif
}

// A file of `size` bytes that takes no disk space where the host can help
// it (a sparse file).
bool MakeLargeFile(const std::string& path, int64_t size) {
#if defined(_WIN32)
  const HANDLE h = CreateFileW(testutil::TempDir::Native(path).c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD unused = 0;
  DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);  // where it can
  LARGE_INTEGER end;
  end.QuadPart = size;
  const bool ok = SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  return ok;
#else
  const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0600);
  if (fd < 0) return false;
  const bool ok = ftruncate(fd, size) == 0;
  close(fd);
  return ok;
#endif
}

TEST_F(FileDatesTest, SetAndReadBackWithZeroMeaningUnchanged) {
  Put("f", "x");
  ASSERT_TRUE(SetFileMode(Path("f"), 0444));  // dates of a read-only file still read and set
  const TDateTime written = EncodeDate(2001, 2, 3) + EncodeTime(4, 5, 6, 789);
  const TDateTime accessed = EncodeDate(2010, 12, 31) + EncodeTime(23, 59, 59, 0);
  TDateTime c0, a0, w0;
  ASSERT_EQ(GetFileDates(Path("f"), c0, a0, w0), 0);
  ASSERT_EQ(SetFileDates(Path("f"), 12345.0, accessed, written), 0);
  TDateTime c, a, w;
  ASSERT_EQ(GetFileDates(Path("f"), c, a, w), 0);
  if (!CreationTimeFollowsWrites()) {
    EXPECT_EQ(c, c0);  // creation cannot be set here: unchanged
  }
  EXPECT_NEAR(a, accessed, 1e-9);
  EXPECT_NEAR(w, written, 1e-9);
  // The times are UTC, as the host stores them: no zone shift.
  DiskTime on_disk;
  ASSERT_TRUE(ModifiedOnDisk(Dir() + "/f", on_disk));
  EXPECT_EQ(on_disk.sec, DateTimeToUnix(EncodeDate(2001, 2, 3) + EncodeTime(4, 5, 6, 0)));
  EXPECT_NEAR(on_disk.nsec, 789000000, 1000);

  const TDateTime later = EncodeDate(2020, 6, 1);
  ASSERT_EQ(SetFileDates(Path("f"), 0, 0, later), 0);
  ASSERT_EQ(GetFileDates(Path("f"), c, a, w), 0);
  EXPECT_NEAR(a, accessed, 1e-9);  // left as it was
  EXPECT_NEAR(w, later, 1e-9);
  // Where the file system keeps a creation time it is recent; elsewhere 0.
  if (c0 != 0) {
    EXPECT_NEAR(c0, UnixToDateTime(time(nullptr)), 1.0 / 24);
  }

  EXPECT_EQ(GetFileDates(Path("missing"), c, a, w), -1);
  EXPECT_EQ(SetFileDates(Path("missing"), 0, 0, later), -1);
  EXPECT_TRUE(SetFileMode(Path("f"), 0644));  // Windows removes no read-only file
}

// Whole minutes set are whole minutes on disk, as `ls`, `make` and `tar`
// read them (they truncate to the second).
TEST_F(FileDatesTest, WholeMinutesSetAreWholeMinutesOnDisk) {
  Put("f", "x");
  for (int i = 0; i < 96; ++i) {
    const unsigned h = static_cast<unsigned>(i / 4), mi = static_cast<unsigned>(i * 15 % 60 + i % 7);
    const TDateTime t = ComposeDateTime(EncodeDate(2024, 3, static_cast<uint16_t>(1 + i % 28)),
                                        EncodeTime(static_cast<uint16_t>(h), static_cast<uint16_t>(mi), 0, 0));
    ASSERT_EQ(SetFileDates(Path("f"), 0, 0, t), 0);
    DiskTime on_disk;
    ASSERT_TRUE(ModifiedOnDisk(Dir() + "/f", on_disk));
    const int64_t expected = (DaysFromCivil(2024, 3, 1 + i % 28) * 86400) + h * 3600 + mi * 60;
    EXPECT_EQ(on_disk.sec, expected) << h << ":" << mi;
    EXPECT_EQ(on_disk.nsec, 0) << h << ":" << mi;
  }
}

TEST_F(FileDatesTest, FileSizeIsSixtyFourBitAndFoundWithoutCase) {
  Put("empty", "");
  Put("Data.Bin", "12345");
  ASSERT_TRUE(MakeLargeFile(Dir() + "/big", int64_t{5} << 30));
  EXPECT_EQ(GetFileSize(Path("missing")), -1);
  EXPECT_EQ(GetFileSize(u""), -1);
  EXPECT_EQ(GetFileSize(Path("empty")), 0);
  EXPECT_EQ(GetFileSize(Path("DATA.BIN")), 5);
  EXPECT_EQ(GetFileSize(Path("d*.bin")), 5);
  EXPECT_EQ(GetFileSize(Path("big")), int64_t{5} << 30);
}

}  // namespace
}  // namespace zel
