// The POSIX side of zel/platform/internal/hostio.h.
#include "zel/platform/internal/hostio.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "zel/platform/filename.h"

namespace zel::detail {

int OpenFileFd(StringView name, int flags, uint32_t mode) {
  const std::string path = FileNameToBytes(name);
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, static_cast<mode_t>(mode));
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return -1;
  }
  return fd;
}

void CloseFd(int fd) noexcept { ::close(fd); }

int64_t ReadFdAt(int fd, void* buffer, size_t count, int64_t offset) {
  return ::pread(fd, buffer, count, static_cast<off_t>(offset));
}

bool IdentifyFd(int fd, FdFileId& id) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.inode = static_cast<uint64_t>(st.st_ino);
  id.regular = S_ISREG(st.st_mode);
  return true;
}

void SetBinaryMode(int) {}

}  // namespace zel::detail
