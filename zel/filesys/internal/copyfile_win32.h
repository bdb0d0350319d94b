// The file copy between directory handles, for the Windows tree copy
// (zel/filesys/dirtree_win32.cpp); `CopyFileAt` (copyfile.h) is this copy
// on C runtime descriptors.
#ifndef ZEL_FILESYS_INTERNAL_COPYFILE_WIN32_H_
#define ZEL_FILESYS_INTERNAL_COPYFILE_WIN32_H_

#include <windows.h>
// The library has a function of this name; the macro would rename it.
#undef DeleteFile

#include "zel/filesys/internal/copyfile.h"
#include "zel/platform/string.h"

namespace zel::detail {

// Copies the file `src_name` of `src_dir` to `dst_name` of `dst_dir`, each a
// single name used as the UTF-16 the system holds, with `CopyFileAt`'s
// rules: neither is followed if it is a link (a link as source gives
// fcSourceError, one at the destination fcCreateError), an existing file is
// replaced only when the copy is complete, errno says why on failure.
int CopyFileAtHandles(HANDLE src_dir, StringView src_name, HANDLE dst_dir, StringView dst_name,
                      bool CopyAttribs, CopyBlockFeedback FeedBack, void* Context);

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_COPYFILE_WIN32_H_
