#include "zel/platform/internal/treewalk_posix.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/internal/treewalk_loop.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;

bool SameId(const struct stat& a, const struct stat& b) noexcept {
  return detail::SameFileId(a, b);
}

unsigned char TypeOfMode(mode_t mode) noexcept {
  if (S_ISDIR(mode)) return DT_DIR;
  if (S_ISREG(mode)) return DT_REG;
  if (S_ISLNK(mode)) return DT_LNK;
  if (S_ISFIFO(mode)) return DT_FIFO;
  if (S_ISCHR(mode)) return DT_CHR;
  if (S_ISBLK(mode)) return DT_BLK;
  return DT_SOCK;
}

// The head of the raw record getdents64 fills in (not in every C library's
// headers); the name follows it, ending in a zero byte.
struct LinuxDirent64 {
  uint64_t d_ino;
  int64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
};
constexpr size_t kDirentNameOffset = 19;

}  // namespace

namespace ZEL_HIDDEN detail {

int OpenDirPath(const std::string& path, bool follow_final) {
  return open(path.empty() ? "." : path.c_str(), kDirFlags | (follow_final ? 0 : O_NOFOLLOW));
}

int OpenDirAt(int dirfd, const std::string& name, const struct stat* expected) {
  const int fd = openat(dirfd, name.c_str(), kDirFlags | O_NOFOLLOW);
  if (fd < 0 || expected == nullptr) return fd;
  struct stat st;
  if (fstat(fd, &st) != 0 || !SameId(st, *expected)) {
    close(fd);
    errno = ESTALE;
    return -1;
  }
  return fd;
}

// --- DirChain ---------------------------------------------------------------

DirChain::DirChain(int max_open) {
  if (max_open <= 0) {
    // A quarter of what the process may open, so a copy (two chains and
    // its files) and the caller's own files fit beside it.
    struct rlimit lim {};
    rlim_t cur = 1024;
    if (getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY) cur = lim.rlim_cur;
    max_open = static_cast<int>(std::min<rlim_t>(16, cur / 8));
  }
  // The top and its parent stay open: a visitor works in both.
  max_open_ = static_cast<size_t>(std::max(2, max_open));
}

DirChain::~DirChain() {
  for (const Frame& f : frames_) {
    if (f.fd >= 0) close(f.fd);
  }
}

bool DirChain::Start(int fd) {
  Frame f{fd, {}};
  if (fstat(fd, &f.st) != 0) {
    close(fd);
    return false;
  }
  frames_.push_back(f);
  lowest_open_ = frames_.size() - 1;
  return true;
}

void DirChain::Evict() {
  if (frames_.empty() || lowest_open_ + 1 >= frames_.size()) return;
  close(frames_[lowest_open_].fd);
  frames_[lowest_open_].fd = -1;
  ++lowest_open_;
}

void DirChain::Shrink() {
  while (lowest_open_ + 1 < frames_.size()) Evict();
}

int DirChain::OpenChild(const std::string& name, const struct stat* expected) {
  for (;;) {
    const int fd = OpenDirAt(TopFd(), name, expected);
    if (fd >= 0) return fd;
    // Out of descriptors: give back an ancestor's (it is opened again on
    // the way up) and try once more.
    if ((errno != EMFILE && errno != ENFILE) || lowest_open_ + 1 >= frames_.size()) return -1;
    Evict();
  }
}

int DirChain::Push(const std::string& name, const struct stat* expected) {
  if (TopFd() < 0) return EBADF;
  Frame f{OpenChild(name, expected), {}};
  if (f.fd < 0) return errno;
  if (fstat(f.fd, &f.st) != 0) {
    const int err = errno;
    close(f.fd);
    return err;
  }
  frames_.push_back(f);
  if (frames_.size() - lowest_open_ > max_open_) Evict();
  return 0;
}

int DirChain::PushCreate(const std::string& name, mode_t mode, bool& created) {
  created = false;
  if (TopFd() < 0) return EBADF;
  if (mkdirat(TopFd(), name.c_str(), mode) == 0) {
    created = true;
  } else if (errno != EEXIST) {
    return errno;
  }
  return Push(name, nullptr);
}

int DirChain::Pop() {
  if (frames_.empty()) return 0;
  const Frame child = frames_.back();
  frames_.pop_back();
  int err = 0;
  if (!frames_.empty() && frames_.back().fd < 0) {
    // Opened again from its child, and taken only if it is still the
    // directory that was entered on the way down.
    Frame& parent = frames_.back();
    const int fd = child.fd >= 0 ? openat(child.fd, "..", kDirFlags) : -1;
    struct stat st;
    if (fd < 0) {
      err = child.fd >= 0 ? errno : ESTALE;
    } else if (fstat(fd, &st) != 0 || !SameId(st, parent.st)) {
      err = ESTALE;
      close(fd);
    } else {
      parent.fd = fd;
    }
    lowest_open_ = parent.fd >= 0 ? frames_.size() - 1 : frames_.size();
  }
  if (child.fd >= 0) close(child.fd);
  if (lowest_open_ > frames_.size()) lowest_open_ = frames_.size();
  return err;
}

// --- listing ----------------------------------------------------------------

int ReadDirEntries(int dirfd, std::vector<DirEntry>& out, size_t max) {
  if (lseek(dirfd, 0, SEEK_SET) < 0) return errno;
  alignas(LinuxDirent64) char buf[32768];
  for (;;) {
    const long n = syscall(SYS_getdents64, dirfd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return 0;
    for (long pos = 0; pos < n;) {
      const auto* d = reinterpret_cast<const LinuxDirent64*>(buf + pos);
      const char* name = buf + pos + kDirentNameOffset;
      pos += d->d_reclen;
      if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
      unsigned char type = d->d_type;
      if (type == DT_UNKNOWN) {
        // File systems that do not say: ask, without following a link.
        struct stat st;
        if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone meanwhile
        type = TypeOfMode(st.st_mode);
      }
      out.push_back(DirEntry{std::string(name), type});
      if (out.size() >= max) return 0;
    }
  }
}

bool StatSearchRec(int dirfd, const std::string& name, TSearchRec& rec) {
  struct stat st;
  if (fstatat(dirfd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  rec = TSearchRec{};
  rec.Name = FileNameFromBytes(name);
  uint32_t attr = 0;
  if (S_ISLNK(st.st_mode)) {
    attr = faSymLink;
    struct stat target;
    // The target's kind, as a search shows it; a dangling link stays a
    // plain link with its own size and time.
    if (fstatat(dirfd, name.c_str(), &target, 0) == 0) {
      attr |= HostAttrOfMode(target.st_mode);
      st = target;
    }
  } else {
    attr = HostAttrOfMode(st.st_mode);
  }
  if (name[0] == '.') attr |= faHidden;
  rec.Attr = attr;
  rec.Mode = st.st_mode & 07777;
  rec.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
  rec.Modify = st.st_mtim;
  return true;
}

// --- the walk -----------------------------------------------------------------

namespace {

// The POSIX side of the shared walk (treewalk_loop.h).
struct PosixWalk {
  using Dir = int;
  using Entry = DirEntry;
  using Id = struct stat;
  using Path = std::string;
  using Chain = DirChain;
  using Visitor = TreeVisitor;
  static constexpr char kSep = '/';
  static int Top(const DirChain& chain) { return chain.TopFd(); }
  static bool Valid(int fd) { return fd >= 0; }
  static bool IsDir(const DirEntry& e) { return e.type == DT_DIR; }
  static int List(int fd, std::vector<DirEntry>& out) { return ReadDirEntries(fd, out); }
  static int Examine(const DirChain&, int fd, DirEntry& e, struct stat& st) {
    if (fstatat(fd, e.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      return errno == ENOENT ? kWalkGone : errno;
    }
    if (!S_ISDIR(st.st_mode)) {
      e.type = TypeOfMode(st.st_mode);
      return kWalkNotDir;
    }
    return kWalkEnter;
  }
};

}  // namespace

bool WalkTree(int root_fd, TreeVisitor& visitor, bool subdirs) {
  DirChain chain;
  if (!chain.Start(root_fd)) {
    visitor.OnError(std::string(), errno);
    return false;
  }
  return WalkTreeLoop<PosixWalk>(chain, visitor, subdirs);
}

// --- single calls ----------------------------------------------------------------

ScopedFd::~ScopedFd() {
  if (fd_ >= 0) close(fd_);
}

int StatAt(int dirfd, const std::string& name, bool follow, struct stat& st) {
  return fstatat(dirfd, name.c_str(), &st, follow ? 0 : AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

int StatFd(int fd, struct stat& st) { return fstat(fd, &st) == 0 ? 0 : errno; }

int RemoveAt(int dirfd, const std::string& name, bool is_dir) {
  return unlinkat(dirfd, name.c_str(), is_dir ? AT_REMOVEDIR : 0) == 0 ? 0 : errno;
}

int RenameAtNoReplace(int from_dirfd, const std::string& from, int to_dirfd, const std::string& to) {
  return renameat2(from_dirfd, from.c_str(), to_dirfd, to.c_str(), RENAME_NOREPLACE) == 0 ? 0 : errno;
}

int CopyLinkAt(int src_dirfd, const std::string& src_name, int dst_dirfd,
               const std::string& dst_name) {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t n = readlinkat(src_dirfd, src_name.c_str(), target.data(), target.size());
    if (n < 0) return errno;
    if (static_cast<size_t>(n) < target.size()) {
      target.resize(static_cast<size_t>(n));
      break;
    }
    target.resize(target.size() * 2);
  }
  if (symlinkat(target.c_str(), dst_dirfd, dst_name.c_str()) == 0) return 0;
  if (errno != EEXIST) return errno;
  // An earlier copy's link is replaced; anything else stays.
  struct stat st;
  if (fstatat(dst_dirfd, dst_name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode)) {
    return EEXIST;
  }
  if (unlinkat(dst_dirfd, dst_name.c_str(), 0) != 0) return errno;
  return symlinkat(target.c_str(), dst_dirfd, dst_name.c_str()) == 0 ? 0 : errno;
}

int RemoveDirPath(const std::string& path, const struct stat& expected) {
  const size_t slash = path.rfind('/');
  const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  ScopedFd dir(OpenDirPath(parent, true));
  if (dir.get() < 0) return errno;
  struct stat st;
  if (fstatat(dir.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  if (!SameId(st, expected)) return ESTALE;
  return RemoveAt(dir.get(), name, true);
}

bool DirIsWithin(int dirfd, const struct stat& top) {
  struct stat st;
  if (fstat(dirfd, &st) != 0) return false;
  if (SameId(st, top)) return true;
  int cur = openat(dirfd, "..", kDirFlags);
  while (cur >= 0) {
    struct stat up;
    const bool ok = fstat(cur, &up) == 0;
    const bool within = ok && SameId(up, top);
    // At the root ".." is the directory itself.
    if (!ok || within || SameId(up, st)) {
      close(cur);
      return within;
    }
    st = up;
    const int next = openat(cur, "..", kDirFlags);
    close(cur);
    cur = next;
  }
  return false;
}

// --- creating a path ------------------------------------------------------------

int MakeDirectoriesFd(const std::string& path) {
  if (path.empty()) {
    errno = ENOENT;
    return -1;
  }
  int fd = open(path[0] == '/' ? "/" : ".", kDirFlags);
  size_t pos = 0;
  while (fd >= 0 && pos < path.size()) {
    const size_t slash = path.find('/', pos);
    const size_t end = slash == std::string::npos ? path.size() : slash;
    const std::string part = path.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty() || part == ".") continue;
    // A level that exists is the caller's path: resolved as the kernel
    // resolves it (a link to a directory is followed, as by `mkdir -p`), and
    // held from then on.  A level made here is opened without following a
    // link, so one swapped in after the mkdirat leads nowhere.
    int next = openat(fd, part.c_str(), kDirFlags);
    if (next < 0 && errno == ENOENT && part != "..") {
      if (mkdirat(fd, part.c_str(), 0777) == 0 || errno == EEXIST) {
        next = openat(fd, part.c_str(), kDirFlags | O_NOFOLLOW);
      }
    }
    const int err = errno;
    close(fd);
    fd = next;
    errno = err;
  }
  return fd;
}

bool MakeDirectories(const std::string& path) {
  const int fd = MakeDirectoriesFd(path);
  if (fd < 0) return false;
  close(fd);
  return true;
}

}  // namespace detail
}  // namespace zel
