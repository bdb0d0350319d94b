#include "zel/graphics/internal/safefile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "zel/platform/exceptions.h"
#include "zel/platform/syserror.h"

namespace zel::detail {
namespace {

String Quoted(const String& s) { return u"\"" + s + u"\""; }

[[noreturn]] void WriteFailed(const String& target, int err) {
  throw EWriteError(u"Cannot write file " + Quoted(target) + u". " + SysErrorMessage(err));
}

}  // namespace

std::string CreateSiblingTemp(const String& target) {
  const std::string path = ToUtf8(target);
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  // A fresh name opened exclusively with mode 0666, so that the saved file
  // gets the permissions the process's umask gives new files.
  static std::atomic<unsigned> counter{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir + ".zel-save-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0 || path.empty() || path.back() == '/') {
    const int err = fd < 0 ? errno : EISDIR;
    if (fd >= 0) {
      ::close(fd);
      ::unlink(temp.c_str());
    }
    throw EFCreateError(u"Cannot create file " + Quoted(target) + u". " + SysErrorMessage(err));
  }
  ::close(fd);
  return temp;
}

void CommitTemp(const std::string& temp, const String& target) {
  int err = 0;
  const int fd = ::open(temp.c_str(), O_RDONLY);
  if (fd < 0 || ::fsync(fd) != 0) err = errno;
  if (fd >= 0) ::close(fd);
  if (err == 0 && ::rename(temp.c_str(), ToUtf8(target).c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    WriteFailed(target, err);
  }
}

void ReplaceFile(const String& target, std::span<const uint8_t> bytes) {
  const std::string temp = CreateSiblingTemp(target);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC);
  int err = fd < 0 ? errno : 0;
  size_t done = 0;
  while (err == 0 && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno != EINTR) err = errno;
    } else {
      done += static_cast<size_t>(n);
    }
  }
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (fd >= 0 && ::close(fd) != 0 && err == 0) err = errno;
  if (err != 0) {
    ::unlink(temp.c_str());
    WriteFailed(target, err);
  }
  CommitTemp(temp, target);
}

}  // namespace zel::detail
