// The Windows side of zel/platform/hostfs.h: the wide-character file calls,
// names passed as UTF-16 unchanged, long paths through the "\\?\" prefix.
//
// Attributes are the host's own bits (they are the classic ones:
// faReadOnly = FILE_ATTRIBUTE_READONLY, ..., faSymLink =
// FILE_ATTRIBUTE_REPARSE_POINT).  Modes are made from them: 0444 for a
// read-only file, 0666 otherwise, with 0111 added for a directory.  Files
// are identified by volume serial number (`Device`) and file index
// (`Inode`).  `CurrentUserId` is 0: Windows names users by SID.
#include "zel/platform/hostfs.h"

#include <windows.h>
#include <winioctl.h>
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <vector>

#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/internal/filemask.h"
#include "zel/platform/internal/pathmodel.h"
#include "zel/platform/internal/treewalk_win32.h"
#include "zel/platform/internal/wide_win32.h"

namespace ZEL_EXPORT zel {

namespace ZEL_HIDDEN detail {

int ErrnoOfWindowsError(DWORD code) noexcept {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_PRIVILEGE_NOT_HELD:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DIR_NOT_EMPTY:
      return ENOTEMPTY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return ENOMEM;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    case ERROR_NOT_SUPPORTED:
    case ERROR_CALL_NOT_IMPLEMENTED:
      return ENOSYS;
    case ERROR_INVALID_HANDLE:
      return EBADF;
    default:
      return EIO;
  }
}

[[noreturn]] void NotOnThisHost(const char* what) {
  throw Exception(FromUtf8(what) + u" is not available on this host (Windows) yet");
}

std::wstring HostPathW(StringView path) {
  std::wstring p = Wide(path);
  if (p.size() < MAX_PATH - 12 || p.rfind(L"\\\\?\\", 0) == 0) return p;
  // A long path: made absolute (the prefix turns off the system's own
  // parsing, "." and ".." included) and prefixed.
  const DWORD need = GetFullPathNameW(p.c_str(), 0, nullptr, nullptr);
  if (need == 0) return p;
  std::wstring full(need, L'\0');
  const DWORD n = GetFullPathNameW(p.c_str(), need, full.data(), nullptr);
  if (n == 0 || n >= need) return p;
  full.resize(n);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

bool CurrentDirectory(String& Out) {
  const DWORD need = GetCurrentDirectoryW(0, nullptr);
  if (need == 0) return false;
  std::wstring buf(need, L'\0');
  const DWORD n = GetCurrentDirectoryW(need, buf.data());
  if (n == 0 || n >= need) return false;
  buf.resize(n);
  Out = FromWide(buf);
  return true;
}

}  // namespace detail

namespace {

bool Failed(DWORD code = GetLastError()) noexcept {
  detail::SetLastOSError(detail::ErrnoOfWindowsError(code));
  return false;
}

// 100-nanosecond intervals since 1601-01-01 and the Unix epoch's offset.
constexpr int64_t kEpochOffset = 116444736000000000LL;

timespec FromFileTime(const FILETIME& ft) noexcept {
  const int64_t t = (static_cast<int64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) - kEpochOffset;
  int64_t secs = t / 10000000;
  int64_t rest = t % 10000000;
  if (rest < 0) {
    rest += 10000000;
    --secs;
  }
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(secs);
  ts.tv_nsec = static_cast<long>(rest * 100);
  return ts;
}

FILETIME ToFileTime(const timespec& ts) noexcept {
  const int64_t t = static_cast<int64_t>(ts.tv_sec) * 10000000 + ts.tv_nsec / 100 + kEpochOffset;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(t & 0xFFFFFFFF);
  ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(t) >> 32);
  return ft;
}

uint32_t AttrOf(DWORD a) noexcept { return a & (faAnyFile | faSymLink); }

uint32_t ModeOf(DWORD a) noexcept {
  uint32_t mode = (a & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  if (a & FILE_ATTRIBUTE_DIRECTORY) mode |= 0111;
  return mode;
}

int64_t SizeOf(DWORD high, DWORD low) noexcept {
  return static_cast<int64_t>(static_cast<uint64_t>(high) << 32 | low);
}

// A handle for asking about or stamping a file or directory; the final
// link is followed or not.
HANDLE OpenForInfo(StringView path, DWORD access, bool follow) {
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
  if (!follow) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  return CreateFileW(detail::HostPathW(path).c_str(), access,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     flags, nullptr);
}

void FillInfo(const BY_HANDLE_FILE_INFORMATION& fi, TFileInfo& Info) noexcept {
  Info = TFileInfo{};
  Info.Attr = AttrOf(fi.dwFileAttributes);
  Info.Mode = ModeOf(fi.dwFileAttributes);
  Info.Size = (fi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                  ? 0
                  : SizeOf(fi.nFileSizeHigh, fi.nFileSizeLow);
  Info.Access = FromFileTime(fi.ftLastAccessTime);
  Info.Modify = FromFileTime(fi.ftLastWriteTime);
  Info.HasBirth = true;
  Info.Birth = FromFileTime(fi.ftCreationTime);
  Info.Device = fi.dwVolumeSerialNumber;
  Info.Inode = static_cast<uint64_t>(fi.nFileIndexHigh) << 32 | fi.nFileIndexLow;
}

bool InfoOfHandle(HANDLE h, TFileInfo& Info) {
  BY_HANDLE_FILE_INFORMATION fi;
  if (!GetFileInformationByHandle(h, &fi)) return false;
  FillInfo(fi, Info);
  return true;
}

HANDLE HandleOf(int fd) noexcept { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

}  // namespace

bool GetFileInfo(StringView Path, TFileInfo& Info, bool FollowLink) {
  HANDLE h = OpenForInfo(Path, FILE_READ_ATTRIBUTES, false);
  if (h == INVALID_HANDLE_VALUE) return Failed();
  TFileInfo own;
  const bool ok = InfoOfHandle(h, own);
  const DWORD err = GetLastError();
  CloseHandle(h);
  if (!ok) return Failed(err);
  const bool is_link = (own.Attr & faSymLink) != 0;
  Info = own;
  if (is_link && FollowLink) {
    h = OpenForInfo(Path, FILE_READ_ATTRIBUTES, true);
    if (h != INVALID_HANDLE_VALUE) {
      TFileInfo target;
      if (InfoOfHandle(h, target)) Info = target;
      CloseHandle(h);
    }
  }
  if (is_link) Info.Attr |= faSymLink;
  return true;
}

// --- directory search -----------------------------------------------------

namespace {

struct FindState {
  HANDLE handle = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data{};
  bool pending = true;  // `data` holds an entry not yet returned
};

}  // namespace

TDirSearch::TDirSearch(StringView Dir, StringView Mask, bool Details, bool AllDirs)
    : details_(Details), all_dirs_(AllDirs), mask_(Mask) {
  String pattern(Dir);
  if (!pattern.empty() && !detail::IsPathSep(pattern.back(), detail::kHostPath) &&
      pattern.back() != u':') {
    pattern += u'\\';
  }
  pattern += u'*';
  auto* state = new FindState;
  // The system's own mask matching knows short names and other quirks, so
  // every entry is listed and matched here by the library's rules.
  state->handle = FindFirstFileExW(detail::HostPathW(pattern).c_str(), FindExInfoBasic, &state->data,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (state->handle == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    delete state;
    error_ = detail::ErrnoOfWindowsError(err);
    detail::SetLastOSError(error_);
    return;
  }
  dir_ = state;
  match_all_ = Mask == u"*" || Mask == u"*.*";
  mask_is_ascii_ = false;
}

TDirSearch::~TDirSearch() {
  if (dir_ != nullptr) {
    auto* state = static_cast<FindState*>(dir_);
    FindClose(state->handle);
    delete state;
  }
}

bool TDirSearch::Next(TSearchRec& Rec) {
  if (dir_ == nullptr) return false;
  auto* state = static_cast<FindState*>(dir_);
  for (;;) {
    if (!state->pending) {
      if (!FindNextFileW(state->handle, &state->data)) {
        const DWORD err = GetLastError();
        if (err != ERROR_NO_MORE_FILES) {
          error_ = detail::ErrnoOfWindowsError(err);
          detail::SetLastOSError(error_);
        }
        return false;
      }
    }
    state->pending = false;
    const WIN32_FIND_DATAW& d = state->data;
    const std::wstring_view name(d.cFileName);
    if (name == L"." || name == L"..") continue;
    const String name16 = detail::FromWide(name);
    const bool is_dir = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool matched = match_all_ || MatchesFileMask(name16, mask_);
    if (!matched && !(all_dirs_ && is_dir)) continue;
    Rec.Name = name16;
    // Without details, the read-only bit is left out as on other hosts.
    Rec.Attr = AttrOf(d.dwFileAttributes) & (details_ ? ~0u : ~faReadOnly);
    Rec.Mode = details_ ? ModeOf(d.dwFileAttributes) : 0;
    Rec.Size = details_ && !is_dir ? SizeOf(d.nFileSizeHigh, d.nFileSizeLow) : 0;
    Rec.Modify = details_ ? FromFileTime(d.ftLastWriteTime) : timespec{};
    return true;
  }
}

// --- directories and files ------------------------------------------------

bool CreateDir(StringView Path, uint32_t Mode) {
  if (!CreateDirectoryW(detail::HostPathW(Path).c_str(), nullptr)) return Failed();
  if ((Mode & 0222) == 0) SetFileAttributesW(detail::HostPathW(Path).c_str(), FILE_ATTRIBUTE_READONLY);
  return true;
}

// Each missing level from the top down; a level that exists must be a
// directory (or a link to one), else ENOTDIR.
bool ForceDirectories(StringView Path) {
  if (Path.empty()) return Failed(ERROR_PATH_NOT_FOUND);
  size_t start = detail::DrivePrefixLength(Path, detail::kHostPath);
  while (start < Path.size() && detail::IsPathSep(Path[start], detail::kHostPath)) ++start;
  for (size_t i = start; i <= Path.size(); ++i) {
    if (i != Path.size() && !detail::IsPathSep(Path[i], detail::kHostPath)) continue;
    const String level(Path.substr(0, i));
    if (i == start || (i > 0 && detail::IsPathSep(Path[i - 1], detail::kHostPath))) continue;
    const std::wstring w = detail::HostPathW(level);
    if (CreateDirectoryW(w.c_str(), nullptr)) continue;
    const DWORD err = GetLastError();
    if (err != ERROR_ALREADY_EXISTS) return Failed(err);
    const DWORD attr = GetFileAttributesW(w.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
      detail::SetLastOSError(ENOTDIR);
      return false;
    }
  }
  return true;
}

bool RemoveDir(StringView Path) {
  return RemoveDirectoryW(detail::HostPathW(Path).c_str()) || Failed();
}

bool DeleteFile(StringView Path) {
  const std::wstring w = detail::HostPathW(Path);
  const DWORD attr = GetFileAttributesW(w.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
    // A link to a directory is removed as a directory entry; a directory
    // itself never.
    if (!(attr & FILE_ATTRIBUTE_REPARSE_POINT)) return Failed(ERROR_ACCESS_DENIED);
    return RemoveDirectoryW(w.c_str()) || Failed();
  }
  return DeleteFileW(w.c_str()) || Failed();
}

bool RenameFile(StringView From, StringView To) {
  return MoveFileExW(detail::HostPathW(From).c_str(), detail::HostPathW(To).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
         Failed();
}

bool RenameNoReplace(StringView From, StringView To) {
  return MoveFileExW(detail::HostPathW(From).c_str(), detail::HostPathW(To).c_str(),
                     MOVEFILE_WRITE_THROUGH) ||
         Failed();
}

bool CreateSymLink(StringView Target, StringView LinkPath) {
  // A link to a directory is made as one: relative targets are read from
  // the link's directory.
  String resolved(Target);
  if (detail::DrivePrefixLength(Target, detail::kHostPath) == 0 &&
      (Target.empty() || !detail::IsPathSep(Target[0], detail::kHostPath))) {
    resolved = HostJoin(HostDirPart(LinkPath), Target);
  }
  const DWORD attr = GetFileAttributesW(detail::HostPathW(resolved).c_str());
  DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
    flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
  }
  return CreateSymbolicLinkW(detail::HostPathW(LinkPath).c_str(), detail::Wide(Target).c_str(), flags) ||
         Failed();
}

// The link's own reparse data (FSCTL_GET_REPARSE_POINT): a symbolic
// link's target as it was written, a junction's target directory.
bool ReadSymLink(StringView Path, String& Target) {
  const HANDLE h = OpenForInfo(Path, FILE_READ_ATTRIBUTES | FILE_READ_EA, false);
  if (h == INVALID_HANDLE_VALUE) return Failed();
  String target;
  const int err = detail::ReadLinkOfHandle(h, target);
  CloseHandle(h);
  if (err != 0) {
    detail::SetLastOSError(err);
    return false;
  }
  Target = target;
  return true;
}

bool SetFileTimes(StringView Path, const timespec* Access, const timespec* Modify) {
  const HANDLE h = OpenForInfo(Path, FILE_WRITE_ATTRIBUTES, true);
  if (h == INVALID_HANDLE_VALUE) return Failed();
  FILETIME a{}, m{};
  if (Access != nullptr) a = ToFileTime(*Access);
  if (Modify != nullptr) m = ToFileTime(*Modify);
  const bool ok = SetFileTime(h, nullptr, Access != nullptr ? &a : nullptr,
                              Modify != nullptr ? &m : nullptr) != 0;
  const DWORD err = GetLastError();
  CloseHandle(h);
  return ok || Failed(err);
}

bool SetFileMode(StringView Path, uint32_t Mode) {
  const std::wstring w = detail::HostPathW(Path);
  const DWORD attr = GetFileAttributesW(w.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) return Failed();
  DWORD want = (Mode & 0222) == 0 ? (attr | FILE_ATTRIBUTE_READONLY) : (attr & ~FILE_ATTRIBUTE_READONLY);
  if (want == 0) want = FILE_ATTRIBUTE_NORMAL;
  return want == attr || SetFileAttributesW(w.c_str(), want) || Failed();
}

bool CanCreateFileIn(StringView Dir) {
  static std::atomic<unsigned> counter{0};
  const String dir = Dir.empty() ? String(u".") : String(Dir);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const String probe = HostJoin(dir, u".zel-probe-" + FromUtf8(std::to_string(GetCurrentProcessId())) +
                                           u"-" + FromUtf8(std::to_string(counter.fetch_add(1))));
    const HANDLE h = CreateFileW(detail::HostPathW(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      CloseHandle(h);
      return true;
    }
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) return Failed(err);
  }
  return Failed(ERROR_FILE_EXISTS);
}

String ExpandFileName(StringView Path) {
  const std::wstring p = detail::Wide(Path.empty() ? StringView(u".") : Path);
  const DWORD need = GetFullPathNameW(p.c_str(), 0, nullptr, nullptr);
  if (need == 0) return String(Path);
  std::wstring full(need, L'\0');
  const DWORD n = GetFullPathNameW(p.c_str(), need, full.data(), nullptr);
  if (n == 0 || n >= need) return String(Path);
  full.resize(n);
  return detail::FromWide(full);
}

namespace {

// The final path of an open handle without the "\\?\" prefix the system
// puts before it.
String FinalPath(HANDLE h) {
  const DWORD need = GetFinalPathNameByHandleW(h, nullptr, 0, FILE_NAME_NORMALIZED);
  if (need == 0) return String();
  std::wstring buf(need, L'\0');
  const DWORD n = GetFinalPathNameByHandleW(h, buf.data(), need, FILE_NAME_NORMALIZED);
  if (n == 0 || n >= need) return String();
  buf.resize(n);
  if (buf.rfind(L"\\\\?\\UNC\\", 0) == 0) return u"\\\\" + detail::FromWide(buf.substr(8));
  if (buf.rfind(L"\\\\?\\", 0) == 0) return detail::FromWide(buf.substr(4));
  return detail::FromWide(buf);
}

}  // namespace

String RealPath(StringView Path) {
  const HANDLE h = OpenForInfo(Path, FILE_READ_ATTRIBUTES, true);
  if (h == INVALID_HANDLE_VALUE) {
    Failed();
    return String();
  }
  String out = FinalPath(h);
  if (out.empty()) Failed();
  CloseHandle(h);
  return out;
}

String MountPointOf(StringView Dir) {
  const String real = RealPath(Dir);
  if (real.empty()) return real;
  std::wstring volume(MAX_PATH + 1, L'\0');
  if (!GetVolumePathNameW(detail::HostPathW(real).c_str(), volume.data(),
                          static_cast<DWORD>(volume.size()))) {
    Failed();
    return String();
  }
  volume.resize(wcsnlen(volume.c_str(), volume.size()));
  return detail::FromWide(volume);
}

String GetEnvVar(StringView Name) {
  const std::wstring name = detail::Wide(Name);
  const DWORD need = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (need == 0) return String();
  std::wstring value(need, L'\0');
  const DWORD n = GetEnvironmentVariableW(name.c_str(), value.data(), need);
  if (n >= need) return String();
  value.resize(n);
  return detail::FromWide(value);
}

uint32_t CurrentUserId() noexcept { return 0; }

// --- THostFile -------------------------------------------------------------
// The descriptor is the C runtime's, over the Windows handle
// (_open_osfhandle), so the class keeps one shape on every host (its
// lifetime is in hostfs.cpp).

namespace {

bool AdoptHandle(HANDLE h, int flags, int& fd) {
  fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flags);
  if (fd < 0) {
    CloseHandle(h);
    detail::SetLastOSError(EMFILE);
    return false;
  }
  return true;
}

}  // namespace

bool THostFile::OpenRead(StringView Path, TFileInfo* Info) {
  Close();
  const HANDLE h = CreateFileW(detail::HostPathW(Path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN,
                               nullptr);
  if (h == INVALID_HANDLE_VALUE) return Failed();
  TFileInfo info;
  int err = 0;
  if (GetFileType(h) != FILE_TYPE_DISK || !InfoOfHandle(h, info)) {
    err = EINVAL;
  } else if (info.Attr & faDirectory) {
    err = EISDIR;
  }
  if (err != 0) {
    CloseHandle(h);
    detail::SetLastOSError(err);
    return false;
  }
  if (Info != nullptr) *Info = info;
  return AdoptHandle(h, _O_RDONLY | _O_BINARY, fd_);
}

bool THostFile::CreateNew(StringView Path, uint32_t Mode) {
  Close();
  const DWORD attr = (Mode & 0222) == 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
  const HANDLE h = CreateFileW(detail::HostPathW(Path).c_str(), GENERIC_WRITE | FILE_WRITE_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW, attr, nullptr);
  if (h == INVALID_HANDLE_VALUE) return Failed();
  return AdoptHandle(h, _O_WRONLY | _O_BINARY, fd_);
}

int64_t THostFile::Read(void* Buffer, size_t Count) {
  char* p = static_cast<char*>(Buffer);
  size_t done = 0;
  while (done < Count) {
    const DWORD want = Count - done > 0x40000000 ? 0x40000000 : static_cast<DWORD>(Count - done);
    DWORD got = 0;
    if (!ReadFile(HandleOf(fd_), p + done, want, &got, nullptr)) {
      Failed();
      return -1;
    }
    if (got == 0) break;
    done += got;
  }
  return static_cast<int64_t>(done);
}

bool THostFile::Write(const void* Buffer, size_t Count, size_t* Written) {
  const char* p = static_cast<const char*>(Buffer);
  size_t done = 0;
  bool ok = true;
  while (done < Count) {
    const DWORD want = Count - done > 0x40000000 ? 0x40000000 : static_cast<DWORD>(Count - done);
    DWORD put = 0;
    if (!WriteFile(HandleOf(fd_), p + done, want, &put, nullptr)) {
      ok = Failed();
      break;
    }
    done += put;
  }
  if (Written != nullptr) *Written = done;
  return ok;
}

bool THostFile::SetMode(uint32_t Mode) {
  FILE_BASIC_INFO basic{};
  const HANDLE h = HandleOf(fd_);
  if (!GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic)) return Failed();
  DWORD attr = basic.FileAttributes;
  attr = (Mode & 0222) == 0 ? (attr | FILE_ATTRIBUTE_READONLY) : (attr & ~FILE_ATTRIBUTE_READONLY);
  basic.FileAttributes = attr == 0 ? FILE_ATTRIBUTE_NORMAL : attr;
  return SetFileInformationByHandle(h, FileBasicInfo, &basic, sizeof basic) || Failed();
}

bool THostFile::SetModifyTime(const timespec& Modify) {
  const FILETIME m = ToFileTime(Modify);
  return SetFileTime(HandleOf(fd_), nullptr, nullptr, &m) || Failed();
}

bool THostFile::Close() {
  if (fd_ < 0) return true;
  const int fd = fd_;
  fd_ = -1;
  if (_close(fd) == 0) return true;
  detail::SetLastOSError(errno);
  return false;
}

}  // namespace zel
