// zel/platform/rawfile.h — `TRawFile`, plain byte access to a whole file:
// blocks in order or at any offset, for readers that scan many bytes.
//
//   zel::TRawFile in(u"data.txt");            // raises EInOutError if missing
//   std::vector<char> block(1 << 18);
//   while (int64_t n = in.Read(block.data(), block.size())) { ... }
//   in.ReadAt(in.Size() - 100, tail, 100);    // the last 100 bytes
//
// Failures raise `EInOutError` with the system's errno and a message naming
// the file ("Cannot open file ..." / "Cannot read file ...").  A directory
// is refused when it is opened.  Rewriting a file goes through
// `FileReplacement` (filereplace.h).
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

}  // namespace zel

#endif  // ZEL_PLATFORM_RAWFILE_H_
