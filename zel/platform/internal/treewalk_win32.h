// zel/platform/internal/treewalk_win32.h — the one directory walker behind
// every walk, copy and deletion of a tree on Windows, on directory handles.
//
//   struct Lister : zel::detail::TreeVisitor {
//     void OnEntry(HANDLE dir, const zel::detail::DirEntry& e, const zel::String& rel) override {
//       Use(rel + e.name);              // u"sub\\deeper\\f.txt"
//     }
//     void OnError(const zel::String& path, int err) override { Report(path, err); }
//   } lister;
//   HANDLE root = zel::detail::OpenDirPath(u"C:\\data", true);
//   if (root != nullptr) zel::detail::WalkTree(root, lister);
//
// The walker works on handles, never on paths: each directory is opened
// relative to its parent's handle by its single name (NtCreateFile with
// OBJECT_ATTRIBUTES.RootDirectory) with FILE_OPEN_REPARSE_POINT, so a
// symbolic link, junction or any other reparse point is opened as itself
// and never entered, and its volume serial and file index are compared with
// what the parent's listing showed, so a directory swapped meanwhile is
// refused.  A visitor that removes, renames or creates entries does it
// relative to the handle it is handed (`RemoveAt`, `RenameAtNoReplace`,
// `DirChain::PushCreate`).  Nothing outside the starting directory is read,
// written or removed, whatever another user swaps in during the walk.
//
// It mirrors the POSIX walker (treewalk_posix.h): the same visitor calls in
// the same order, errors as errno values.  Names are UTF-16 as the system
// holds them; paths inside the tree are joined with "\".  It is iterative
// and keeps a bounded number of handles open (`DirChain`): a directory
// whose handle was closed on the way down is opened again on the way up,
// name by name from the starting directory (which stays open), and taken
// only when each level is still the directory that was entered.
#ifndef ZEL_PLATFORM_INTERNAL_TREEWALK_WIN32_H_
#define ZEL_PLATFORM_INTERNAL_TREEWALK_WIN32_H_

#include <windows.h>
// The library has a function of this name; the macro would rename it.
#undef DeleteFile
#include <winternl.h>

#include <cerrno>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "zel/platform/internal/wide_win32.h"
#include "zel/platform/string.h"

namespace zel::detail {

// A file's identity: the volume serial number and the file index.
struct FileIdW {
  uint64_t volume = 0;
  uint64_t index = 0;
};
inline bool SameFileId(const FileIdW& a, const FileIdW& b) {
  return a.volume == b.volume && a.index == b.index;
}

// What an entry is.  Every reparse point (symbolic link, junction, mount
// point) is a link: met as an entry, removed as itself, never entered.
enum DirEntryKind : uint8_t { dkFile, dkDir, dkLink };

// One entry of a directory listing.
struct DirEntry {
  String name;
  DirEntryKind kind = dkFile;
  uint32_t attr = 0;       // FILE_ATTRIBUTE_... as listed
  uint64_t index = 0;      // the file index as listed
};

// What the system says about one entry, without following a link.
struct EntryInfo {
  FileIdW id;
  uint32_t attr = 0;
  DirEntryKind kind = dkFile;
  int64_t size = 0;
  FILETIME modify{};
};

// Opens the directory `path` (empty: the current one) for listing, the
// final component's link followed when `follow_final` is set (a reparse
// point there is refused with ELOOP otherwise).  The handle, or nullptr
// with errno set.
HANDLE OpenDirPath(StringView path, bool follow_final);

// Opens the directory `name` (a single name: no "\" or "/", not "." or
// "..", EINVAL otherwise) inside `dir`, never through a reparse point
// (ELOOP); when `expected` is given the directory must be that file
// (ESTALE otherwise).  The handle, or nullptr with errno set.
HANDLE OpenDirAt(HANDLE dir, StringView name, const FileIdW* expected);

// A handle closed when it goes out of scope.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE h = nullptr) : h_(h) {}
  ~ScopedHandle();
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE get() const { return h_; }
  HANDLE release() {
    const HANDLE h = h_;
    h_ = nullptr;
    return h;
  }

 private:
  HANDLE h_;
};

// A path of directories, each entered from the one below it, with at most
// `max_open` handles open: the bottom one and the deepest ones.  The top's
// handle is open whenever `Top()` is not nullptr; it is nullptr only after
// `Pop` could not open the directory again (it is gone, or another one
// stands in its place).
class DirChain {
 public:
  // `max_open` 0: a default that leaves the process's handles plenty.
  explicit DirChain(size_t max_open = 0);
  ~DirChain();
  DirChain(const DirChain&) = delete;
  DirChain& operator=(const DirChain&) = delete;

  // Takes over `dir` (an open directory) as the bottom of the chain.
  bool Start(HANDLE dir);
  // Enters `name` inside the top (see `OpenDirAt`).  0, or the error.
  int Push(StringView name, const FileIdW* expected);
  // Creates the directory `name` inside the top when it is missing and
  // enters it; `created` says whether it was made here.  A link or anything
  // else in its place is refused (ENOTDIR or ELOOP).
  int PushCreate(StringView name, bool& created);
  // Leaves the top.  0, or the error of opening the one below again (its
  // handle is then nullptr).
  int Pop();

  HANDLE Top() const { return frames_.empty() ? nullptr : frames_.back().handle; }
  const FileIdW& TopId() const { return frames_.back().id; }
  size_t Depth() const { return frames_.size(); }

 private:
  struct Frame {
    HANDLE handle;
    FileIdW id;
    String name;  // its name in the frame below
  };
  int PushOpened(HANDLE h, StringView name);
  void Evict();
  int Reopen();
  std::vector<Frame> frames_;
  size_t lowest_open_ = 0;  // frames from here to the top are open (and the bottom)
  size_t max_open_;
};

// Every entry of the open directory `dir` except "." and "..", in the order
// the host lists them.  0, or the error of reading it (the entries read so
// far are kept).  Stops after `max` entries.
int ReadDirEntries(HANDLE dir, std::vector<DirEntry>& out, size_t max = SIZE_MAX);

// What a walk does with what it meets.  `rel` is the path of the directory
// being walked relative to the starting one, with a trailing "\" ("" for
// the starting one), so an entry's path is `rel + e.name`; `dir` is that
// directory's handle, for calls relative to it.
class TreeVisitor {
 public:
  virtual ~TreeVisitor() = default;
  // A directory about to be listed.
  virtual void OnDir(const String& rel) { (void)rel; }
  // An entry that is not a directory (a link to one included).
  virtual void OnEntry(HANDLE dir, const DirEntry& e, const String& rel) = 0;
  // Whether to go into the subdirectory `e` at all, before it is opened; it
  // may rename it and change `e.name` to match.
  virtual bool WantDir(HANDLE dir, DirEntry& e, const String& rel) {
    (void)dir, (void)e, (void)rel;
    return true;
  }
  // The subdirectory `e` of `dir` was opened (`id` is its identity); false
  // leaves it unvisited.
  virtual bool EnterDir(HANDLE dir, const DirEntry& e, const FileIdW& id, const String& rel) {
    (void)dir, (void)e, (void)id, (void)rel;
    return true;
  }
  // The walk is back from the subdirectory `e`: `complete` when all of it
  // was listed and visited.  `dir` is nullptr when the parent could not be
  // reached again.
  virtual void LeaveDir(HANDLE dir, const DirEntry& e, const String& rel, bool complete) {
    (void)dir, (void)e, (void)rel, (void)complete;
  }
  // The directory at `path` (relative, with a trailing "\") could not be
  // opened, listed in full or reached again.
  virtual void OnError(const String& path, int err) = 0;
  // True ends the walk before the next entry.
  virtual bool Stopped() { return false; }
};

// Walks the tree below the open directory `root` (taken over), as
// treewalk_posix.h's `WalkTree` does.  True when every directory it went
// into could be listed in full.
bool WalkTree(HANDLE root, TreeVisitor& visitor, bool subdirs = true);

// Single calls relative to a directory handle; each returns 0 or an errno
// value and never follows a link in `name` (a single name, see `OpenDirAt`).
int StatAt(HANDLE dir, StringView name, EntryInfo& info);
int StatHandle(HANDLE h, EntryInfo& info);
// Opens the entry `name` itself (a link as the link) with `access`;
// `options` are NtCreateFile's create options added to the defaults.
int OpenEntryAt(HANDLE dir, StringView name, ACCESS_MASK access, ULONG options, HANDLE& out);
// Creates the file `name` (CREATE_NEW semantics: never an existing entry)
// with `access`; nullptr with errno set on failure.
HANDLE CreateFileAt(HANDLE dir, StringView name, ACCESS_MASK access, uint32_t attributes);
// Removes the entry `name`: a link or file (`is_dir` false; a plain
// directory is refused with EISDIR) or an empty directory (`is_dir`), only
// when it is still the file `expected` names (ESTALE), when one is given.
int RemoveAt(HANDLE dir, StringView name, bool is_dir, const FileIdW* expected = nullptr);
// Marks the file open as `h` (with DELETE access) for removal: its name
// goes when the last handle to it closes.  0 or an errno value.
int DeleteOnClose(HANDLE h);
// Removes the empty directory `path` only while its name still leads to the
// directory `expected` names (never to a link or another directory).
int RemoveDirPath(StringView path, const FileIdW& expected);
// Renames `from` in `from_dir` to `to` in `to_dir` unless `to` exists
// (EEXIST); `to` may differ from `from` in letter case alone.
int RenameAtNoReplace(HANDLE from_dir, StringView from, HANDLE to_dir, StringView to);
// Gives the file open as `h` (opened with DELETE access) the name `to` in
// `to_dir`, replacing an entry of that name only with `replace`.
int RenameHandleAt(HANDLE h, HANDLE to_dir, StringView to, bool replace);
// The identity of an open handle.
int IdOfHandle(HANDLE h, FileIdW& id);
// Makes `dst_name` in `dst_dir` a link with the same reparse data as the
// link `src_name` in `src_dir`; an existing link of that name is replaced,
// anything else is left (EEXIST).
int CopyLinkAt(HANDLE src_dir, StringView src_name, HANDLE dst_dir, StringView dst_name);
// The target a link's reparse data names (a symbolic link's print name, a
// junction's target without "\??\"); EINVAL for another kind.
int ReadLinkOfHandle(HANDLE h, String& target);
// Creates `path` with every missing level and gives the final directory's
// handle (nullptr with errno set; ENOTDIR for a file on the way).  Levels
// that exist are resolved as the system resolves them; a level made here
// is entered relative to the one above, never through a link.
HANDLE MakeDirectoriesHandle(StringView path);
// The errno value of an NTSTATUS.
int ErrnoOfStatus(LONG status) noexcept;

}  // namespace zel::detail

#endif  // ZEL_PLATFORM_INTERNAL_TREEWALK_WIN32_H_
