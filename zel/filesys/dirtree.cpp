// The host-neutral part of zel/filesys/dirtree.h; the walks are in
// dirtree_posix.cpp and dirtree_win32.cpp.
#include "zel/filesys/dirtree.h"

#include "zel/filesys/internal/maskfiles.h"
#include "zel/filesys/internal/treeproblems.h"
#include "zel/platform/export.h"
#include "zel/platform/hostfs.h"

namespace ZEL_EXPORT zel {

namespace ZEL_HIDDEN detail {

namespace {
thread_local TreeProblemLog* current_log = nullptr;
}  // namespace

TreeProblemLog::TreeProblemLog() : outer_(current_log) { current_log = this; }
TreeProblemLog::~TreeProblemLog() { current_log = outer_; }

void ReportTreeProblem(const String& Path, int Error, TreeOp Op) {
  if (current_log != nullptr) current_log->Add(TreeProblem{Path, Error, Op});
}

void ForEachMaskFile(StringView FileMask,
                     const std::function<void(const String& Path, const TSearchRec& Rec)>& Visit) {
  ForEachMaskEntry(FileMask, [&](int, const std::string&, const String& path,
                                 const TSearchRec& rec) { Visit(path, rec); });
}

}  // namespace detail

void ScanFilesToStrList(StringView FileMask, bool IncludeSubDirs, TStringList* List,
                        TScanFilesFeedback FeedBack) {
  if (List != nullptr) detail::ScanFiles(FileMask, IncludeSubDirs, List, FeedBack);
}

int CountFiles(StringView FileMask, bool IncludeSubDirs, TScanFilesFeedback FeedBack) {
  return detail::ScanFiles(FileMask, IncludeSubDirs, nullptr, FeedBack);
}

bool DirExists(StringView Dir) {
  TFileInfo info;
  return !Dir.empty() && GetFileInfo(Dir, info) && (info.Attr & faDirectory);
}

bool DirIsReadOnly(StringView Dir) {
  TFileInfo info;
  if (GetFileInfo(Dir, info) && (info.Attr & faReadOnly)) return true;
  return !CanCreateFileIn(Dir);
}

}  // namespace zel
