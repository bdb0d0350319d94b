// zel/filesys/filedates.h — file time stamps and sizes.
//
//   zel::TDateTime created, accessed, written;
//   if (zel::GetFileDates(u"report.txt", created, accessed, written) == 0) ...
//   zel::SetFileDates(u"report.txt", 0, 0, zel::EncodeDate(2024, 1, 31));  // only the write time
//   int64_t bytes = zel::GetFileSize(u"report.txt");   // -1 when absent
//
// A file time counts 100-nanosecond intervals since 1601-01-01 00:00 UTC; a
// `TDateTime` counts days since 1899-12-30.  No time-zone conversion is made
// anywhere: the date-times here are UTC.  The conversions follow the
// platform's date convention for dates before 1899-12-30 (zel/platform/
// datetime.h), and are plain linear arithmetic from there on:
// `FileTimeToDateTime(94353120000000000)` is 0.0 and `DateTimeToFileTime(1.5)`
// is 94353120000000000 + 1296000000000.
//
// The creation time comes from the file system where it keeps one (statx);
// elsewhere `GetFileDates` gives 0 for it.  This host cannot set a creation
// time: `SetFileDates` leaves it as it is.
#ifndef ZEL_FILESYS_FILEDATES_H_
#define ZEL_FILESYS_FILEDATES_H_

#include <cstdint>

#include "zel/platform/export.h"
#include "zel/platform/string.h"
#include "zel/platform/types.h"

namespace ZEL_EXPORT zel {

// 0 on success, -1 when the file does not exist.  Needs no permission on
// the file itself.
int GetFileDates(StringView FileName, TDateTime& CreationTime, TDateTime& LastAccessTime,
                 TDateTime& LastWriteTime);

// A date-time of exactly 0 leaves that time unchanged.  0 on success, -1
// when the file does not exist or its times cannot be set.
int SetFileDates(StringView FileName, TDateTime CreationTime, TDateTime LastAccessTime,
                 TDateTime LastWriteTime);

TDateTime FileTimeToDateTime(uint64_t FileTime) noexcept;
// The interval the date-time stands for, clamped to the range of a file
// time (NaN gives 0).  A double holds today's times to about half a
// microsecond, so of the intervals within that reach the roundest is taken
// (a whole second, millisecond or microsecond, else the nearest): a whole
// minute set is a whole minute read back.
uint64_t DateTimeToFileTime(TDateTime DateTime) noexcept;

// The size in bytes of the file `FileName` names, or of the first entry that
// matches it as a mask; 0 for a directory, -1 when nothing is found.
int64_t GetFileSize(StringView FileName);

}  // namespace zel

#endif  // ZEL_FILESYS_FILEDATES_H_
