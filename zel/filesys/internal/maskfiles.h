// The files a mask names, as `DeleteFiles` and `MoveToRecycleBin` take them.
#ifndef ZEL_FILESYS_INTERNAL_MASKFILES_H_
#define ZEL_FILESYS_INTERNAL_MASKFILES_H_

#include <functional>

#include "zel/platform/hostfs.h"
#include "zel/platform/string.h"

namespace zel::detail {

// Calls `Visit` with the absolute path and the search entry of every entry
// that matches `FileMask` made absolute, except directories (links to
// directories included) and names starting with ".".  Entries carry their
// details (`faReadOnly`, size, time).
void ForEachMaskFile(StringView FileMask,
                     const std::function<void(const String& Path, const TSearchRec& Rec)>& Visit);

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_MASKFILES_H_
