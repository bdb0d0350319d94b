// The POSIX side of the file copy (zel/filesys/internal/copyfile.h): the
// source read through zel/platform/internal/copysource_posix.h, holes kept.
#include "zel/filesys/filecopy.h"

#include <errno.h>
#include <fcntl.h>

#include <optional>
#include <string>
#include <vector>

#include "zel/filesys/internal/copyfile.h"
#include "zel/filesys/internal/copyloop.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/filereplace.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/internal/copysource_posix.h"

namespace ZEL_EXPORT zel {
namespace ZEL_HIDDEN detail {

int CopyFileByName(StringView Source, StringView Dest, bool CopyAttribs, CopyBlockFeedback FeedBack,
                   void* Context) {
  CopySource in;
  if (!in.Open(AT_FDCWD, FileNameToBytes(Source), true)) return fcSourceError;
  return CopyOpened(
      in, CopyAttribs, FeedBack, Context,
      [&](std::optional<FileReplacement>& out, uint32_t mode) { out.emplace(String(Dest), mode); },
      [&](uint64_t device, uint64_t inode) {
        return IsFileAt(AT_FDCWD, FileNameToBytes(Dest), true, device, inode);
      });
}

int CopyFileAt(int src_dirfd, const char* src_name, int dst_dirfd, const char* dst_name,
               bool CopyAttribs, CopyBlockFeedback FeedBack, void* Context) {
  CopySource in;
  if (!in.Open(src_dirfd, src_name, false)) return fcSourceError;
  // Tree copies write many new files: no flush for each (see
  // SkipFlushOfNewFile); a replaced file is still flushed before the rename.
  return CopyOpened(
      in, CopyAttribs, FeedBack, Context,
      [&](std::optional<FileReplacement>& out, uint32_t mode) {
        out.emplace(dst_dirfd, dst_name, mode);
        out->SkipFlushOfNewFile();
      },
      [&](uint64_t device, uint64_t inode) {
        return IsFileAt(dst_dirfd, dst_name, false, device, inode);
      });
}

}  // namespace detail
}  // namespace zel
