// The file copy behind `FileCopyFeedBk` and the tree copy.
#ifndef ZEL_FILESYS_INTERNAL_COPYFILE_H_
#define ZEL_FILESYS_INTERNAL_COPYFILE_H_

#include <cstdint>

#include "zel/platform/string.h"

namespace zel::detail {

// Block feedback with a context pointer, so the tree copy can forward it.
using CopyBlockFeedback = void (*)(void* Context, int64_t BytesCopied, int64_t SizeOfFile);

// `FileCopyFeedBk` without clearing the abort switch at the start.  The
// tree copy, which knows `Dest` names a file, passes `DestMayBeDir` false
// and saves a status call per file.
int CopyOneFile(StringView Source, StringView Dest, bool CopyAttribs, CopyBlockFeedback FeedBack,
                void* Context, bool DestMayBeDir);

// The same copy between two directories held open, for a walker that must
// not leave its tree: `src_name` in `src_dirfd` to `dst_name` in
// `dst_dirfd`, both single names given as the bytes the system holds.
// Neither name is followed if it is a symbolic link: a link, device, FIFO,
// socket or directory as source gives fcSourceError (the source is opened
// O_NOFOLLOW | O_NONBLOCK, so a FIFO never blocks); a link at the
// destination gives fcCreateError and stays as it is.  An existing regular
// destination is replaced only when the copy is complete, a device or FIFO
// there is written directly; a new destination appears only when complete.
// Status codes, feedback calls, the abort switch and the modes are those of
// `FileCopyFeedBk` (zel/filesys/filecopy.h); the switch is not cleared.
// A new destination is not flushed to the disk one by one (tree copies;
// FileReplacement::SkipFlushOfNewFile).  On failure errno says why
// (ECANCELED for an abort).
int CopyFileAt(int src_dirfd, const char* src_name, int dst_dirfd,
                          const char* dst_name, bool CopyAttribs, CopyBlockFeedback FeedBack,
                          void* Context);

// The host's copy of the file `Source` to the path `Dest` (already
// resolved: not a directory to copy into), with `CopySource`'s status
// codes (fc...) and errno set on failure.
int CopyFileByName(StringView Source, StringView Dest, bool CopyAttribs, CopyBlockFeedback FeedBack,
                   void* Context);

void ClearAbortSwitch() noexcept;

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_COPYFILE_H_
