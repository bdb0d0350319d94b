// zel/platform/internal/hostio.h — descriptors on files named by `String`,
// for the streams and text files that read and write through plain
// descriptors (read, write, lseek, fstat, close work the same on every
// host; these are the calls that do not).
//
//   int fd = zel::detail::OpenFileFd(u"data.bin", O_RDONLY);
//   if (fd < 0) Fail(errno);
//   int64_t n = zel::detail::ReadFdAt(fd, buf, sizeof buf, 4096);
//
// Each host has its file: hostio_posix.cpp (names as their exact bytes,
// O_CLOEXEC) and hostio_win32.cpp (_wopen on the UTF-16 name, binary mode,
// not inherited).
#ifndef ZEL_PLATFORM_INTERNAL_HOSTIO_H_
#define ZEL_PLATFORM_INTERNAL_HOSTIO_H_

#include <fcntl.h>

#include <cstddef>
#include <cstdint>

#include "zel/platform/string.h"

namespace zel::detail {

// Opens `name` with open(2) flags (O_RDONLY, O_WRONLY, O_RDWR, O_CREAT,
// O_TRUNC, O_APPEND, O_EXCL) and `mode` for a new file.  The descriptor is
// not inherited by programs the process starts, moves bytes unchanged, and
// never makes a terminal the process's controlling one.
// A directory fails with EISDIR.  -1 with errno set on failure.
int OpenFileFd(StringView name, int flags, uint32_t mode = 0666);

// Closes a descriptor this layer opened, ignoring the outcome (for
// destructors and error paths; a close whose failure matters checks it).
void CloseFd(int fd) noexcept;

// Reads up to `count` bytes at `offset` without moving the file position,
// as pread: the bytes read, 0 at the end, -1 with errno set.
int64_t ReadFdAt(int fd, void* buffer, size_t count, int64_t offset);

// What identifies the file open as a descriptor: the device (volume) and
// inode (file index) numbers, and whether it is a regular file.
struct FdFileId {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool regular = false;
};
// False with errno set when the host cannot tell.
bool IdentifyFd(int fd, FdFileId& id);

// Makes a standard descriptor (0, 1, 2) move bytes unchanged: the C
// runtime of Windows would otherwise turn "\n" into CR LF and stop reading
// at ^Z.  Nothing to do on POSIX hosts.
void SetBinaryMode(int fd);

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_HOSTIO_H_
