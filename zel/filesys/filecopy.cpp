#include "zel/filesys/filecopy.h"

#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "zel/filesys/internal/copyfile.h"
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

// A fresh name beside `target` for the new copy, created empty.
bool CreateTempBeside(StringView target, THostFile& out, String& temp) {
  static std::atomic<unsigned> counter{0};
  const String dir = HostDirPart(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
    temp = dir + FromUtf8(".zel-copy-" + std::to_string(getpid()) + "-" +
                          std::to_string(counter.fetch_add(1)) + "-" +
                          std::to_string(static_cast<unsigned long long>(tick) % 1000000007ULL));
    if (out.CreateNew(temp, 0600)) return true;
    if (LastOSError() != EEXIST) return false;
  }
  return false;
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
  if (!in.OpenRead(Source) || !in.GetInfo(sinfo)) return fcSourceError;
  const int64_t size = sinfo.Size;
  Call(FeedBack, Context, 0, size);

  // Create the destination: a new file directly, an existing one through a
  // temporary file renamed over it at the end.
  THostFile out;
  String temp;           // non-empty when replacing
  String target = dest;  // what the temporary file replaces
  uint32_t keep_mode = 0;
  int status = fcOK;
  if (!out.CreateNew(dest)) {
    if (LastOSError() != EEXIST || !GetFileInfo(dest, dinfo)) {
      status = fcCreateError;
    } else if (dinfo.Device == sinfo.Device && dinfo.Inode == sinfo.Inode) {
      return fcOK;  // the same file under another name
    } else if (dinfo.Attr & (faDirectory | faReadOnly)) {
      status = fcCreateError;
    } else {
      if (dinfo.Attr & faSymLink) target = RealPath(dest);  // replace what the link names
      keep_mode = dinfo.Mode;
      if (target.empty() || !CreateTempBeside(target, out, temp)) status = fcCreateError;
    }
  }

  const bool created = status == fcOK;
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
      const bool write_ok = out.Write(buf, static_cast<size_t>(n), &written);
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

  if (status == fcOK) {
    // Metadata is best effort: a file system without permission bits still
    // gets the data.
    out.SetModifyTime(sinfo.Modify);
    if (CopyAttribs) {
      out.SetMode(sinfo.Mode | 0200);
    } else if (!temp.empty()) {
      out.SetMode(keep_mode);
    }
    if (!out.Close()) status = fcWriteError;
  }
  out.Close();
  if (status == fcOK && !temp.empty() && !RenameFile(temp, target)) status = fcCreateError;
  if (status != fcOK && created) DeleteFile(temp.empty() ? dest : temp);
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
