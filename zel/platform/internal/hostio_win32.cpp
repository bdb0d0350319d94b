// The Windows side of zel/platform/internal/hostio.h: the C runtime's
// descriptors over _wopen, in binary mode and not inherited.
#include "zel/platform/internal/hostio.h"

#include <errno.h>
#include <io.h>
#include <sys/stat.h>

#include "zel/platform/internal/wide_win32.h"

namespace zel::detail {

int OpenFileFd(StringView name, int flags, uint32_t mode) {
  const std::wstring path = HostPathW(name);
  const int pmode = (mode & 0222) != 0 ? (_S_IREAD | _S_IWRITE) : _S_IREAD;
  const int fd = _wopen(path.c_str(), flags | _O_BINARY | _O_NOINHERIT, pmode);
  if (fd >= 0) return fd;
  // Windows refuses a directory with EACCES; say what it is.
  const int err = errno;
  const DWORD attr = GetFileAttributesW(path.c_str());
  errno = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) ? EISDIR : err;
  return -1;
}

void CloseFd(int fd) noexcept { _close(fd); }

int64_t ReadFdAt(int fd, void* buffer, size_t count, int64_t offset) {
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (h == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return -1;
  }
  // A positioned read on a synchronous handle moves the file position;
  // it is put back, as pread leaves it.
  const int64_t position = _lseeki64(fd, 0, SEEK_CUR);
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFF);
  at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  const DWORD want = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
  DWORD got = 0;
  const bool ok = ReadFile(h, buffer, want, &got, &at) != 0;
  const DWORD err = GetLastError();
  if (position >= 0) _lseeki64(fd, position, SEEK_SET);
  if (ok) return got;
  if (err == ERROR_HANDLE_EOF) return 0;
  errno = ErrnoOfWindowsError(err);
  return -1;
}

bool IdentifyFd(int fd, FdFileId& id) {
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  BY_HANDLE_FILE_INFORMATION fi;
  if (h == INVALID_HANDLE_VALUE || GetFileType(h) != FILE_TYPE_DISK ||
      !GetFileInformationByHandle(h, &fi)) {
    errno = EBADF;
    return false;
  }
  id.device = fi.dwVolumeSerialNumber;
  id.inode = static_cast<uint64_t>(fi.nFileIndexHigh) << 32 | fi.nFileIndexLow;
  id.regular = (fi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  return true;
}

void SetBinaryMode(int fd) { _setmode(fd, _O_BINARY); }

}  // namespace zel::detail
