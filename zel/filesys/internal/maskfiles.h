// The files a mask names, as `DeleteFiles` and `MoveToRecycleBin` take them.
#ifndef ZEL_FILESYS_INTERNAL_MASKFILES_H_
#define ZEL_FILESYS_INTERNAL_MASKFILES_H_

#include <functional>
#include <string>

#include "zel/filesys/dirtree.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/string.h"

namespace zel::detail {

// One entry: its directory's descriptor and its name there (bytes), for
// calls that must act on exactly this entry (`unlinkat`); its absolute path;
// and its search entry with details (`faReadOnly`, size, time).
using MaskEntryVisit = std::function<void(int DirFd, const std::string& Name, const String& Path,
                                          const TSearchRec& Rec)>;

// Calls `Visit` for every entry of the mask's directory that matches its
// name part, except directories (links to directories included) and names
// starting with ".".  The directory part is resolved as the kernel resolves
// it: it is opened, so ".." after a link leads to the parent of the link's
// target, and the absolute path handed on has every link resolved.  A
// directory that cannot be opened is reported (zel/filesys/internal/
// treeproblems.h) and visits nothing.
void ForEachMaskEntry(StringView FileMask, const MaskEntryVisit& Visit);

// The same with the absolute path and the search entry only.
void ForEachMaskFile(StringView FileMask,
                     const std::function<void(const String& Path, const TSearchRec& Rec)>& Visit);

// The walk behind `ScanFilesToStrList` and `CountFiles` (zel/filesys/
// dirtree.h): adds each matching file to `List` when it is not null and
// returns how many there were.  Each host has its walk.
int ScanFiles(StringView FileMask, bool IncludeSubDirs, TStringList* List,
              TScanFilesFeedback FeedBack);

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_MASKFILES_H_
