// The Windows side of zel/filesys/trash.h: each file goes to the recycle
// bin through the shell (SHFileOperationW with FOF_ALLOWUNDO), without a
// question or a progress window.  A file the shell does not move stays
// where it is; nothing is deleted instead.
#include "zel/filesys/trash.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "zel/filesys/internal/maskfiles.h"
#include "zel/platform/export.h"
#include "zel/platform/hostfs.h"

namespace ZEL_EXPORT zel {

int MoveToRecycleBin(StringView FileMask, const TTrashFailureEvent& OnFailure) {
  int moved = 0;
  detail::ForEachMaskFile(FileMask, [&](const String& path, const TSearchRec&) {
    // The shell takes a list of names, each ended by a NUL, the list by a
    // second one; one name at a time, so each failure is known.
    std::wstring from(path.begin(), path.end());
    from.push_back(L'\0');
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    const int rc = SHFileOperationW(&op);
    TFileInfo info;
    if (rc == 0 && !op.fAnyOperationsAborted && !GetFileInfo(path, info, false)) {
      ++moved;
    } else if (OnFailure) {
      OnFailure(path, rc != 0 ? u"the shell refused to move it (error " +
                                    FromUtf8(std::to_string(rc)) + u")"
                              : String(u"the move was cancelled"));
    }
  });
  return moved;
}

}  // namespace zel
