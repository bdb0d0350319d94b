#include "zel/platform/filereplace.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/syserror.h"

namespace ZEL_EXPORT zel {
namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit for a path

// Splits a path into its directory part (with the final "/", or "" for
// none) and its last name.
void SplitPath(const std::string& path, std::string& dir, std::string& base) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    dir.clear();
    base = path;
  } else {
    dir = path.substr(0, slash + 1);
    base = path.substr(slash + 1);
  }
}

// A link in a sticky, world-writable directory is trusted only when it
// belongs to us or to the directory's owner, as the kernel's
// protected_symlinks rule does for open(): otherwise another user could
// point our save at a file of ours.
bool MayFollowLink(int dir_fd, const struct stat& link) {
  struct stat dir;
  if (::fstat(dir_fd, &dir) != 0) return false;
  if (!(dir.st_mode & S_ISVTX) || !(dir.st_mode & S_IWOTH)) return true;
  return link.st_uid == ::geteuid() || link.st_uid == dir.st_uid;
}

// Eight random characters.  The random bytes are fetched from the kernel
// 512 at a time, one call for 64 names: a tree copy makes a temporary name
// for every file.  A child made by fork() may repeat its parent's next
// names; O_EXCL turns that into another try, never into a shared file.
std::string RandomSuffix() {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  constexpr size_t kNameBytes = 8;
  thread_local unsigned char pool[512];
  thread_local size_t used = sizeof pool;
  if (used == sizeof pool) {
    if (::getrandom(pool, sizeof pool, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof pool)) {
      // No entropy yet (early boot): the name only has to be unlikely, and
      // O_EXCL makes a collision harmless.
      static std::atomic<unsigned> counter{0};
      unsigned long mix = static_cast<unsigned long>(::getpid()) * 2654435761u +
                          static_cast<unsigned long>(::time(nullptr));
      for (size_t i = 0; i < sizeof pool; i += sizeof mix) {
        mix = mix * 6364136223846793005u + 1442695040888963407u + ++counter;
        std::memcpy(pool + i, &mix, sizeof mix);
      }
    }
    used = 0;
  }
  std::string s;
  for (size_t i = 0; i < kNameBytes; ++i) s += kChars[pool[used + i] % (sizeof kChars - 1)];
  used += kNameBytes;
  return s;
}

bool IsDirectlyWritten(mode_t mode) { return S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode); }

// A file made with O_TMPFILE gets its name by linkat() through its
// /proc/self/fd entry (linking by descriptor alone takes a privilege).
bool UnnamedFilesCanBeNamed() {
  static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
  return proc;
}

}  // namespace

FileReplacement::FileReplacement(const String& Target, uint32_t NewFileMode)
    : target_name_(Target) {
  Open(AT_FDCWD, FileNameToBytes(Target), true, NewFileMode);
}

FileReplacement::FileReplacement(int DirFd, std::string_view Name, uint32_t NewFileMode)
    : target_name_(FileNameFromBytes(Name)) {
  if (Name.empty() || Name.find('/') != std::string_view::npos) Throw("Cannot create file", EINVAL);
  Open(DirFd, std::string(Name), false, NewFileMode);
}

FileReplacement::FileReplacement(int DirFd, const String& Name, uint32_t NewFileMode)
    : FileReplacement(DirFd, std::string_view(FileNameToBytes(Name)), NewFileMode) {}

FileReplacement::~FileReplacement() {
  Abandon();
  CloseDir();
}

void FileReplacement::CloseDir() noexcept {
  if (dir_fd_ >= 0 && owns_dir_) ::close(dir_fd_);
  dir_fd_ = -1;
}

void FileReplacement::Throw(const char* what, int err) {
  throw EInOutError(FromUtf8(what) + u" \"" + target_name_ + u"\". " + SysErrorMessage(err), err);
}

void FileReplacement::FailWith(int err, const char* what) {
  Abandon();
  Throw(what, err);
}

// Finds the file to write: the directory that holds it (kept open as
// `dir_fd_`) and its name there, following links by hand so that each step
// is taken once, relative to the directory the link sits in.
void FileReplacement::Open(int at, std::string path, bool follow_links, uint32_t new_file_mode) {
  int err = 0;
  struct stat st;
  struct stat linked {};  // where the first link leads, as the kernel follows it
  bool through_link = false;
  std::string dir;
  for (int step = 0;; ++step) {
    SplitPath(path, dir, base_);
    if (path.empty()) {
      err = ENOENT;
      break;
    }
    if (base_.empty() || base_ == "." || base_ == "..") {
      err = EISDIR;
      break;
    }
    if (dir.empty() && at != AT_FDCWD) {
      // The caller's directory (or the one a previous step opened) holds
      // the name: used as it is, not opened again.
      if (dir_fd_ < 0) {
        dir_fd_ = at;
        owns_dir_ = false;
      }
    } else {
      const int next = ::openat(at, dir.empty() ? "." : dir.c_str(),
                                O_PATH | O_DIRECTORY | O_CLOEXEC);
      if (next < 0) {
        err = errno;
        break;
      }
      CloseDir();  // `at` was the previous directory (or the caller's)
      dir_fd_ = at = next;
      owns_dir_ = true;
    }
    if (::fstatat(dir_fd_, base_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno != ENOENT) err = errno;
      break;  // a new file
    }
    exists_ = true;
    if (!S_ISLNK(st.st_mode)) break;
    exists_ = false;
    if (!follow_links) {
      err = ELOOP;
      break;
    }
    // A link to a device or FIFO is opened through the link itself, which
    // also reaches what the /proc/self/fd links name (a pipe has no path).
    struct stat to;
    const bool leads = ::fstatat(dir_fd_, base_.c_str(), &to, 0) == 0;
    if (leads && !through_link) linked = to;
    through_link = through_link || leads;
    if (leads && IsDirectlyWritten(to.st_mode)) {
      if (!MayFollowLink(dir_fd_, st)) {
        err = EACCES;
      } else if (!OpenDirect(base_.c_str())) {
        err = errno;
      }
      break;
    }
    if (step == kMaxLinks) {
      err = ELOOP;
      break;
    }
    if (!MayFollowLink(dir_fd_, st)) {
      err = EACCES;
      break;
    }
    std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlinkat(dir_fd_, base_.c_str(), link.data(), link.size());
    if (n < 0 || static_cast<size_t>(n) >= link.size()) {
      err = n < 0 ? errno : ENAMETOOLONG;  // changed while read: give up
      break;
    }
    link.resize(static_cast<size_t>(n));
    path = link;  // relative links continue from the link's directory
  }
  // A link the kernel follows to a file that its text does not name (a
  // /proc/self/fd link of a deleted file): nothing of that name to replace.
  if (err == 0 && !direct_ && through_link &&
      !(exists_ && st.st_dev == linked.st_dev && st.st_ino == linked.st_ino)) {
    err = ESTALE;
  }
  if (err != 0) {
    CloseDir();
    Throw("Cannot create file", err);
  }
  if (direct_) return;
  if (exists_) {
    if (S_ISDIR(st.st_mode)) err = EISDIR;
    else if (S_ISSOCK(st.st_mode)) err = ENXIO;
    if (err == 0 && IsDirectlyWritten(st.st_mode)) {
      if (!OpenDirect(base_.c_str())) err = errno;
      if (err != 0) {
        CloseDir();
        Throw("Cannot create file", err);
      }
      return;
    }
    // Decided by the permission bits as well as by access(), since the
    // super-user may write anything.
    if (err == 0 && ((st.st_mode & 0222) == 0 ||
                     ::faccessat(dir_fd_, base_.c_str(), W_OK, AT_EACCESS) != 0)) {
      err = EACCES;
    }
    if (err != 0) {
      CloseDir();
      Throw("Cannot write file", err);
    }
    mode_ = st.st_mode & 07777;
    uid_ = st.st_uid;
    gid_ = st.st_gid;
    device_ = st.st_dev;
    inode_ = st.st_ino;
    // Private while it is written: the kept mode comes at the commit.
    CreateTemp(0600);
  } else {
    CreateTemp(new_file_mode & 07777);
    mode_ = temp_mode_;
  }
}

// Opens a device or FIFO for writing where it is.  O_NONBLOCK makes a FIFO
// without a reader fail (ENXIO) instead of waiting for one; it is cleared
// again so that writes wait for a slow reader.  False with errno set.
bool FileReplacement::OpenDirect(const char* base) {
  const int fd = ::openat(dir_fd_, base, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  int err = 0;
  if (::fstat(fd, &st) != 0) {
    err = errno;
  } else if (!IsDirectlyWritten(st.st_mode)) {
    err = EAGAIN;  // swapped for another kind of file meanwhile
  } else {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) err = errno;
  }
  if (err != 0) {
    ::close(fd);
    errno = err;
    return false;
  }
  fd_ = fd;
  direct_ = true;
  device_ = st.st_dev;
  inode_ = st.st_ino;
  return true;
}

void FileReplacement::CreateTemp(uint32_t create_mode) {
  // A new file is written without a name (O_TMPFILE) and linked to its name
  // when complete: no name can be swapped meanwhile, and whatever ends the
  // program, even SIGKILL, leaves nothing behind.  A replacement needs a
  // name for the rename over the old file; so do file systems without
  // unnamed files (EOPNOTSUPP), which take the named way below.
  if (!exists_ && UnnamedFilesCanBeNamed()) {
    fd_ = ::openat(dir_fd_, ".", O_TMPFILE | O_WRONLY | O_NOCTTY | O_CLOEXEC,
                   static_cast<mode_t>(create_mode));
    if (fd_ >= 0) {
      NoteTemp();
      return;
    }
  }
  std::string prefix = "." + base_;
  if (prefix.size() > 200) prefix.resize(200);  // room for the suffix in NAME_MAX
  int err = EEXIST;
  for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
    temp_ = prefix + "." + RandomSuffix();
    fd_ = ::openat(dir_fd_, temp_.c_str(),
                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                   static_cast<mode_t>(create_mode));
    err = fd_ < 0 ? errno : 0;
  }
  if (err != 0) {
    temp_.clear();
    CloseDir();
    Throw("Cannot create file", err);
  }
  NoteTemp();
}

// Notes what the temporary file is, to tell it apart from anything put in
// its place, and its mode and owner as made, so the commit changes only
// what differs.
void FileReplacement::NoteTemp() {
  struct stat made;
  if (::fstat(fd_, &made) != 0) {
    const int err = errno;
    Abandon();
    CloseDir();
    Throw("Cannot create file", err);
  }
  temp_device_ = made.st_dev;
  temp_inode_ = made.st_ino;
  temp_mode_ = made.st_mode & 07777;
  temp_uid_ = made.st_uid;
  temp_gid_ = made.st_gid;
}

bool FileReplacement::TargetIs(uint64_t Device, uint64_t Inode) const noexcept {
  return (exists_ || direct_) && device_ == Device && inode_ == Inode;
}

void FileReplacement::SetMode(uint32_t Mode) noexcept {
  mode_ = Mode & 07777;
  exact_mode_ = true;
}

void FileReplacement::SetModifyTime(const timespec& Modify) noexcept {
  modify_ = Modify;
  has_modify_ = true;
}

void FileReplacement::Write(const void* data, size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  if (fd_ < 0 && size > 0) FailWith(EBADF, "Cannot write file");
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) FailWith(n < 0 ? errno : EIO, "Cannot write file");
    p += n;
    size -= static_cast<size_t>(n);
  }
}

void FileReplacement::Skip(int64_t size) {
  if (size <= 0) return;
  if (direct_) {
    static const char kZeros[8192] = {};
    for (; size > 0; size -= static_cast<int64_t>(sizeof kZeros)) {
      Write(kZeros, static_cast<size_t>(std::min<int64_t>(size, sizeof kZeros)));
    }
    return;
  }
  if (fd_ < 0) FailWith(EBADF, "Cannot write file");
  // The size is set at the commit, so a hole at the end is kept too.
  skipped_ = true;
  if (::lseek(fd_, static_cast<off_t>(size), SEEK_CUR) < 0) FailWith(errno, "Cannot write file");
}

void FileReplacement::Commit() {
  if (fd_ < 0) FailWith(EBADF, "Cannot write file");
  if (direct_) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) FailWith(errno, "Cannot write file");
    return;
  }
  if (skipped_) {
    // Skipped zeros at the end are a hole the file's size has to cover.
    const off_t end = ::lseek(fd_, 0, SEEK_CUR);
    struct stat st;
    if (end < 0 || ::fstat(fd_, &st) != 0) FailWith(errno, "Cannot write file");
    if (end > st.st_size && ::ftruncate(fd_, end) != 0) FailWith(errno, "Cannot write file");
  }
  // Owner first: changing it clears the set-user-ID and set-group-ID bits.
  // Both are best effort (others' files; file systems without modes), and
  // each is left out when the file already has what it is to have.
  bool owner_changed = false;
  if (exists_ && (uid_ != temp_uid_ || gid_ != temp_gid_)) {
    // Not permitted for others' files; the new file then keeps our ownership.
    owner_changed = ::fchown(fd_, uid_, gid_) == 0;
  }
  if ((exists_ || exact_mode_) && (owner_changed || mode_ != temp_mode_)) {
    (void)::fchmod(fd_, static_cast<mode_t>(mode_));
  }
  if (has_modify_) {
    const timespec times[2] = {{0, UTIME_OMIT}, modify_};
    (void)::futimens(fd_, times);
  }
  if ((exists_ || flush_new_) && ::fsync(fd_) != 0) FailWith(errno, "Cannot write file");
  if (temp_.empty()) {
    PublishUnnamed();
    return;
  }
  // The name must still lead to what was written: someone who can write
  // the directory may have put something else there.  Fail rather than
  // report a save that did not happen.
  struct stat named;
  if (::fstatat(dir_fd_, temp_.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
      named.st_dev != temp_device_ || named.st_ino != temp_inode_) {
    temp_.clear();  // not ours any more: left alone
    FailWith(EAGAIN, "Cannot write file");
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) FailWith(errno, "Cannot write file");
  if (exists_) {
    if (::renameat(dir_fd_, temp_.c_str(), dir_fd_, base_.c_str()) != 0) {
      FailWith(errno, "Cannot replace file");
    }
  } else {
    PublishNew();
  }
  temp_.clear();
  CloseDir();
}

// Links the finished unnamed file to the target's name unless a file of
// that name appeared meanwhile (EEXIST), then closes it.
void FileReplacement::PublishUnnamed() {
  char self[32];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd_);
  if (::linkat(AT_FDCWD, self, dir_fd_, base_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    FailWith(errno, "Cannot create file");
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) {
    // A late write error (local file systems report none here): take the
    // name back while it still leads to this file.
    const int err = errno;
    struct stat named;
    if (::fstatat(dir_fd_, base_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == temp_device_ && named.st_ino == temp_inode_) {
      ::unlinkat(dir_fd_, base_.c_str(), 0);
    }
    FailWith(err, "Cannot write file");
  }
  CloseDir();
}

// Gives the finished temporary file the target's name unless a file of
// that name appeared meanwhile (EEXIST).
void FileReplacement::PublishNew() {
  if (::renameat2(dir_fd_, temp_.c_str(), dir_fd_, base_.c_str(), RENAME_NOREPLACE) == 0) return;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
    FailWith(errno, "Cannot create file");
  }
  // A file system without the flag: a second link fails just as well when
  // the name is taken.
  if (::linkat(dir_fd_, temp_.c_str(), dir_fd_, base_.c_str(), 0) == 0) {
    ::unlinkat(dir_fd_, temp_.c_str(), 0);
    return;
  }
  if (errno == EEXIST) FailWith(EEXIST, "Cannot create file");
  // Nor hard links (FAT): a plain rename, after a last look at the name.
  struct stat st;
  if (::fstatat(dir_fd_, base_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    FailWith(EEXIST, "Cannot create file");
  }
  if (::renameat(dir_fd_, temp_.c_str(), dir_fd_, base_.c_str()) != 0) {
    FailWith(errno, "Cannot create file");
  }
}

void FileReplacement::Abandon() noexcept {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlinkat(dir_fd_, temp_.c_str(), 0);
    temp_.clear();
  }
}

}  // namespace zel
