// zel/filesys/internal/copyloop.h — the copy of one opened file, shared by
// the hosts' file copies (filecopy_posix.cpp, filecopy_win32.cpp).
//
// `Source` is the host's reading side: `Size()`, `Mode()`, `Modify()`,
// `Device()`, `Inode()`, and `ReadChunk(buf, count, offset, extents)`,
// which gives the bytes read (-1 with errno set) and fills `extents`
// (a vector of `Source::Extent`, each with `Offset` and `Length`) with the
// parts of the chunk that hold data.
//
//   SourceOfMyHost in;  // opened
//   int status = zel::detail::CopyOpened(in, true, nullptr, nullptr,
//       [&](std::optional<zel::FileReplacement>& out, uint32_t mode) { out.emplace(dest, mode); },
//       [&](uint64_t device, uint64_t inode) { return false; });
#ifndef ZEL_FILESYS_INTERNAL_COPYLOOP_H_
#define ZEL_FILESYS_INTERNAL_COPYLOOP_H_

#include <errno.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "zel/filesys/filecopy.h"
#include "zel/filesys/internal/copyfile.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/filereplace.h"

namespace zel::detail {

constexpr int64_t kBlock = 8192;          // the block the feedback counts in
constexpr size_t kChunk = 32 * kBlock;    // what one read and write move

inline char* ChunkBuffer() {
  thread_local std::unique_ptr<char[]> buffer(new char[kChunk]);
  return buffer.get();
}

inline void Call(CopyBlockFeedback fb, void* ctx, int64_t done, int64_t size) {
  if (fb != nullptr) fb(ctx, done, size);
}

// Permission bits that a copy made without `CopyAttribs` may have: the
// owner's as they come, the group's and others' only where the source has
// them, so a copy is never more readable than its source.
inline uint32_t AllowedBits(uint32_t source_mode) { return (source_mode & 077) | 07700; }

// Writes one chunk: its data extents, and holes between and after them.
template <typename Extent>
void WriteChunk(FileReplacement& out, const char* buf, int64_t n,
                const std::vector<Extent>& extents) {
  int64_t at = 0;
  for (const Extent& e : extents) {
    out.Skip(e.Offset - at);
    out.Write(buf + e.Offset, static_cast<size_t>(e.Length));
    at = e.Offset + e.Length;
  }
  out.Skip(n - at);
}

// The copy loop shared by the copy by name and the copy between directory
// descriptors: `in` is open; `create` makes the destination's replacement
// with the given new-file mode (and throws EInOutError when it cannot);
// `dest_is` tells whether the destination is the file with the given
// device and inode.
template <typename Source, typename Create, typename DestIs>
int CopyOpened(Source& in, bool CopyAttribs, detail::CopyBlockFeedback FeedBack,
               void* Context, Create create, DestIs dest_is) {
  const int64_t size = in.Size();
  Call(FeedBack, Context, 0, size);

  // The mode the new file has from its creation on: never more than the
  // source's for group and others (with attributes, the source's own).
  const uint32_t new_mode =
      CopyAttribs ? ((in.Mode() | 0200) & 0777) : (0666 & (AllowedBits(in.Mode()) | 0700));
  std::optional<FileReplacement> out;
  int status = fcOK;
  int err = 0;  // why it failed, left in errno for the caller
  try {
    create(out, new_mode);
  } catch (const EInOutError& e) {
    status = fcCreateError;
    err = e.ErrorCode();
  }
  // The same file under another name is left alone, even a read-only one
  // (which the replacement refuses): asked only then, not for every file.
  if (status == fcOK ? out->TargetIs(in.Device(), in.Inode())
                     : dest_is(in.Device(), in.Inode())) {
    if (out) out->Abandon();
    return fcOK;
  }

  int64_t copied = 0;
  if (status == fcOK) {
    char* buf = ChunkBuffer();
    std::vector<typename Source::Extent> extents;
    bool done = false;
    while (!done && status == fcOK) {
      const int64_t n = in.ReadChunk(buf, kChunk, copied, extents);
      if (n < 0) {
        status = fcReadError;
        err = errno;
        break;
      }
      bool write_ok = true;
      try {
        WriteChunk(*out, buf, n, extents);
      } catch (const EInOutError& e) {
        err = e.ErrorCode();
        write_ok = false;  // how far it got is not known: none of this chunk counts
      }
      // The blocks of this chunk, one feedback each, as if read and
      // written one by one.
      int64_t off = 0;
      do {
        const int64_t len = std::min(kBlock, n - off);
        Call(FeedBack, Context, copied, size);
        if (!write_ok) {
          status = fcWriteError;
          break;
        }
        copied += len;
        off += len;
        if (len < kBlock) {
          done = true;  // a short block is the end of the file
        } else if (FileCopyingAborted()) {
          status = fcAborted;
          err = ECANCELED;
        }
      } while (!done && status == fcOK && off < n);
    }
  }

  if (status == fcOK) {
    out->SetModifyTime(in.Modify());
    out->SetMode(CopyAttribs ? (in.Mode() | 0200) : (out->Mode() & AllowedBits(in.Mode())));
    try {
      out->Commit();
    } catch (const EInOutError& e) {
      // A file that appeared under the name meanwhile is left alone.
      status = e.ErrorCode() == EEXIST ? fcCreateError : fcWriteError;
      err = e.ErrorCode();
    }
  }
  if (out) out->Abandon();  // nothing is left after a commit; a failure removes the temporary file
  Call(FeedBack, Context, copied, size);
  if (status != fcOK) errno = err;
  return status;
}

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_COPYLOOP_H_
