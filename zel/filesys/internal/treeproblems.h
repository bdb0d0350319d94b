// What the tree functions of zel/filesys/dirtree.h could not do, item by
// item, and the directories they refuse to delete.
//
//   zel::detail::TreeProblemLog log;           // collects on this thread
//   int failed = zel::CopyFileTree(src, dst, true, nullptr);
//   for (const auto& p : log.Problems()) Say(p.Path, p.Error);  // "cannot read 'x': ..."
//
// The public functions keep their documented results; the log tells a
// caller such as the command-line tool which item failed and why.
#ifndef ZEL_FILESYS_INTERNAL_TREEPROBLEMS_H_
#define ZEL_FILESYS_INTERNAL_TREEPROBLEMS_H_

#include <cstdint>
#include <vector>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace zel::detail {

// What was tried on the item.
enum TreeOp : uint8_t {
  toRead,      // a file or directory of the source could not be read or listed
  toCreate,    // a file, link or directory of the destination could not be made
  toWrite,     // writing a copy failed
  toDelete,    // an item could not be removed
  toReadOnly,  // a read-only file was left in place
  toRefused,   // a directory that must not be deleted (see `TreeDeletionRefused`)
};

struct TreeProblem {
  String Path;  // as the caller named it, joined with the path inside the tree
  int Error;    // errno; 0 for `toReadOnly` and `toRefused`
  TreeOp Op;
};

// While one lives, the tree functions called on its thread record their
// problems in it (the innermost log when they nest).
class TreeProblemLog {
 public:
  TreeProblemLog();
  ~TreeProblemLog();
  TreeProblemLog(const TreeProblemLog&) = delete;
  TreeProblemLog& operator=(const TreeProblemLog&) = delete;

  const std::vector<TreeProblem>& Problems() const { return problems_; }
  void Add(TreeProblem Problem) { problems_.push_back(static_cast<TreeProblem&&>(Problem)); }

 private:
  std::vector<TreeProblem> problems_;
  TreeProblemLog* outer_;
};

// Records a problem in the current log, if there is one.
void ReportTreeProblem(const String& Path, int Error, TreeOp Op);

// True when `DelDirTree` must refuse `Dir`: its last component is "." or
// "..", or it is (through any spelling or link) the root directory, the
// current directory or one of the current directory's ancestors.  A link
// is not refused: deleting it removes only the link.
bool TreeDeletionRefused(StringView Dir);

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_TREEPROBLEMS_H_
