// The Windows side of the recursive grep (tools/zel/grep_walk.h): not yet
// available; it waits for the library's walker on directory handles.
#include <string>

#include "tools/zel/grep_walk.h"
#include "zel/platform/exceptions.h"

namespace zel::cli {

void SearchTree(const std::string&, const std::string&, const GrepRun&, const TreeSearchHooks&) {
  throw Exception(u"grep -r (the walk of a tree) is not available on this host (Windows) yet");
}

}  // namespace zel::cli
