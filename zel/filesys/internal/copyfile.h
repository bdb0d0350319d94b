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

void ClearAbortSwitch() noexcept;

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_COPYFILE_H_
