// What the hosts' tree copies (dirtree_posix.cpp, dirtree_win32.cpp) share:
// the running copy's progress figures and how a file's copy status is
// reported.
#ifndef ZEL_FILESYS_INTERNAL_TREECOPY_H_
#define ZEL_FILESYS_INTERNAL_TREECOPY_H_

#include <cstdint>

#include "zel/filesys/dirtree.h"
#include "zel/filesys/internal/treeproblems.h"
#include "zel/platform/string.h"

namespace zel::detail {

// The running tree copy's progress figures (one tree copy at a time).
struct TreeCopyState {
  TTreeCopyFeedBack feedback = nullptr;
  bool copy_attribs = false;
  String current;
  int count = 0;
  int64_t bytes = 0;
  int64_t size = 0;
};
extern TreeCopyState tree_copy;

// Starts a tree copy: fresh figures, and the abort switch cleared.
void StartTreeCopy(TTreeCopyFeedBack FeedBack, bool CopyAttribs);

// The block feedback of one file's copy (`CopyBlockFeedback`, the context
// being `&tree_copy`), passed on to the tree copy's feedback.
void ForwardTreeBlock(void* ctx, int64_t done, int64_t size);

// How a failed copy of one file is reported: true with the operation and
// whether the source's path (else the destination's) names it; false for a
// success or an abort, which counts but names nothing.
bool TreeCopyFailure(int status, TreeOp& op, bool& on_source);

}  // namespace zel::detail

#endif  // ZEL_FILESYS_INTERNAL_TREECOPY_H_
