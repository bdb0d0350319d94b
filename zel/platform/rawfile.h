// zel/platform/rawfile.h — plain byte access to whole files: `TRawFile`
// reads blocks at any offset, `TReplacementFile` writes a new version of a
// file and puts it in place only once every byte is on disk.
//
//   zel::TRawFile in(u"data.txt");            // raises EInOutError if missing
//   std::vector<char> block(1 << 18);
//   while (int64_t n = in.Read(block.data(), block.size())) { ... }
//
//   zel::TReplacementFile out(u"data.txt");   // a temporary file beside it
//   out.Write(bytes.data(), bytes.size());
//   out.Commit();                             // flushed, synced, renamed over
//
// A replacement that is not committed (an exception, an early return) is
// removed by the destructor, and the target stays as it was.  The new file
// takes the permissions of the file it replaces (a new one: 0666 less the
// umask); a target that is a symbolic link has the file it points to
// replaced, the link stays.
//
// Failures raise `EInOutError` with the system's errno and a message naming
// the file.
#ifndef ZEL_PLATFORM_RAWFILE_H_
#define ZEL_PLATFORM_RAWFILE_H_

#include <cstdint>
#include <string>

#include "zel/platform/string.h"

namespace zel {

class TRawFile {
 public:
  // Opens an existing file for reading.
  explicit TRawFile(const String& FileName);
  ~TRawFile();
  TRawFile(const TRawFile&) = delete;
  TRawFile& operator=(const TRawFile&) = delete;

  int64_t Size();
  // Reads up to `Count` bytes at the current position and moves past them;
  // fewer only at the end of the file (0 there).
  int64_t Read(void* Buffer, int64_t Count);
  // Reads up to `Count` bytes at `Offset`; the position is not used.
  int64_t ReadAt(int64_t Offset, void* Buffer, int64_t Count);

 private:
  [[noreturn]] void Fail(int err, const char* what) const;
  String name_;
  int fd_ = -1;
};

class TReplacementFile {
 public:
  explicit TReplacementFile(const String& Target);
  ~TReplacementFile();
  TReplacementFile(const TReplacementFile&) = delete;
  TReplacementFile& operator=(const TReplacementFile&) = delete;

  void Write(const void* Buffer, int64_t Count);
  // Writes what is buffered, syncs and renames over the target.
  void Commit();

 private:
  void FlushBuffer();
  [[noreturn]] void Fail(int err, const char* what);
  String target_;
  std::string target_path_;  // the file replaced (links resolved)
  std::string temp_path_;
  int fd_ = -1;
  std::string buf_;
};

}  // namespace zel

#endif  // ZEL_PLATFORM_RAWFILE_H_
