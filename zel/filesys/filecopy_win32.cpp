// The Windows side of the file copy (zel/filesys/internal/copyfile.h): the
// source read through THostFile (CreateFileW), the destination written by
// the safe save (zel/platform/filereplace.h).  Windows keeps no holes for
// a plain copy, so each chunk is one extent of data.  The copy between
// directory handles reads the source through a handle opened relative to
// its directory, the link itself never followed.
#include "zel/filesys/filecopy.h"

#include <io.h>
#include <fcntl.h>

#include <optional>
#include <vector>

#include "zel/filesys/internal/copyfile.h"
#include "zel/filesys/internal/copyfile_win32.h"
#include "zel/filesys/internal/copyloop.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filereplace.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/internal/treewalk_win32.h"
#include "zel/platform/internal/wide_win32.h"

namespace ZEL_EXPORT zel {
namespace {

// The reading side of a copy as zel/filesys/internal/copyloop.h wants it.
class HostFileSource {
 public:
  struct Extent {
    int64_t Offset;
    int64_t Length;
  };

  bool Open(StringView path) {
    if (!file_.OpenRead(path, &info_)) {
      errno = LastOSError();
      return false;
    }
    return true;
  }
  int64_t Size() const noexcept { return info_.Size; }
  uint32_t Mode() const noexcept { return info_.Mode; }
  const timespec& Modify() const noexcept { return info_.Modify; }
  uint64_t Device() const noexcept { return info_.Device; }
  uint64_t Inode() const noexcept { return info_.Inode; }

  int64_t ReadChunk(char* buffer, size_t count, int64_t, std::vector<Extent>& extents) {
    const int64_t n = file_.Read(buffer, count);
    extents.clear();
    if (n < 0) {
      errno = LastOSError();
      return -1;
    }
    if (n > 0) extents.push_back(Extent{0, n});
    return n;
  }

 private:
  THostFile file_;
  TFileInfo info_;
};

// The same over a handle opened relative to its directory.
class HandleSource {
 public:
  using Extent = HostFileSource::Extent;

  ~HandleSource() {
    if (h_ != nullptr) CloseHandle(h_);
  }
  bool Open(HANDLE dir, StringView name) {
    int err = detail::OpenEntryAt(dir, name, GENERIC_READ | FILE_READ_ATTRIBUTES, FILE_SEQUENTIAL_ONLY, h_);
    detail::EntryInfo info;
    if (err == 0) err = detail::StatHandle(h_, info);
    // A link, a directory or a device is no file to copy.
    if (err == 0 && (info.kind != detail::dkFile || GetFileType(h_) != FILE_TYPE_DISK)) err = EINVAL;
    if (err != 0) {
      errno = err;
      return false;
    }
    size_ = info.size;
    mode_ = (info.attr & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    device_ = info.id.volume;
    inode_ = info.id.index;
    constexpr int64_t kEpochOffset = 116444736000000000LL;
    const int64_t t = static_cast<int64_t>(static_cast<uint64_t>(info.modify.dwHighDateTime) << 32 |
                                           info.modify.dwLowDateTime) - kEpochOffset;
    modify_.tv_sec = static_cast<time_t>(t / 10000000);
    modify_.tv_nsec = static_cast<long>(t % 10000000 * 100);
    if (modify_.tv_nsec < 0) {
      modify_.tv_nsec += 1000000000;
      --modify_.tv_sec;
    }
    return true;
  }
  int64_t Size() const noexcept { return size_; }
  uint32_t Mode() const noexcept { return mode_; }
  const timespec& Modify() const noexcept { return modify_; }
  uint64_t Device() const noexcept { return device_; }
  uint64_t Inode() const noexcept { return inode_; }

  int64_t ReadChunk(char* buffer, size_t count, int64_t, std::vector<Extent>& extents) {
    extents.clear();
    size_t done = 0;
    while (done < count) {
      DWORD got = 0;
      const DWORD want = count - done > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count - done);
      if (!ReadFile(h_, buffer + done, want, &got, nullptr)) {
        errno = detail::ErrnoOfWindowsError(GetLastError());
        return -1;
      }
      if (got == 0) break;
      done += got;
    }
    if (done > 0) extents.push_back(Extent{0, static_cast<int64_t>(done)});
    return static_cast<int64_t>(done);
  }

 private:
  HANDLE h_ = nullptr;
  int64_t size_ = 0;
  uint32_t mode_ = 0;
  timespec modify_{};
  uint64_t device_ = 0, inode_ = 0;
};

HANDLE HandleOfFd(int fd) noexcept { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

}  // namespace

namespace ZEL_HIDDEN detail {

int CopyFileByName(StringView Source, StringView Dest, bool CopyAttribs, CopyBlockFeedback FeedBack,
                   void* Context) {
  HostFileSource in;
  if (!in.Open(Source)) return fcSourceError;
  return CopyOpened(
      in, CopyAttribs, FeedBack, Context,
      [&](std::optional<FileReplacement>& out, uint32_t mode) { out.emplace(String(Dest), mode); },
      [&](uint64_t device, uint64_t inode) {
        TFileInfo info;
        return GetFileInfo(Dest, info) && info.Device == device && info.Inode == inode;
      });
}

int CopyFileAtHandles(HANDLE src_dir, StringView src_name, HANDLE dst_dir, StringView dst_name,
                      bool CopyAttribs, CopyBlockFeedback FeedBack, void* Context) {
  HandleSource in;
  if (!in.Open(src_dir, src_name)) return fcSourceError;
  // The replacement works on a C runtime descriptor of the directory: a
  // duplicate of the handle, closed with it.
  HANDLE dup = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), dst_dir, GetCurrentProcess(), &dup, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    errno = ErrnoOfWindowsError(GetLastError());
    return fcCreateError;
  }
  const int dir_fd = _open_osfhandle(reinterpret_cast<intptr_t>(dup), _O_RDONLY);
  if (dir_fd < 0) {
    CloseHandle(dup);
    errno = EMFILE;
    return fcCreateError;
  }
  const String dest(dst_name);
  int status;
  {
    status = CopyOpened(
        in, CopyAttribs, FeedBack, Context,
        [&](std::optional<FileReplacement>& out, uint32_t mode) {
          out.emplace(dir_fd, dest, mode);
          out->SkipFlushOfNewFile();
        },
        [&](uint64_t device, uint64_t inode) {
          EntryInfo info;
          return StatAt(dst_dir, dest, info) == 0 && info.id.volume == device && info.id.index == inode;
        });
  }
  const int err = errno;
  _close(dir_fd);
  errno = err;
  return status;
}

int CopyFileAt(int src_dirfd, const char* src_name, int dst_dirfd, const char* dst_name,
               bool CopyAttribs, CopyBlockFeedback FeedBack, void* Context) {
  return CopyFileAtHandles(HandleOfFd(src_dirfd), FileNameFromBytes(src_name), HandleOfFd(dst_dirfd),
                           FileNameFromBytes(dst_name), CopyAttribs, FeedBack, Context);
}

}  // namespace detail
}  // namespace zel
