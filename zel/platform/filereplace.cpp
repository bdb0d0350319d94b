#include "zel/platform/filereplace.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "zel/platform/exceptions.h"
#include "zel/platform/syserror.h"

namespace zel {
namespace {

// The process's umask, read without changing it (umask(2) can only be read
// by setting it, which races with other threads).
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  }
  return 022;
}

// The file a path names, with a final symbolic link followed (the link
// itself stays; what it points to is replaced).
std::string ResolveTarget(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
  return path;  // a dangling link: replaced by the file itself
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

FileReplacement::FileReplacement(const String& target)
    : target_name_(target), target_(ResolveTarget(ToUtf8(target))) {
  // A file without write permission stays as it is, even where its
  // directory would let a rename replace it (and for root, whom access()
  // never refuses: a file with no write bit at all counts as read-only).
  struct stat st;
  if (::stat(target_.c_str(), &st) == 0 &&
      (::access(target_.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)) {
    throw EInOutError(u"Cannot write file \"" + target_name_ + u"\". " + SysErrorMessage(EACCES),
                      EACCES);
  }
  std::string base = BaseOf(target_);
  if (base.size() > 200) base.resize(200);  // room for the prefix and suffix in NAME_MAX
  temp_ = DirectoryOf(target_) + "/." + base + ".XXXXXX";
  fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    const int err = errno;
    temp_.clear();
    throw EInOutError(u"Cannot create file \"" + target_name_ + u"\". " + SysErrorMessage(err), err);
  }
}

FileReplacement::~FileReplacement() { Abandon(); }

void FileReplacement::FailWith(int err, const char* what) {
  Abandon();
  throw EInOutError(FromUtf8(what) + u" \"" + target_name_ + u"\". " + SysErrorMessage(err), err);
}

void FileReplacement::Write(const void* data, size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) FailWith(n < 0 ? errno : EIO, "Cannot write file");
    p += n;
    size -= static_cast<size_t>(n);
  }
}

void FileReplacement::Commit() {
  if (fd_ < 0) FailWith(EBADF, "Cannot write file");
  struct stat old;
  if (::stat(target_.c_str(), &old) == 0) {
    ::fchmod(fd_, old.st_mode & 07777);
    if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
      // Not permitted for others' files; the new file keeps our ownership.
    }
  } else {
    ::fchmod(fd_, 0666 & ~CurrentUmask());
  }
  if (::fsync(fd_) != 0) FailWith(errno, "Cannot write file");
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    const int err = errno;
    fd_ = -1;
    FailWith(err, "Cannot write file");
  }
  if (::rename(temp_.c_str(), target_.c_str()) != 0) FailWith(errno, "Cannot replace file");
  temp_.clear();
}

void FileReplacement::Abandon() noexcept {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

}  // namespace zel
