// zel/platform/internal/copysource_posix.h — the reading side of a file copy: a
// regular file opened without blocking and without leaving a directory
// descriptor's tree, its facts, and where its data lies, so that a copy can
// keep the holes of a sparse file.
//
//   zel::detail::CopySource in;
//   if (!in.Open(dir_fd, "name", /*FollowLink=*/false)) return Fail(errno);
//   std::vector<zel::detail::DataExtent> extents;
//   int64_t n = in.ReadChunk(buf, 1 << 18, 0, extents);  // holes not read
#ifndef ZEL_PLATFORM_INTERNAL_COPYSOURCE_POSIX_H_
#define ZEL_PLATFORM_INTERNAL_COPYSOURCE_POSIX_H_

#include <sys/stat.h>
#include <time.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>


namespace zel::detail {

// Bytes [Offset, Offset + Length) of a chunk that hold data; the rest of the
// chunk is a hole (zeros the file system does not store).
struct DataExtent {
  int64_t Offset;
  int64_t Length;
};

class CopySource {
 public:
  using Extent = DataExtent;

  CopySource() = default;
  ~CopySource();
  CopySource(const CopySource&) = delete;
  CopySource& operator=(const CopySource&) = delete;

  // Opens `Name` (a path relative to `DirFd`, or AT_FDCWD) for reading.
  // Only a regular file opens: a directory fails with EISDIR, a device,
  // FIFO or socket with EINVAL (opening a FIFO never blocks), and without
  // `FollowLink` a link with ELOOP.  False with errno set.
  bool Open(int DirFd, const std::string& Name, bool FollowLink);

  // Facts of the opened file.
  int64_t Size() const noexcept { return size_; }
  uint32_t Mode() const noexcept { return mode_; }  // permission bits, 07777
  const timespec& Modify() const noexcept { return modify_; }
  uint64_t Device() const noexcept { return device_; }
  uint64_t Inode() const noexcept { return inode_; }

  // Reads the chunk of up to `Count` bytes at `Offset` (fewer at the end of
  // the file, 0 past it), reading only where data lies: `Extents` gets the
  // parts of the chunk that hold data, relative to `Offset` and in order;
  // the bytes of `Buffer` between them are left as they were.  A file
  // system that does not report holes gives one extent for the chunk.
  // -1 with errno on a read error.
  int64_t ReadChunk(char* Buffer, size_t Count, int64_t Offset, std::vector<DataExtent>& Extents);

 private:
  int fd_ = -1;
  int64_t size_ = 0;
  uint32_t mode_ = 0;
  timespec modify_{};
  uint64_t device_ = 0;
  uint64_t inode_ = 0;
  struct stat opened_ {};  // the file as Open saw it
  bool fresh_ = false;     // no chunk read yet
};

// True when `Name` relative to `DirFd` is the file `Device`/`Inode`
// (a final link followed only with `FollowLink`).
bool IsFileAt(int DirFd, const std::string& Name, bool FollowLink, uint64_t Device,
                         uint64_t Inode);

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_COPYSOURCE_POSIX_H_
