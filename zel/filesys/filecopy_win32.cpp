// The Windows side of the file copy (zel/filesys/internal/copyfile.h): the
// source read through THostFile (CreateFileW), the destination written by
// the safe save (zel/platform/filereplace.h).  Windows keeps no holes for
// a plain copy, so each chunk is one extent of data.  The copy between
// directory handles that tree copies use is not yet available here.
#include "zel/filesys/filecopy.h"

#include <optional>
#include <vector>

#include "zel/filesys/internal/copyfile.h"
#include "zel/filesys/internal/copyloop.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filereplace.h"
#include "zel/platform/hostfs.h"

namespace ZEL_EXPORT zel {
namespace {

// The reading side of a copy as zel/filesys/internal/copyloop.h wants it.
class HostFileSource {
 public:
  struct Extent {
    int64_t Offset;
    int64_t Length;
  };

  bool Open(StringView path) {
    if (!file_.OpenRead(path, &info_)) {
      errno = LastOSError();
      return false;
    }
    return true;
  }
  int64_t Size() const noexcept { return info_.Size; }
  uint32_t Mode() const noexcept { return info_.Mode; }
  const timespec& Modify() const noexcept { return info_.Modify; }
  uint64_t Device() const noexcept { return info_.Device; }
  uint64_t Inode() const noexcept { return info_.Inode; }

  int64_t ReadChunk(char* buffer, size_t count, int64_t, std::vector<Extent>& extents) {
    const int64_t n = file_.Read(buffer, count);
    extents.clear();
    if (n < 0) {
      errno = LastOSError();
      return -1;
    }
    if (n > 0) extents.push_back(Extent{0, n});
    return n;
  }

 private:
  THostFile file_;
  TFileInfo info_;
};

}  // namespace

namespace ZEL_HIDDEN detail {

int CopyFileByName(StringView Source, StringView Dest, bool CopyAttribs, CopyBlockFeedback FeedBack,
                   void* Context) {
  HostFileSource in;
  if (!in.Open(Source)) return fcSourceError;
  return CopyOpened(
      in, CopyAttribs, FeedBack, Context,
      [&](std::optional<FileReplacement>& out, uint32_t mode) { out.emplace(String(Dest), mode); },
      [&](uint64_t device, uint64_t inode) {
        TFileInfo info;
        return GetFileInfo(Dest, info) && info.Device == device && info.Inode == inode;
      });
}

int CopyFileAt(int, const char*, int, const char*, bool, CopyBlockFeedback, void*) {
  throw Exception(u"CopyFileAt (copies between directory handles) is not available on this host "
                  u"(Windows) yet");
}

}  // namespace detail
}  // namespace zel
