// tools/zel/grep_tree.h — `zel grep` over many files: the files named on
// the command line, or with `-r` every file of the trees below them, each
// searched by `GrepSearcher` (tools/zel/grep_search.h) on a small pool of
// threads, the output in a stable order.
//
//   GrepRun run;
//   run.patterns = {"foo"};
//   run.recursive = true;
//   run.threads = 4;
//   GrepOutcome outcome = RunGrep({"src", "docs"}, run);
//
// Output order is the order of the operands and, within a tree, the walk's
// order (each directory's files, then its subdirectories), whichever thread
// finishes first: each file's output is held until every file before it is
// written, and the file at the head of the order writes as it goes.  At most
// a few hundred files are open or waiting at a time, so descriptors and the
// held output stay bounded.
//
// Trees are walked with the library's walker (zel/platform/internal/
// treewalk_posix.h): links are not followed (an operand that is a link to a
// directory is, as the shell gave it), only regular files are searched
// (FIFOs, devices and sockets met in a tree are passed over), each file is
// opened relative to its directory's descriptor without following a link,
// so nothing outside the tree is read whatever is swapped in meanwhile.
// Names are printed as their own bytes.  Hidden entries (a name starting
// with '.') and binary files (a NUL byte in the first block) met in a tree
// are skipped unless asked for; files named as operands are always searched.
//
// Errors (a file or directory that cannot be opened or read) are reported
// as "zel: grep: NAME: reason" and the search goes on; a write error on
// standard output ends it.  The file standard output is redirected to is
// not searched ("input file is also the output"), so that a search of a
// tree that holds its own output file cannot feed itself without end.
#ifndef ZEL_TOOLS_ZEL_GREP_TREE_H_
#define ZEL_TOOLS_ZEL_GREP_TREE_H_

#include <string>
#include <vector>

#include "tools/zel/grep_search.h"

namespace zel::cli {

struct GrepRun {
  std::vector<std::string> patterns;
  GrepOptions options;
  bool recursive = false;
  bool hidden = false;  // search hidden files and directories of a tree
  bool binary = false;  // search binary files of a tree as text
  // Masks (zel/filesys/paths.h `MatchesMask`, case-insensitive) a file of a
  // tree must match one of, when any are given; a mask with '/' is matched
  // against the path below the operand, one without against the name.
  std::vector<std::string> include_masks;
  // Masks that leave a file or a whole directory of a tree out.
  std::vector<std::string> exclude_masks;
  int threads = 1;  // searching threads; 0 searches on the calling thread
};

struct GrepOutcome {
  bool matched = false;      // some line matched
  bool error = false;        // some input could not be opened or read
  int write_error = 0;       // errno of a failed write to standard output
};

// Searches the `operands` ("-" is stdin) as `run` says and writes to
// standard output.
GrepOutcome RunGrep(const std::vector<std::string>& operands, const GrepRun& run);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_GREP_TREE_H_
