#include "zel/platform/internal/treewalk_win32.h"

#include <windows.h>
#include <winternl.h>
#include <winioctl.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <utility>

#include "zel/platform/export.h"
#include "zel/platform/internal/treewalk_loop.h"
#include "zel/platform/internal/wide_win32.h"

// Create options and information classes winternl.h leaves out.
#ifndef FILE_OPEN_REPARSE_POINT
#define FILE_OPEN_REPARSE_POINT 0x00200000
#endif
#ifndef FILE_OPEN_FOR_BACKUP_INTENT
#define FILE_OPEN_FOR_BACKUP_INTENT 0x00004000
#endif

extern "C" NTSTATUS NTAPI NtSetInformationFile(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG,
                                               FILE_INFORMATION_CLASS);

namespace ZEL_EXPORT zel {
namespace {

using detail::DirEntryKind;
using detail::dkDir;
using detail::dkFile;
using detail::dkLink;
using detail::EntryInfo;
using detail::ErrnoOfStatus;
using detail::FileIdW;
using detail::SameFileId;
using detail::StatHandle;

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ULONG kFileRenameInformation = 10;
constexpr LONG kStatusObjectNameCollision = static_cast<LONG>(0xC0000035);
constexpr LONG kStatusNotADirectory = static_cast<LONG>(0xC0000103);
constexpr LONG kStatusFileIsADirectory = static_cast<LONG>(0xC00000BA);

// The rename record NtSetInformationFile takes, with room for one name.
struct RenameRecord {
  BOOLEAN ReplaceIfExists;
  HANDLE RootDirectory;
  ULONG FileNameLength;
  WCHAR FileName[MAX_PATH];
};

// The reparse data of a symbolic link or junction (ntifs.h's
// REPARSE_DATA_BUFFER, which user-mode headers leave out).
struct ReparseHead {
  ULONG Tag;
  USHORT DataLength;
  USHORT Reserved;
};
struct LinkReparse {
  USHORT SubstituteNameOffset;
  USHORT SubstituteNameLength;
  USHORT PrintNameOffset;
  USHORT PrintNameLength;
};
constexpr ULONG kSymlinkFlagRelative = 1;

// A single name as a relative NT name may carry it: no separators (which
// would make it a path below the handle), no ":" (which would name a
// stream of another file), not "." or "..", not empty.
bool IsSingleName(StringView name) {
  if (name.empty() || name.size() > MAX_PATH - 1 || name == u"." || name == u"..") return false;
  return name.find_first_of(u"\\/:") == StringView::npos && name.find(u'\0') == StringView::npos;
}

// Opens `name` relative to `dir` (nullptr: `name` is an NT path).
LONG NtOpen(HANDLE dir, StringView name, ACCESS_MASK access, ULONG disposition, ULONG options,
            ULONG attributes, HANDLE& out) {
  UNICODE_STRING us;
  us.Buffer = const_cast<PWSTR>(reinterpret_cast<const wchar_t*>(name.data()));
  us.Length = us.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES oa;
  InitializeObjectAttributes(&oa, &us, OBJ_CASE_INSENSITIVE, dir, nullptr);
  IO_STATUS_BLOCK io{};
  out = nullptr;
  const NTSTATUS st = NtCreateFile(&out, access | SYNCHRONIZE, &oa, &io, nullptr, attributes, kShareAll,
                                   disposition,
                                   options | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT |
                                       FILE_OPEN_FOR_BACKUP_INTENT,
                                   nullptr, 0);
  if (st < 0) out = nullptr;
  return st;
}

DirEntryKind KindOfAttr(DWORD attr) noexcept {
  if (attr & FILE_ATTRIBUTE_REPARSE_POINT) return dkLink;
  return (attr & FILE_ATTRIBUTE_DIRECTORY) ? dkDir : dkFile;
}

HANDLE FailNull(int err) {
  errno = err;
  return nullptr;
}

// Opens `name` in `dir` as a directory to list; the errno value or 0.
int OpenDirChecked(HANDLE dir, StringView name, const FileIdW* expected, HANDLE& out) {
  out = nullptr;
  if (!IsSingleName(name)) return EINVAL;
  HANDLE h;
  const LONG st = NtOpen(dir, name, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_TRAVERSE, FILE_OPEN,
                         FILE_DIRECTORY_FILE, 0, h);
  if (st < 0) return ErrnoOfStatus(st);
  EntryInfo info;
  if (const int err = StatHandle(h, info)) {
    CloseHandle(h);
    return err;
  }
  // A junction or directory link is opened as itself: never listed.
  if (info.kind != dkDir) {
    CloseHandle(h);
    return ELOOP;
  }
  if (expected != nullptr && !SameFileId(info.id, *expected)) {
    CloseHandle(h);
    return ESTALE;
  }
  out = h;
  return 0;
}

}  // namespace

namespace ZEL_HIDDEN detail {

int ErrnoOfStatus(LONG status) noexcept {
  if (status == kStatusObjectNameCollision) return EEXIST;
  if (status == kStatusNotADirectory) return ENOTDIR;
  if (status == kStatusFileIsADirectory) return EISDIR;
  return ErrnoOfWindowsError(RtlNtStatusToDosError(status));
}

int StatHandle(HANDLE h, EntryInfo& info) {
  BY_HANDLE_FILE_INFORMATION fi;
  if (!GetFileInformationByHandle(h, &fi)) return ErrnoOfWindowsError(GetLastError());
  info.id.volume = fi.dwVolumeSerialNumber;
  info.id.index = static_cast<uint64_t>(fi.nFileIndexHigh) << 32 | fi.nFileIndexLow;
  info.attr = fi.dwFileAttributes;
  info.kind = KindOfAttr(fi.dwFileAttributes);
  info.size = info.kind == dkDir ? 0 : static_cast<int64_t>(static_cast<uint64_t>(fi.nFileSizeHigh) << 32 | fi.nFileSizeLow);
  info.modify = fi.ftLastWriteTime;
  return 0;
}

int IdOfHandle(HANDLE h, FileIdW& id) {
  EntryInfo info;
  const int err = StatHandle(h, info);
  if (err == 0) id = info.id;
  return err;
}

int OpenEntryAt(HANDLE dir, StringView name, ACCESS_MASK access, ULONG options, HANDLE& out) {
  out = nullptr;
  if (!IsSingleName(name)) return EINVAL;
  const LONG st = NtOpen(dir, name, access, FILE_OPEN, options, 0, out);
  return st < 0 ? ErrnoOfStatus(st) : 0;
}

int StatAt(HANDLE dir, StringView name, EntryInfo& info) {
  HANDLE h;
  if (const int err = OpenEntryAt(dir, name, FILE_READ_ATTRIBUTES, 0, h)) return err;
  const int err = StatHandle(h, info);
  CloseHandle(h);
  return err;
}

HANDLE CreateFileAt(HANDLE dir, StringView name, ACCESS_MASK access, uint32_t attributes) {
  if (!IsSingleName(name)) return FailNull(EINVAL);
  HANDLE h;
  const LONG st = NtOpen(dir, name, access, FILE_CREATE, FILE_NON_DIRECTORY_FILE,
                         attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes, h);
  if (st < 0) return FailNull(ErrnoOfStatus(st));
  return h;
}

HANDLE OpenDirPath(StringView path, bool follow_final) {
  const std::wstring w = HostPathW(path.empty() ? StringView(u".") : path);
  DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
  if (!follow_final) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
  const HANDLE h = CreateFileW(w.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_TRAVERSE | SYNCHRONIZE,
                               kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return FailNull(ErrnoOfWindowsError(GetLastError()));
  EntryInfo info;
  int err = StatHandle(h, info);
  if (err == 0 && !(info.attr & FILE_ATTRIBUTE_DIRECTORY)) err = ENOTDIR;
  if (err == 0 && info.kind == dkLink) err = ELOOP;
  if (err != 0) {
    CloseHandle(h);
    return FailNull(err);
  }
  return h;
}

HANDLE OpenDirAt(HANDLE dir, StringView name, const FileIdW* expected) {
  HANDLE h;
  if (const int err = OpenDirChecked(dir, name, expected, h)) return FailNull(err);
  return h;
}

ScopedHandle::~ScopedHandle() {
  if (h_ != nullptr) CloseHandle(h_);
}

// --- DirChain ---------------------------------------------------------------

DirChain::DirChain(size_t max_open) : max_open_(std::max<size_t>(3, max_open == 0 ? 64 : max_open)) {}

DirChain::~DirChain() {
  for (const Frame& f : frames_) {
    if (f.handle != nullptr) CloseHandle(f.handle);
  }
}

bool DirChain::Start(HANDLE dir) {
  Frame f{dir, {}, String()};
  if (const int err = IdOfHandle(dir, f.id)) {
    CloseHandle(dir);
    errno = err;
    return false;
  }
  frames_.push_back(std::move(f));
  lowest_open_ = frames_.size() - 1;
  return true;
}

// Closes the lowest open frame above the bottom one, which stays open as
// the place every reopening starts from.
void DirChain::Evict() {
  if (lowest_open_ == 0) lowest_open_ = 1;
  if (lowest_open_ + 1 >= frames_.size()) return;
  CloseHandle(frames_[lowest_open_].handle);
  frames_[lowest_open_].handle = nullptr;
  ++lowest_open_;
}

int DirChain::PushOpened(HANDLE h, StringView name) {
  Frame f{h, {}, String(name)};
  if (const int err = IdOfHandle(h, f.id)) {
    CloseHandle(h);
    return err;
  }
  frames_.push_back(std::move(f));
  // Open: the bottom frame and those from lowest_open_ up.
  const size_t open = frames_.size() - lowest_open_ + (lowest_open_ > 0 ? 1 : 0);
  if (open > max_open_) Evict();
  return 0;
}

int DirChain::Push(StringView name, const FileIdW* expected) {
  if (Top() == nullptr) return EBADF;
  HANDLE h;
  if (const int err = OpenDirChecked(Top(), name, expected, h)) return err;
  return PushOpened(h, name);
}

int DirChain::PushCreate(StringView name, bool& created) {
  created = false;
  if (Top() == nullptr) return EBADF;
  if (!IsSingleName(name)) return EINVAL;
  HANDLE h;
  // FILE_OPEN_IF with FILE_OPEN_REPARSE_POINT: an existing junction is
  // opened as itself and refused below, never entered.
  IO_STATUS_BLOCK io{};
  UNICODE_STRING us;
  us.Buffer = const_cast<PWSTR>(reinterpret_cast<const wchar_t*>(name.data()));
  us.Length = us.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES oa;
  InitializeObjectAttributes(&oa, &us, OBJ_CASE_INSENSITIVE, Top(), nullptr);
  const NTSTATUS st =
      NtCreateFile(&h, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_TRAVERSE | SYNCHRONIZE, &oa, &io,
                   nullptr, FILE_ATTRIBUTE_NORMAL, kShareAll, FILE_OPEN_IF,
                   FILE_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT |
                       FILE_OPEN_FOR_BACKUP_INTENT,
                   nullptr, 0);
  if (st < 0) return ErrnoOfStatus(st);
  created = io.Information == FILE_CREATED;
  EntryInfo info;
  int err = StatHandle(h, info);
  if (err == 0 && info.kind != dkDir) err = info.kind == dkLink ? ELOOP : ENOTDIR;
  if (err != 0) {
    CloseHandle(h);
    return err;
  }
  return PushOpened(h, name);
}

// Opens the top frame again, level by level from the lowest open frame
// (the bottom one at worst), each by its name and checked against the
// identity it had when entered.
int DirChain::Reopen() {
  size_t from = frames_.size() - 1;
  while (from > 0 && frames_[from].handle == nullptr) --from;
  if (frames_[from].handle == nullptr) return ESTALE;
  const size_t top = frames_.size() - 1;
  // Keep the deepest reopened levels open, within the bound.
  const size_t keep_from = top + 2 > max_open_ ? std::max<size_t>(from + 1, top + 2 - max_open_) : from + 1;
  for (size_t i = from + 1; i <= top; ++i) {
    HANDLE h;
    if (const int err = OpenDirChecked(frames_[i - 1].handle, frames_[i].name, &frames_[i].id, h)) {
      for (size_t j = from + 1; j < i; ++j) {
        if (j < lowest_open_ && frames_[j].handle != nullptr) {
          CloseHandle(frames_[j].handle);
          frames_[j].handle = nullptr;
        }
      }
      return err == ENOENT ? ESTALE : err;
    }
    frames_[i].handle = h;
    if (i - 1 > from && i - 1 < keep_from) {
      CloseHandle(frames_[i - 1].handle);
      frames_[i - 1].handle = nullptr;
    }
  }
  lowest_open_ = std::max<size_t>(keep_from, 1);
  if (lowest_open_ > top) lowest_open_ = top;
  return 0;
}

int DirChain::Pop() {
  if (frames_.empty()) return 0;
  Frame child = std::move(frames_.back());
  frames_.pop_back();
  if (child.handle != nullptr) CloseHandle(child.handle);
  if (frames_.empty()) return 0;
  if (lowest_open_ > frames_.size() - 1) lowest_open_ = frames_.size() - 1;
  if (frames_.back().handle != nullptr) return 0;
  return Reopen();
}

// --- listing ----------------------------------------------------------------

int ReadDirEntries(HANDLE dir, std::vector<DirEntry>& out, size_t max) {
  alignas(8) static thread_local char buf[64 * 1024];
  FILE_INFO_BY_HANDLE_CLASS cls = FileIdBothDirectoryRestartInfo;
  for (;;) {
    if (!GetFileInformationByHandleEx(dir, cls, buf, sizeof buf)) {
      const DWORD err = GetLastError();
      return err == ERROR_NO_MORE_FILES ? 0 : ErrnoOfWindowsError(err);
    }
    cls = FileIdBothDirectoryInfo;
    for (size_t pos = 0;;) {
      const auto* d = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buf + pos);
      const std::wstring_view name(d->FileName, d->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") {
        DirEntry e;
        e.name = FromWide(name);
        e.attr = d->FileAttributes;
        e.kind = KindOfAttr(d->FileAttributes);
        e.index = static_cast<uint64_t>(d->FileId.QuadPart);
        out.push_back(std::move(e));
        if (out.size() >= max) return 0;
      }
      if (d->NextEntryOffset == 0) break;
      pos += d->NextEntryOffset;
    }
  }
}

// --- the walk -----------------------------------------------------------------

namespace {

// The Windows side of the shared walk (treewalk_loop.h).
struct WindowsWalk {
  using Dir = HANDLE;
  using Entry = DirEntry;
  using Id = FileIdW;
  using Path = String;
  using Chain = DirChain;
  using Visitor = TreeVisitor;
  static constexpr Char kSep = u'\\';
  static HANDLE Top(const DirChain& chain) { return chain.Top(); }
  static bool Valid(HANDLE h) { return h != nullptr; }
  static bool IsDir(const DirEntry& e) { return e.kind == dkDir; }
  static int List(HANDLE h, std::vector<DirEntry>& out) { return ReadDirEntries(h, out); }
  static int Examine(const DirChain& chain, HANDLE dir, DirEntry& e, FileIdW& id) {
    EntryInfo info;
    if (const int err = StatAt(dir, e.name, info)) return err == ENOENT ? kWalkGone : err;
    // A directory on another volume is reached only through a mount
    // point, which is a reparse point: never entered.
    if (info.kind != dkDir || info.id.volume != chain.TopId().volume) {
      e.kind = info.kind == dkDir ? dkLink : info.kind;
      e.attr = info.attr;
      return kWalkNotDir;
    }
    id = info.id;
    return kWalkEnter;
  }
};

}  // namespace

bool WalkTree(HANDLE root, TreeVisitor& visitor, bool subdirs) {
  DirChain chain;
  if (!chain.Start(root)) {
    visitor.OnError(String(), errno);
    return false;
  }
  return WalkTreeLoop<WindowsWalk>(chain, visitor, subdirs);
}

// --- single calls ----------------------------------------------------------------

int RemoveAt(HANDLE dir, StringView name, bool is_dir, const FileIdW* expected) {
  HANDLE h;
  if (const int err = OpenEntryAt(dir, name, DELETE | FILE_READ_ATTRIBUTES, 0, h)) return err;
  EntryInfo info;
  int err = StatHandle(h, info);
  if (err == 0) {
    if (is_dir && info.kind != dkDir) err = ENOTDIR;
    if (!is_dir && info.kind == dkDir) err = EISDIR;
    if (expected != nullptr && !SameFileId(info.id, *expected)) err = ESTALE;
  }
  if (err == 0) {
    err = DeleteOnClose(h);
  }
  CloseHandle(h);
  return err;
}

int DeleteOnClose(HANDLE h) {
  FILE_DISPOSITION_INFO disposition{TRUE};
  return SetFileInformationByHandle(h, FileDispositionInfo, &disposition, sizeof disposition)
             ? 0
             : ErrnoOfWindowsError(GetLastError());
}

int RemoveDirPath(StringView path, const FileIdW& expected) {
  const HANDLE h = CreateFileW(HostPathW(path).c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                               nullptr);
  if (h == INVALID_HANDLE_VALUE) return ErrnoOfWindowsError(GetLastError());
  EntryInfo info;
  int err = StatHandle(h, info);
  if (err == 0 && (info.kind != dkDir || !SameFileId(info.id, expected))) err = ESTALE;
  if (err == 0) err = DeleteOnClose(h);
  CloseHandle(h);
  return err;
}

int RenameAtNoReplace(HANDLE from_dir, StringView from, HANDLE to_dir, StringView to) {
  if (!IsSingleName(to)) return EINVAL;
  HANDLE h;
  if (const int err = OpenEntryAt(from_dir, from, DELETE | FILE_READ_ATTRIBUTES, 0, h)) return err;
  int err;
  const bool case_only =
      from_dir == to_dir && from != to &&
      CompareStringOrdinal(reinterpret_cast<const wchar_t*>(from.data()), static_cast<int>(from.size()),
                           reinterpret_cast<const wchar_t*>(to.data()), static_cast<int>(to.size()),
                           TRUE) == CSTR_EQUAL;
  if (!case_only) {
    err = RenameHandleAt(h, to_dir, to, false);
  } else {
    // A file system may take a new spelling of the same name for the name
    // itself and keep the old letters (Wine does): the file is renamed
    // through a fresh name, by its own handle all along.
    static std::atomic<unsigned> counter{0};
    const String temp = u".~zel-case-" + FromUtf8(std::to_string(GetCurrentProcessId())) + u"-" +
                        FromUtf8(std::to_string(counter.fetch_add(1)));
    err = RenameHandleAt(h, to_dir, temp, false);
    if (err == 0) {
      err = RenameHandleAt(h, to_dir, to, false);
      if (err != 0) RenameHandleAt(h, from_dir, from, false);
    }
  }
  CloseHandle(h);
  return err;
}

int RenameHandleAt(HANDLE h, HANDLE to_dir, StringView to, bool replace) {
  if (!IsSingleName(to)) return EINVAL;
  RenameRecord rec{};
  rec.ReplaceIfExists = replace ? TRUE : FALSE;
  rec.RootDirectory = to_dir;
  rec.FileNameLength = static_cast<ULONG>(to.size() * sizeof(wchar_t));
  std::memcpy(rec.FileName, to.data(), rec.FileNameLength);
  IO_STATUS_BLOCK io{};
  const NTSTATUS st = NtSetInformationFile(h, &io, &rec, sizeof rec,
                                           static_cast<FILE_INFORMATION_CLASS>(kFileRenameInformation));
  return st < 0 ? ErrnoOfStatus(st) : 0;
}

int ReadLinkOfHandle(HANDLE h, String& target) {
  alignas(8) char buf[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
  DWORD got = 0;
  if (!DeviceIoControl(h, FSCTL_GET_REPARSE_POINT, nullptr, 0, buf, sizeof buf, &got, nullptr)) {
    const DWORD err = GetLastError();
    return err == ERROR_NOT_A_REPARSE_POINT ? EINVAL : ErrnoOfWindowsError(err);
  }
  const auto* head = reinterpret_cast<const ReparseHead*>(buf);
  size_t names_at = sizeof(ReparseHead) + sizeof(LinkReparse);
  if (head->Tag == IO_REPARSE_TAG_SYMLINK) {
    names_at += sizeof(ULONG);  // the flags
  } else if (head->Tag != IO_REPARSE_TAG_MOUNT_POINT) {
    return EINVAL;
  }
  if (got < names_at) return EINVAL;
  const auto* link = reinterpret_cast<const LinkReparse*>(buf + sizeof(ReparseHead));
  auto name_at = [&](USHORT offset, USHORT length, std::wstring_view& out) {
    if (names_at + offset + length > got || length % sizeof(wchar_t) != 0) return false;
    out = std::wstring_view(reinterpret_cast<const wchar_t*>(buf + names_at + offset), length / sizeof(wchar_t));
    return true;
  };
  std::wstring_view print, substitute;
  if (!name_at(link->PrintNameOffset, link->PrintNameLength, print) ||
      !name_at(link->SubstituteNameOffset, link->SubstituteNameLength, substitute)) {
    return EINVAL;
  }
  std::wstring_view chosen = print;
  if (chosen.empty()) {
    // No print name: the substitute name without the object manager's
    // prefix.
    chosen = substitute;
    if (chosen.substr(0, 4) == L"\\??\\") chosen.remove_prefix(4);
  }
  target = FromWide(chosen);
  return 0;
}

int CopyLinkAt(HANDLE src_dir, StringView src_name, HANDLE dst_dir, StringView dst_name) {
  HANDLE src;
  if (const int err = OpenEntryAt(src_dir, src_name, FILE_READ_ATTRIBUTES | FILE_READ_EA, 0, src)) return err;
  ScopedHandle src_closer(src);
  alignas(8) char buf[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
  DWORD got = 0;
  if (!DeviceIoControl(src, FSCTL_GET_REPARSE_POINT, nullptr, 0, buf, sizeof buf, &got, nullptr)) {
    return ErrnoOfWindowsError(GetLastError());
  }
  EntryInfo src_info;
  if (const int err = StatHandle(src, src_info)) return err;
  const bool dir_link = (src_info.attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!IsSingleName(dst_name)) return EINVAL;
    HANDLE dst;
    const LONG st = NtOpen(dst_dir, dst_name, GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES, FILE_CREATE,
                           dir_link ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE, FILE_ATTRIBUTE_NORMAL, dst);
    if (st >= 0) {
      DWORD done = 0;
      if (DeviceIoControl(dst, FSCTL_SET_REPARSE_POINT, buf, got, nullptr, 0, &done, nullptr)) {
        CloseHandle(dst);
        return 0;
      }
      const int err = ErrnoOfWindowsError(GetLastError());
      DeleteOnClose(dst);  // no half-made link is left behind
      CloseHandle(dst);
      return err;
    }
    const int err = ErrnoOfStatus(st);
    if (err != EEXIST || attempt > 0) return err;
    // An earlier copy's link is replaced; anything else stays.
    EntryInfo there;
    if (StatAt(dst_dir, dst_name, there) != 0 || there.kind != dkLink) return EEXIST;
    if (const int rm = RemoveAt(dst_dir, dst_name, false, &there.id)) return rm;
  }
  return EEXIST;
}

// --- creating a path ------------------------------------------------------------

HANDLE MakeDirectoriesHandle(StringView path) {
  if (path.empty()) return FailNull(ENOENT);
  // Every level that exists is opened as the system resolves it; the first
  // missing one and those below it are made and entered by handle.
  String p(path);
  while (p.size() > 1 && (p.back() == u'\\' || p.back() == u'/') && !(p.size() == 3 && p[1] == u':')) {
    p.pop_back();
  }
  std::vector<String> missing;
  HANDLE h = nullptr;
  for (;;) {
    h = OpenDirPath(p, true);
    if (h != nullptr) break;
    if (errno != ENOENT) return nullptr;
    const size_t cut = p.find_last_of(u"\\/");
    const String last = cut == String::npos ? p : p.substr(cut + 1);
    if (last.empty() || last == u"." || last == u".." || last.back() == u':') return FailNull(ENOENT);
    missing.push_back(last);
    if (cut == String::npos) {
      p.clear();
    } else {
      p.resize(cut == 0 || (cut == 2 && p[1] == u':') ? cut + 1 : cut);
    }
  }
  DirChain chain(3);
  if (!chain.Start(h)) return nullptr;
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    bool created = false;
    if (const int err = chain.PushCreate(*it, created)) return FailNull(err);
  }
  // The chain's top is handed over: the copy owns it from here.
  HANDLE top = chain.Top();
  HANDLE dup = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), top, GetCurrentProcess(), &dup, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    return FailNull(ErrnoOfWindowsError(GetLastError()));
  }
  return dup;
}

}  // namespace detail
}  // namespace zel
