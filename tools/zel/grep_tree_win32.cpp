// The Windows side of the recursive grep (tools/zel/grep_walk.h): the tree
// is walked with the library's walker on directory handles
// (zel/platform/internal/treewalk_win32.h), and each file is opened
// relative to its directory's handle, a link never followed.  Paths below
// the operand are printed with "/", as the operand's own prefix is.
#include <fcntl.h>
#include <io.h>

#include <string>
#include <vector>

#include "tools/zel/grep_walk.h"
#include "zel/platform/filename.h"
#include "zel/platform/internal/treewalk_win32.h"

namespace zel::cli {
namespace {

// The path below the operand with "/" between its names.
String Slashed(const String& rel, const String& name) {
  String out = rel + name;
  for (Char& c : out) {
    if (c == u'\\') c = u'/';
  }
  return out;
}

// Submits every wanted regular file of one tree.
class TreeLister : public detail::TreeVisitor {
 public:
  TreeLister(const GrepRun& run, const TreeSearchHooks& hooks, std::string prefix)
      : run_(run), hooks_(hooks), prefix_(std::move(prefix)) {
    for (const std::string& m : run.include_masks) include_.push_back(FileNameFromBytes(m));
    for (const std::string& m : run.exclude_masks) exclude_.push_back(FileNameFromBytes(m));
  }

  bool WantDir(HANDLE, detail::DirEntry& e, const String& rel) override {
    if (!run_.hidden && e.name[0] == u'.') return false;
    return exclude_.empty() || !MatchesAnyMask(exclude_, e.name, Slashed(rel, e.name));
  }

  void OnEntry(HANDLE dir, const detail::DirEntry& e, const String& rel) override {
    if (e.kind != detail::dkFile) return;  // links are not followed
    if (!run_.hidden && e.name[0] == u'.') return;
    const String path = Slashed(rel, e.name);
    if (!include_.empty() && !MatchesAnyMask(include_, e.name, path)) return;
    if (!exclude_.empty() && MatchesAnyMask(exclude_, e.name, path)) return;
    const std::string shown = prefix_ + FileNameToBytes(path);
    HANDLE h;
    if (const int err = detail::OpenEntryAt(dir, e.name, GENERIC_READ | FILE_READ_ATTRIBUTES,
                                            FILE_NON_DIRECTORY_FILE | FILE_SEQUENTIAL_ONLY, h)) {
      hooks_.error(shown, err);
      return;
    }
    // Only a regular file on a disk is searched: a link swapped in after
    // the listing was opened as itself and is passed over.
    detail::EntryInfo info;
    if (detail::StatHandle(h, info) != 0 || info.kind != detail::dkFile || GetFileType(h) != FILE_TYPE_DISK) {
      CloseHandle(h);
      return;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
      CloseHandle(h);
      hooks_.error(shown, EMFILE);
      return;
    }
    hooks_.submit(shown, fd);
  }

  void OnError(const String& path, int err) override {
    std::string name = prefix_ + FileNameToBytes(Slashed(path, String()));
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
  const HANDLE root = detail::OpenDirPath(FileNameFromBytes(path), true);
  if (root == nullptr) {
    hooks.error(path, errno);
    return;
  }
  TreeLister lister(run, hooks, prefix);
  detail::WalkTree(root, lister);
}

}  // namespace zel::cli
