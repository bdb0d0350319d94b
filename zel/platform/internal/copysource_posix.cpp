#include "zel/platform/internal/copysource_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace zel::detail {

CopySource::~CopySource() {
  if (fd_ >= 0) ::close(fd_);
}

bool CopySource::Open(int DirFd, const std::string& Name, bool FollowLink) {
  const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (FollowLink ? 0 : O_NOFOLLOW);
  const int fd = ::openat(DirFd, Name.c_str(), flags);
  if (fd < 0) return false;
  struct stat st;
  int err = 0;
  if (::fstat(fd, &st) != 0) {
    err = errno;
  } else if (!S_ISREG(st.st_mode)) {
    err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
  }
  // O_NONBLOCK stays: reads of a regular file do not heed it.  Should a
  // file system answer EAGAIN all the same, ReadFully clears it then.
  if (err != 0) {
    ::close(fd);
    errno = err;
    return false;
  }
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
  size_ = st.st_size;
  mode_ = st.st_mode & 07777;
  modify_ = st.st_mtim;
  device_ = st.st_dev;
  inode_ = st.st_ino;
  opened_ = st;
  fresh_ = true;
  return true;
}

namespace {

// Reads all `count` bytes at `offset` unless the file ends first.  The
// file was opened with O_NONBLOCK, which regular files ignore; one that
// answers EAGAIN anyway (a network or user-space file system) is read on
// with the flag cleared.
int64_t ReadFully(int fd, char* buffer, size_t count, int64_t offset) {
  size_t done = 0;
  bool blocking = false;
  while (done < count) {
    const ssize_t n = ::pread(fd, buffer + done, count - done, static_cast<off_t>(offset) +
                                                                   static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN && !blocking) {
      if (::fcntl(fd, F_SETFL, O_RDONLY) != 0) return -1;
      blocking = true;
      continue;
    }
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(done);
}

}  // namespace

int64_t CopySource::ReadChunk(char* Buffer, size_t Count, int64_t Offset,
                              std::vector<DataExtent>& Extents) {
  Extents.clear();
  // The end as it is now, so that a file that grows while it is copied is
  // read on, as a plain read loop would.
  // The first chunk takes what Open saw a moment ago.
  struct stat st;
  if (fresh_) {
    st = opened_;
    fresh_ = false;
  } else if (::fstat(fd_, &st) != 0) {
    return -1;
  }
  const int64_t limit = std::min<int64_t>(Offset + static_cast<int64_t>(Count), st.st_size);
  // A file whose blocks cover its size has no holes: no need to ask where
  // its data lies (two calls per chunk saved on every ordinary file).
  const bool dense = static_cast<int64_t>(st.st_blocks) * 512 >= st.st_size;
  int64_t pos = Offset;
  while (pos < limit) {
    off_t data = dense ? -1 : ::lseek(fd_, static_cast<off_t>(pos), SEEK_DATA);
    if (!dense && data < 0 && errno == ENXIO) break;  // a hole up to the end
    off_t hole = data < 0 ? -1 : ::lseek(fd_, data, SEEK_HOLE);
    if (data < 0 || hole < 0) {
      data = static_cast<off_t>(pos);  // holes not reported: all of it is data
      hole = static_cast<off_t>(limit);
    }
    if (data >= limit) break;
    const int64_t end = std::min<int64_t>(hole, limit);
    const int64_t got = ReadFully(fd_, Buffer + (data - Offset), static_cast<size_t>(end - data), data);
    if (got < 0) return -1;
    if (got > 0) Extents.push_back({data - Offset, got});
    if (got < end - data) return data - Offset + got;  // the file was cut short meanwhile
    pos = end;
  }
  if (limit <= Offset) {
    // At or past the end as fstat saw it: one more read tells whether the
    // file has grown since.
    const int64_t got = ReadFully(fd_, Buffer, Count, Offset);
    if (got > 0) Extents.push_back({0, got});
    return got;
  }
  return limit - Offset;
}

bool IsFileAt(int DirFd, const std::string& Name, bool FollowLink, uint64_t Device,
              uint64_t Inode) {
  struct stat st;
  return ::fstatat(DirFd, Name.c_str(), &st, FollowLink ? 0 : AT_SYMLINK_NOFOLLOW) == 0 &&
         st.st_dev == Device && st.st_ino == Inode;
}

}  // namespace zel::detail
