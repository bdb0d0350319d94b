// The host-neutral part of zel/filesys/dirtree.h; the walks are in
// dirtree_posix.cpp and dirtree_win32.cpp.
#include "zel/filesys/dirtree.h"

#include "zel/filesys/filecopy.h"
#include "zel/filesys/internal/copyfile.h"
#include "zel/filesys/internal/maskfiles.h"
#include "zel/filesys/internal/treecopy.h"
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

TreeCopyState tree_copy;

void StartTreeCopy(TTreeCopyFeedBack FeedBack, bool CopyAttribs) {
  tree_copy = TreeCopyState{};
  tree_copy.feedback = FeedBack;
  tree_copy.copy_attribs = CopyAttribs;
  ClearAbortSwitch();
}

void ForwardTreeBlock(void* ctx, int64_t done, int64_t size) {
  auto& t = *static_cast<TreeCopyState*>(ctx);
  t.bytes = done;
  t.size = size;
  if (t.feedback != nullptr) t.feedback(done, size, t.current, t.count);
}

bool TreeCopyFailure(int status, TreeOp& op, bool& on_source) {
  switch (status) {
    case fcOK:
    case fcAborted: return false;
    case fcSourceError:
    case fcReadError: op = toRead, on_source = true; return true;
    case fcCreateError: op = toCreate, on_source = false; return true;
    default: op = toWrite, on_source = false; return true;
  }
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
