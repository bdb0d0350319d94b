// tools/zel/grep_walk.h — the host's walk of a tree for `zel grep -r`
// (grep_tree_posix.cpp, grep_tree_win32.cpp): which files of a tree are
// searched, handed to the ordered search of grep_tree.cpp.
#ifndef ZEL_TOOLS_ZEL_GREP_WALK_H_
#define ZEL_TOOLS_ZEL_GREP_WALK_H_

#include <functional>
#include <string>
#include <vector>

#include "tools/zel/grep_tree.h"
#include "zel/platform/string.h"

namespace zel::cli {

struct TreeSearchHooks {
  // A regular file to search, open as `fd`, printed as `name`.
  std::function<void(const std::string& name, int fd)> submit;
  // A file or directory that could not be read, with errno.
  std::function<void(const std::string& name, int err)> error;
  // True once the search wants no more files.
  std::function<bool()> stopped;
};

// Hands every wanted regular file below the directory `path` to `hooks`
// (names printed after `prefix`): links are not followed, hidden files and
// directories are left out unless `run.hidden`, and the include and exclude
// masks of `run` apply.
void SearchTree(const std::string& path, const std::string& prefix, const GrepRun& run,
                const TreeSearchHooks& hooks);

// True when one of `masks` matches: a mask with "/" the path below the
// operand, one without the name.
bool MatchesAnyMask(const std::vector<String>& masks, const String& name, const String& path);

}  // namespace zel::cli

#endif  // ZEL_TOOLS_ZEL_GREP_WALK_H_
