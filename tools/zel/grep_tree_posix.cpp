// The POSIX side of the recursive grep (tools/zel/grep_walk.h): the tree
// is walked with the library's descriptor walker
// (zel/platform/internal/treewalk_posix.h).
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tools/zel/grep_walk.h"
#include "zel/platform/filename.h"
#include "zel/platform/internal/treewalk_posix.h"

namespace zel::cli {
namespace {

// Submits every wanted regular file of one tree.
class TreeLister : public detail::TreeVisitor {
 public:
  TreeLister(const GrepRun& run, const TreeSearchHooks& hooks, std::string prefix)
      : run_(run), hooks_(hooks), prefix_(std::move(prefix)) {
    for (const std::string& m : run.include_masks) include_.push_back(FileNameFromBytes(m));
    for (const std::string& m : run.exclude_masks) exclude_.push_back(FileNameFromBytes(m));
  }

  bool WantDir(int, detail::DirEntry& e, const std::string& dir) override {
    if (!run_.hidden && e.name[0] == '.') return false;
    return exclude_.empty() ||
           !MatchesAnyMask(exclude_, FileNameFromBytes(e.name), FileNameFromBytes(dir + e.name));
  }

  void OnEntry(int dirfd, const detail::DirEntry& e, const std::string& dir) override {
    if (e.type != DT_REG) return;  // links are not followed; no FIFOs or devices
    if (!run_.hidden && e.name[0] == '.') return;
    if (!include_.empty() || !exclude_.empty()) {
      const String name = FileNameFromBytes(e.name), path = FileNameFromBytes(dir + e.name);
      if (!include_.empty() && !MatchesAnyMask(include_, name, path)) return;
      if (MatchesAnyMask(exclude_, name, path)) return;
    }
    // Non-blocking, so that a FIFO swapped in after the listing cannot
    // hold the walk; then only a regular file is searched (reads of a
    // regular file do not heed O_NONBLOCK).
    const int fd = ::openat(dirfd, e.name.c_str(),
                            O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
      if (errno != ELOOP) {  // ELOOP: a link now stands there; links are passed over
        hooks_.error(prefix_ + dir + e.name, errno);
      }
      return;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return;
    }
    hooks_.submit(prefix_ + dir + e.name, fd);
  }

  void OnError(const std::string& path, int err) override {
    std::string name = prefix_ + path;
    if (name.size() > 1 && name.back() == '/') name.pop_back();
    if (name.empty()) name = ".";
    hooks_.error(name, err);
  }

  bool Stopped() override { return hooks_.stopped(); }

 private:
  const GrepRun& run_;
  const TreeSearchHooks& hooks_;
  std::string prefix_;
  std::vector<String> include_, exclude_;
};

}  // namespace

void SearchTree(const std::string& path, const std::string& prefix, const GrepRun& run,
                const TreeSearchHooks& hooks) {
  const int root = detail::OpenDirPath(path, true);
  if (root < 0) {
    hooks.error(path, errno);
    return;
  }
  TreeLister lister(run, hooks, prefix);
  detail::WalkTree(root, lister);
}

}  // namespace zel::cli
