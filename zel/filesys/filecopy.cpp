#include "zel/filesys/filecopy.h"

#include <errno.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "zel/filesys/internal/copyfile.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/filereplace.h"
#include "zel/platform/hostfs.h"

namespace zel {
namespace {

// The abort switch: lock-free so a signal handler may set it.
std::atomic<bool> abort_switch{false};
static_assert(std::atomic<bool>::is_always_lock_free);

constexpr int64_t kBlock = 8192;          // the block the feedback counts in
constexpr size_t kChunk = 32 * kBlock;    // what one read and write move

char* ChunkBuffer() {
  thread_local std::unique_ptr<char[]> buffer(new char[kChunk]);
  return buffer.get();
}

void Call(detail::CopyBlockFeedback fb, void* ctx, int64_t done, int64_t size) {
  if (fb != nullptr) fb(ctx, done, size);
}

}  // namespace

namespace detail {

void ClearAbortSwitch() noexcept { abort_switch.store(false); }

int CopyOneFile(StringView Source, StringView Dest, bool CopyAttribs, CopyBlockFeedback FeedBack,
                void* Context, bool DestMayBeDir) {
  String dest(Dest);
  TFileInfo dinfo;
  // A directory as destination: the source's name inside it.
  if (DestMayBeDir && GetFileInfo(dest, dinfo) && (dinfo.Attr & faDirectory)) {
    dest = HostJoin(dest, HostNamePart(Source));
  }
  if (dest == Source) return fcOK;

  THostFile in;
  TFileInfo sinfo;
  if (!in.OpenRead(Source, &sinfo)) return fcSourceError;
  const int64_t size = sinfo.Size;
  Call(FeedBack, Context, 0, size);

  // Create the destination: a new file directly, an existing one through a
  // temporary file beside it that replaces it only when complete.
  THostFile out;
  std::optional<FileReplacement> replacement;
  int status = fcOK;
  if (!out.CreateNew(dest)) {
    if (LastOSError() != EEXIST || !GetFileInfo(dest, dinfo)) {
      status = fcCreateError;
    } else if (dinfo.Device == sinfo.Device && dinfo.Inode == sinfo.Inode) {
      return fcOK;  // the same file under another name
    } else if (dinfo.Attr & (faDirectory | faReadOnly)) {
      status = fcCreateError;
    } else {
      try {
        replacement.emplace(dest);
      } catch (const EInOutError&) {
        status = fcCreateError;
      }
    }
  }
  const bool created = status == fcOK && !replacement;
  auto write = [&](const char* data, size_t n, size_t& written) {
    if (!replacement) return out.Write(data, n, &written);
    try {
      replacement->Write(data, n);
      written = n;
      return true;
    } catch (const EInOutError&) {
      written = 0;  // the replacement cannot say how far it got
      return false;
    }
  };

  int64_t copied = 0;
  if (status == fcOK) {
    char* buf = ChunkBuffer();
    bool done = false;
    while (!done && status == fcOK) {
      const int64_t n = in.Read(buf, kChunk);
      if (n < 0) {
        status = fcReadError;
        break;
      }
      size_t written = 0;
      const bool write_ok = write(buf, static_cast<size_t>(n), written);
      // The blocks of this chunk, one feedback each, as if read and
      // written one by one.
      int64_t off = 0;
      do {
        const int64_t len = std::min(kBlock, n - off);
        Call(FeedBack, Context, copied, size);
        if (!write_ok && off + len > static_cast<int64_t>(written)) {
          status = fcWriteError;
          break;
        }
        copied += len;
        off += len;
        if (len < kBlock) {
          done = true;  // a short block is the end of the file
        } else if (abort_switch.load(std::memory_order_relaxed)) {
          status = fcAborted;
        }
      } while (!done && status == fcOK && off < n);
    }
  }

  // Metadata is best effort: a file system without permission bits still
  // gets the data.
  if (status == fcOK && replacement) {
    try {
      replacement->Commit();  // keeps the replaced file's permission bits
      SetFileTimes(dest, nullptr, &sinfo.Modify);
      if (CopyAttribs) SetFileMode(dest, sinfo.Mode | 0200);
    } catch (const EInOutError&) {
      status = fcWriteError;
    }
  } else if (status == fcOK) {
    out.SetModifyTime(sinfo.Modify);
    if (CopyAttribs) out.SetMode(sinfo.Mode | 0200);
    if (!out.Close()) status = fcWriteError;
  }
  out.Close();
  if (replacement) replacement->Abandon();  // nothing left after a commit
  if (status != fcOK && created) DeleteFile(dest);
  Call(FeedBack, Context, copied, size);
  return status;
}

}  // namespace detail

namespace {
struct PlainFeedback {
  TFileCopyFeedBack proc;
};
void ForwardPlain(void* ctx, int64_t done, int64_t size) {
  static_cast<PlainFeedback*>(ctx)->proc(done, size);
}
}  // namespace

int FileCopyFeedBk(StringView Source, StringView Dest, bool CopyAttribs,
                   TFileCopyFeedBack FeedBack) {
  detail::ClearAbortSwitch();
  PlainFeedback plain{FeedBack};
  return detail::CopyOneFile(Source, Dest, CopyAttribs, FeedBack ? ForwardPlain : nullptr, &plain,
                             true);
}

void AbortAnyFileCopying() noexcept { abort_switch.store(true); }

bool FileCopyingAborted() noexcept { return abort_switch.load(); }

}  // namespace zel
