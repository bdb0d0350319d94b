// The Windows side of zel/platform/filereplace.h.
//
// The new content goes to a temporary file created (CREATE_NEW) in the
// target's directory and written only through the handle it was created
// with.  `Commit` flushes it (FlushFileBuffers) and puts it in place:
// ReplaceFileW over an existing file, which keeps that file's attributes,
// security and creation time, falling back to
// MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) where the
// file system cannot replace; MoveFileExW(MOVEFILE_WRITE_THROUGH) without
// replacing for a new file, so a file created meanwhile under the name is
// never overwritten (EEXIST).  A link is written through: the file it
// leads to is replaced.  A device (GetFileType other than a disk file:
// NUL, CON, a pipe) is written directly.  A read-only file (the attribute)
// is not replaced (EACCES).  Modes map onto the read-only attribute: no
// write bit at all makes the saved file read-only.
//
// On a directory handle (`DirFd`, a C runtime descriptor over it) every
// step is taken relative to that handle (zel/platform/internal/
// treewalk_win32.h): the target is looked at without following a link (a
// link there is refused, ELOOP), the temporary file is created beside it,
// and `Commit` renames the temporary file's own handle onto the name
// (NtSetInformationFile with RootDirectory), so no path is resolved again.
#include "zel/platform/filereplace.h"

#include <io.h>
#include <fcntl.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/filename.h"
#include "zel/platform/internal/hostinfo.h"
#include "zel/platform/internal/treewalk_win32.h"
#include "zel/platform/internal/wide_win32.h"
#include "zel/platform/syserror.h"

namespace ZEL_EXPORT zel {
namespace {

// The class keeps paths in its byte strings: UTF-16 units stored as they
// are, so a name travels unchanged.
std::string Pack(const std::wstring& w) {
  return std::string(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
}

std::wstring Unpack(const std::string& s) {
  return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size() / sizeof(wchar_t));
}

HANDLE HandleOf(int fd) noexcept { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

int LastErrno() noexcept { return detail::ErrnoOfWindowsError(GetLastError()); }

// The absolute path of `path`, through the final link when there is one.
// False with errno set when `path` exists but cannot be resolved.
bool Resolve(const std::wstring& path, std::wstring& out, bool& exists) {
  const HANDLE h = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_NOT_FOUND) {
      errno = detail::ErrnoOfWindowsError(err);
      return false;
    }
    // No file (or a dangling link, which is refused: where it leads cannot
    // be told without reading the link).
    const DWORD attr = GetFileAttributesW(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES) {
      errno = ENOENT;
      return false;
    }
    exists = false;
    const DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(need, L'\0');
    const DWORD n = need == 0 ? 0 : GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
    if (n == 0 || n >= need) {
      errno = LastErrno();
      return false;
    }
    full.resize(n);
    out = full;
    return true;
  }
  exists = true;
  const DWORD need = GetFinalPathNameByHandleW(h, nullptr, 0, FILE_NAME_NORMALIZED);
  std::wstring final_path(need, L'\0');
  const DWORD n = need == 0 ? 0 : GetFinalPathNameByHandleW(h, final_path.data(), need, FILE_NAME_NORMALIZED);
  CloseHandle(h);
  if (n == 0 || n >= need) {
    // A device has no final path: it is written by the name given.
    out = path;
    return true;
  }
  final_path.resize(n);
  out = final_path;
  return true;
}

}  // namespace

void FileReplacement::Throw(const char* what, int err) {
  throw EInOutError(FromUtf8(what) + u" \"" + target_name_ + u"\". " + SysErrorMessage(err), err);
}

void FileReplacement::FailWith(int err, const char* what) {
  Abandon();
  Throw(what, err);
}

FileReplacement::FileReplacement(const String& Target, uint32_t NewFileMode) : target_name_(Target) {
  if (Target.empty()) Throw("Cannot create file", ENOENT);
  std::wstring target;
  bool exists = false;
  if (!Resolve(detail::HostPathW(Target), target, exists)) Throw("Cannot create file", errno);
  base_ = Pack(target);
  const std::wstring open_path = detail::HostPathW(detail::FromWide(target));
  if (exists) {
    const HANDLE h = CreateFileW(open_path.c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const DWORD attr = GetFileAttributesW(open_path.c_str());
      Throw("Cannot create file", attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)
                                      ? EISDIR
                                      : LastErrno());
    }
    if (GetFileType(h) != FILE_TYPE_DISK) {
      // A device or pipe: written in place.
      fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
      if (fd_ < 0) {
        CloseHandle(h);
        Throw("Cannot create file", EMFILE);
      }
      direct_ = true;
      return;
    }
    BY_HANDLE_FILE_INFORMATION fi;
    const bool ok = GetFileInformationByHandle(h, &fi) != 0;
    CloseHandle(h);
    if (!ok) Throw("Cannot create file", LastErrno());
    if (fi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Throw("Cannot create file", EISDIR);
    // Read-only whoever asks (an administrator's handle may write it).
    if (fi.dwFileAttributes & FILE_ATTRIBUTE_READONLY) Throw("Cannot create file", EACCES);
    exists_ = true;
    mode_ = (fi.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    device_ = fi.dwVolumeSerialNumber;
    inode_ = static_cast<uint64_t>(fi.nFileIndexHigh) << 32 | fi.nFileIndexLow;
  } else {
    mode_ = NewFileMode & 07777;
  }
  CreateTemp(mode_);
}

FileReplacement::FileReplacement(int DirFd, std::string_view Name, uint32_t NewFileMode)
    : FileReplacement(DirFd, FileNameFromBytes(Name), NewFileMode) {}

FileReplacement::FileReplacement(int DirFd, const String& Name, uint32_t NewFileMode)
    : target_name_(Name) {
  const HANDLE dir = HandleOf(DirFd);
  if (dir == INVALID_HANDLE_VALUE) Throw("Cannot create file", EBADF);
  if (Name.empty() || Name == u"." || Name == u".." || Name.find_first_of(u"\\/") != String::npos) {
    Throw("Cannot create file", EINVAL);
  }
  dir_fd_ = DirFd;
  base_ = Pack(detail::Wide(Name));
  detail::EntryInfo info;
  const int err = detail::StatAt(dir, Name, info);
  if (err == 0) {
    if (info.kind == detail::dkLink) Throw("Cannot create file", ELOOP);
    if (info.kind == detail::dkDir) Throw("Cannot create file", EISDIR);
    if (info.attr & FILE_ATTRIBUTE_READONLY) Throw("Cannot create file", EACCES);
    exists_ = true;
    mode_ = 0666;
    device_ = info.id.volume;
    inode_ = info.id.index;
  } else if (err == ENOENT) {
    mode_ = NewFileMode & 07777;
  } else {
    Throw("Cannot create file", err);
  }
  CreateTempAt(dir);
}

// The temporary file beside the target, created relative to the directory
// handle (CREATE_NEW semantics).
void FileReplacement::CreateTempAt(void* dir) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    uint32_t bits = 0;
    detail::HostRandomBytes(&bits, sizeof bits);
    const std::wstring name = L".~zel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter.fetch_add(1)) + L"-" + std::to_wstring(bits) + L".tmp";
    const HANDLE h = detail::CreateFileAt(static_cast<HANDLE>(dir), detail::FromWide(name),
                                          GENERIC_WRITE | DELETE | FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES,
                                          FILE_ATTRIBUTE_NORMAL);
    if (h == nullptr) {
      if (errno == EEXIST) continue;
      Throw("Cannot create file", errno);
    }
    fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd_ < 0) {
      detail::DeleteOnClose(h);
      CloseHandle(h);
      Throw("Cannot create file", EMFILE);
    }
    temp_ = Pack(name);
    return;
  }
  Throw("Cannot create file", EEXIST);
}

// Commit on a directory handle: the temporary file's handle is renamed onto
// the name, then given its attributes and closed.
void FileReplacement::CommitAt() {
  const HANDLE h = HandleOf(fd_);
  const HANDLE dir = HandleOf(dir_fd_);
  const std::wstring name = Unpack(base_);
  int err = detail::RenameHandleAt(h, dir, detail::FromWide(name), exists_);
  if (err != 0) FailWith(err, exists_ ? "Cannot replace file" : "Cannot create file");
  temp_.clear();
  FILE_BASIC_INFO basic{};
  if (GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic)) {
    DWORD attr = basic.FileAttributes;
    attr = (mode_ & 0222) == 0 ? (attr | FILE_ATTRIBUTE_READONLY) : (attr & ~FILE_ATTRIBUTE_READONLY);
    basic.FileAttributes = attr == 0 ? FILE_ATTRIBUTE_NORMAL : attr;
    SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic);
  }
  const int fd = fd_;
  fd_ = -1;
  if (_close(fd) != 0) Throw("Cannot write file", errno);
}

void FileReplacement::CreateTemp(uint32_t) {
  // A fresh name beside the target: the process, a counter and random bits.
  static std::atomic<unsigned> counter{0};
  const std::wstring target = Unpack(base_);
  const size_t cut = target.find_last_of(L"\\/");
  const std::wstring dir = cut == std::wstring::npos ? std::wstring() : target.substr(0, cut + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    uint32_t bits = 0;
    detail::HostRandomBytes(&bits, sizeof bits);
    const std::wstring name = dir + L".~zel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter.fetch_add(1)) + L"-" + std::to_wstring(bits) +
                              L".tmp";
    const HANDLE h = CreateFileW(detail::HostPathW(detail::FromWide(name)).c_str(),
                                 GENERIC_WRITE | DELETE | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                 CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const DWORD err = GetLastError();
      if (err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS) continue;
      Throw("Cannot create file", detail::ErrnoOfWindowsError(err));
    }
    fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_WRONLY | _O_BINARY);
    if (fd_ < 0) {
      CloseHandle(h);
      DeleteFileW(name.c_str());
      Throw("Cannot create file", EMFILE);
    }
    temp_ = Pack(name);
    return;
  }
  Throw("Cannot create file", EEXIST);
}

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::TargetIs(uint64_t Device, uint64_t Inode) const noexcept {
  return exists_ && device_ == Device && inode_ == Inode;
}

void FileReplacement::SetMode(uint32_t Mode) noexcept {
  if (direct_) return;
  mode_ = Mode & 07777;
  exact_mode_ = true;
}

void FileReplacement::SetModifyTime(const timespec& Modify) noexcept {
  if (direct_) return;
  modify_ = Modify;
  has_modify_ = true;
}

void FileReplacement::Write(const void* data, size_t size) {
  if (fd_ < 0) Throw("Cannot write file", EBADF);
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD want = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD put = 0;
    if (!WriteFile(HandleOf(fd_), p, want, &put, nullptr)) FailWith(LastErrno(), "Cannot write file");
    p += put;
    size -= put;
  }
  skipped_ = false;
}

void FileReplacement::Skip(int64_t size) {
  if (size <= 0) return;
  if (direct_) {
    static const char zeros[4096] = {};
    while (size > 0) {
      const size_t n = size > 4096 ? 4096 : static_cast<size_t>(size);
      Write(zeros, n);
      size -= static_cast<int64_t>(n);
    }
    return;
  }
  LARGE_INTEGER move;
  move.QuadPart = size;
  if (!SetFilePointerEx(HandleOf(fd_), move, nullptr, FILE_CURRENT)) {
    FailWith(LastErrno(), "Cannot write file");
  }
  skipped_ = true;
}

void FileReplacement::Commit() {
  if (fd_ < 0) Throw("Cannot write file", EBADF);
  const HANDLE h = HandleOf(fd_);
  if (direct_) {
    const int fd = fd_;
    fd_ = -1;
    if (_close(fd) != 0) Throw("Cannot write file", errno);
    return;
  }
  // A skip at the end leaves the file that long.
  if (skipped_ && !SetEndOfFile(h)) FailWith(LastErrno(), "Cannot write file");
  if ((exists_ || flush_new_) && !FlushFileBuffers(h)) FailWith(LastErrno(), "Cannot write file");
  if (has_modify_) {
    constexpr int64_t kEpochOffset = 116444736000000000LL;
    const int64_t t = static_cast<int64_t>(modify_.tv_sec) * 10000000 + modify_.tv_nsec / 100 + kEpochOffset;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFF);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(t) >> 32);
    if (!SetFileTime(h, nullptr, nullptr, &ft)) FailWith(LastErrno(), "Cannot write file");
  }
  if (dir_fd_ >= 0) {
    CommitAt();
    return;
  }
  const int fd = fd_;
  fd_ = -1;
  if (_close(fd) != 0) {
    const int err = errno;
    DeleteFileW(Unpack(temp_).c_str());
    temp_.clear();
    Throw("Cannot write file", err);
  }
  const std::wstring temp = detail::HostPathW(detail::FromWide(Unpack(temp_)));
  const std::wstring target = detail::HostPathW(detail::FromWide(Unpack(base_)));
  bool placed;
  if (exists_) {
    placed = ReplaceFileW(target.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                          nullptr, nullptr) ||
             MoveFileExW(temp.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  } else {
    placed = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
  }
  if (!placed) {
    const int err = LastErrno();
    DeleteFileW(temp.c_str());
    temp_.clear();
    Throw(exists_ ? "Cannot replace file" : "Cannot create file", err);
  }
  temp_.clear();
  // The mode: no write bit at all makes the file read-only.
  const DWORD attr = GetFileAttributesW(target.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES) {
    DWORD want = (mode_ & 0222) == 0 ? (attr | FILE_ATTRIBUTE_READONLY) : (attr & ~FILE_ATTRIBUTE_READONLY);
    if (want == 0) want = FILE_ATTRIBUTE_NORMAL;
    if (want != attr) SetFileAttributesW(target.c_str(), want);
  }
}

void FileReplacement::Abandon() noexcept {
  if (dir_fd_ >= 0) {
    // The temporary file goes through its own handle, never by name.
    if (fd_ >= 0) {
      if (!temp_.empty()) detail::DeleteOnClose(HandleOf(fd_));
      _close(fd_);
      fd_ = -1;
    }
    temp_.clear();
    return;
  }
  if (fd_ >= 0) {
    _close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    DeleteFileW(detail::HostPathW(detail::FromWide(Unpack(temp_))).c_str());
    temp_.clear();
  }
}

}  // namespace zel
