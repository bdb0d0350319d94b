// The host-neutral part of the file copy: the abort switch, the copy by
// name (its destination rules) and `FileCopyFeedBk`.  The hosts' copies of
// one file are in filecopy_posix.cpp and filecopy_win32.cpp.
#include "zel/filesys/filecopy.h"

#include <atomic>

#include "zel/filesys/internal/copyfile.h"
#include "zel/platform/export.h"
#include "zel/platform/hostfs.h"

namespace ZEL_EXPORT zel {
namespace {

// The abort switch: lock-free so a signal handler may set it.
std::atomic<bool> abort_switch{false};
static_assert(std::atomic<bool>::is_always_lock_free);

}  // namespace

namespace ZEL_HIDDEN detail {

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

  return CopyFileByName(Source, dest, CopyAttribs, FeedBack, Context);
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
