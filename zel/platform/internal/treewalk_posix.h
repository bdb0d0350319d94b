// zel/platform/internal/treewalk_posix.h — the one directory walker behind every
// walk, copy and deletion of a tree.
//
//   struct Lister : zel::detail::TreeVisitor {
//     void OnEntry(int dirfd, const zel::detail::DirEntry& e, const std::string& dir) override {
//       Use(dir + e.name);             // "sub/deeper/f.txt", as bytes
//     }
//     void OnError(const std::string& path, int err) override { Report(path, err); }
//   } lister;
//   int root = zel::detail::OpenDirPath("/data", true);
//   if (root >= 0) zel::detail::WalkTree(root, lister);
//
// The walker works on descriptors, never on paths: each directory is opened
// relative to its parent's descriptor by name with `O_NOFOLLOW`, and its
// device and inode are compared with what the parent's listing showed, so
// a directory swapped for a link (or for another directory) meanwhile is
// refused, and a visitor that removes or creates entries does it relative to
// the descriptor it is handed (`unlinkat`, `mkdirat`, `openat`).  Nothing
// outside the starting directory is ever read, written or removed, whatever
// another user swaps in during the walk.
//
// It is iterative and keeps only a few descriptors open (`DirChain`): a
// directory whose descriptor was closed on the way down is opened again on
// the way up through ".." of its child and accepted only when it is still
// the same directory (device and inode).  So the depth of a tree is limited
// by memory alone, not by the stack, PATH_MAX or the descriptor limit, and
// the cost is linear in the number of entries.  Paths are bytes, relative
// to the starting directory.
#ifndef ZEL_PLATFORM_INTERNAL_TREEWALK_POSIX_H_
#define ZEL_PLATFORM_INTERNAL_TREEWALK_POSIX_H_

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "zel/platform/export.h"
#include "zel/platform/hostfs.h"

namespace zel::detail {

// Opens the directory `path` (empty: the current one) as the kernel
// resolves it: links and ".." on the way are followed as any open does, the
// last component too when `follow_final` is set.  The descriptor, or -1
// with errno set.
int OpenDirPath(const std::string& path, bool follow_final);

// Opens the directory `name` inside `dirfd` without following a link; when
// `expected` is given, the opened directory must have its device and inode
// (ESTALE otherwise).  The descriptor, or -1 with errno set.
int OpenDirAt(int dirfd, const std::string& name, const struct stat* expected);

// A path of directories, each entered from the one below it, with at most
// a few descriptors open (the deepest ones).  The top's descriptor is open
// whenever `TopFd()` is not -1; it is -1 only after `Pop` could not open the
// directory again (it is gone, or another one stands in its place).
class DirChain {
 public:
  // `max_open` 0: chosen from the descriptor limit.
  explicit DirChain(int max_open = 0);
  ~DirChain();
  DirChain(const DirChain&) = delete;
  DirChain& operator=(const DirChain&) = delete;

  // Takes over `fd` (an open directory) as the bottom of the chain.
  bool Start(int fd);
  // Enters `name` inside the top (see `OpenDirAt`).  0, or the error.
  int Push(const std::string& name, const struct stat* expected);
  // Creates the directory `name` inside the top when it is missing (with
  // `mode`) and enters it; `created` says whether it was made here.  A link
  // or anything else in its place is refused (ENOTDIR).
  int PushCreate(const std::string& name, mode_t mode, bool& created);
  // Leaves the top.  0, or the error of opening the one below again (its
  // descriptor is then -1).
  int Pop();
  // Closes every descriptor but the top's (after EMFILE elsewhere).
  void Shrink();

  int TopFd() const { return frames_.empty() ? -1 : frames_.back().fd; }
  const struct stat& TopStat() const { return frames_.back().st; }
  size_t Depth() const { return frames_.size(); }

 private:
  struct Frame {
    int fd;
    struct stat st;
  };
  int OpenChild(const std::string& name, const struct stat* expected);
  void Evict();
  std::vector<Frame> frames_;
  size_t lowest_open_ = 0;  // frames from here to the top have descriptors
  size_t max_open_;
};

// One entry of a directory listing.  `type` is the entry's own kind
// (`DT_DIR`, `DT_REG`, `DT_LNK`, ...), never `DT_UNKNOWN`.
struct DirEntry {
  std::string name;
  unsigned char type;
};

// Every entry of the open directory `dirfd` except "." and "..", in the
// order the host lists them.  0, or the error of reading it (the entries
// read so far are kept).  Stops after `max` entries.  `dirfd` stays open.
int ReadDirEntries(int dirfd, std::vector<DirEntry>& out, size_t max = SIZE_MAX);

// What a walk does with what it meets.  `dir` is the path of the directory
// being walked relative to the starting one, with a trailing "/" ("" for
// the starting one), so an entry's path is `dir + e.name`; `dirfd` is that
// directory's descriptor, for calls relative to it.
class TreeVisitor {
 public:
  virtual ~TreeVisitor() = default;
  // A directory about to be listed.
  virtual void OnDir(const std::string& dir) { (void)dir; }
  // An entry that is not a directory (a link to one included).
  virtual void OnEntry(int dirfd, const DirEntry& e, const std::string& dir) = 0;
  // Whether to go into the subdirectory `e` at all, before it is opened; it
  // may rename it and change `e.name` to match.
  virtual bool WantDir(int dirfd, DirEntry& e, const std::string& dir) {
    (void)dirfd, (void)e, (void)dir;
    return true;
  }
  // The subdirectory `e` of `dirfd` was opened (`st` describes it); false
  // leaves it unvisited.
  virtual bool EnterDir(int dirfd, const DirEntry& e, const struct stat& st,
                        const std::string& dir) {
    (void)dirfd, (void)e, (void)st, (void)dir;
    return true;
  }
  // The walk is back from the subdirectory `e`: `complete` when all of it
  // was listed and visited.  `dirfd` is -1 when the parent could not be
  // reached again (see `DirChain::Pop`).
  virtual void LeaveDir(int dirfd, const DirEntry& e, const std::string& dir, bool complete) {
    (void)dirfd, (void)e, (void)dir, (void)complete;
  }
  // The directory at `path` (relative, with a trailing "/") could not be
  // opened, listed in full or reached again.
  virtual void OnError(const std::string& path, int err) = 0;
  // True ends the walk before the next entry.
  virtual bool Stopped() { return false; }
};

// Walks the tree below the open directory `root_fd` (taken over): for each
// directory its non-directory entries first, then its subdirectories, each
// in listing order; with `subdirs` false only the starting directory.  True
// when every directory it went into could be listed in full.
bool WalkTree(int root_fd, TreeVisitor& visitor, bool subdirs = true);

// A descriptor closed when it goes out of scope.
class ScopedFd {
 public:
  explicit ScopedFd(int fd = -1) : fd_(fd) {}
  ~ScopedFd();
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return fd_; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// Small calls relative to a directory descriptor (AT_FDCWD for the current
// directory); each returns 0 or the error.  None follows a link in `name`
// except `StatAt` with `follow`.
int StatAt(int dirfd, const std::string& name, bool follow, struct stat& st);
int StatFd(int fd, struct stat& st);
// Removes the file or link `name` (`is_dir` false) or the empty directory.
int RemoveAt(int dirfd, const std::string& name, bool is_dir);
// Renames `from` (in `from_dirfd`) to `to` (in `to_dirfd`) unless `to`
// exists; an errno value, 0 on success.
int RenameAtNoReplace(int from_dirfd, const std::string& from, int to_dirfd, const std::string& to);
// Makes `dst_name` a link with the target of the link `src_name`; an
// existing link of that name is replaced, anything else is left (EEXIST).
int CopyLinkAt(int src_dirfd, const std::string& src_name, int dst_dirfd,
                          const std::string& dst_name);
// Removes the empty directory `path` only while its name still leads to the
// directory `expected` describes (never to a link or another directory).
int RemoveDirPath(const std::string& path, const struct stat& expected);
// True when `a` and `b` describe the same file.
inline bool SameFileId(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
// True when the directory open as `dirfd` is `top` or lies below it (its
// ".." chain, as the kernel sees it, reaches `top`).
bool DirIsWithin(int dirfd, const struct stat& top);

// Creates `path` with every missing level, each relative to the descriptor
// of the level above ("." and ".." are taken as the kernel takes them).
// Levels that exist are resolved as the kernel resolves them (a link to a
// directory is followed, as `mkdir -p` does); a level made here is never
// entered through a link.  True when the whole path is a directory
// afterwards; otherwise errno says why (ENOTDIR for a file on the way).
bool MakeDirectories(const std::string& path);
// The same, giving the final directory's descriptor (or -1).
int MakeDirectoriesFd(const std::string& path);

// The classic attributes of an entry as `TDirSearch` gives them with
// details (a link: `faSymLink` and its target's kind); false when it is
// gone.
bool StatSearchRec(int dirfd, const std::string& name, TSearchRec& rec);

// The attribute bits of a host file mode (zel/platform/hostfs.h).
uint32_t HostAttrOfMode(uint32_t mode) noexcept;

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_TREEWALK_POSIX_H_
