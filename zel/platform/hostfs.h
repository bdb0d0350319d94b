// zel/platform/hostfs.h — the host's directories, files and time stamps, as
// the library's file functions use them.
//
//   zel::TDirSearch search(u"/data/logs", u"*.LOG");   // matches "a.log" too
//   zel::TSearchRec rec;
//   while (search.Next(rec)) {
//     if (!(rec.Attr & zel::faDirectory)) Use(rec.Name);  // name as stored
//   }
//
// Paths are host paths: "/" separates, and "\" and ":" are ordinary name
// characters.  Every function takes and gives UTF-16 strings and passes names
// to the host as their exact bytes (zel/platform/filename.h): a name that is
// not UTF-8 comes back from a search as a `String` that names the same file,
// never a neighbour whose name reads alike.  Functions that return bool leave
// the host's error code in `LastOSError()` when they fail.
//
// Masks use "*" (any run of characters) and "?" (one character) and match
// without regard to case (the full case mapping of zel/platform/casemap.h);
// a mask that ends in ".*" also matches the name without that extension, so
// "*.*" matches every name, as on hosts with drive letters.
//
// Attributes map the host's file modes onto the classic bits: a file or
// directory with no write permission bit at all (mode & 0222 == 0) is
// `faReadOnly`, whoever asks (the super-user included); a name starting with
// "." is `faHidden`; devices, pipes and sockets are `faSysFile`; a regular
// file is `faArchive`.  A symbolic link carries `faSymLink` beside the
// attributes of what it points to, so a link to a directory has
// `faDirectory | faSymLink`; a dangling link is a plain `faSymLink`.
#ifndef ZEL_PLATFORM_HOSTFS_H_
#define ZEL_PLATFORM_HOSTFS_H_

#include <time.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

inline constexpr uint32_t faReadOnly = 0x01;
inline constexpr uint32_t faHidden = 0x02;
inline constexpr uint32_t faSysFile = 0x04;
inline constexpr uint32_t faVolumeID = 0x08;  // never set on this host
inline constexpr uint32_t faDirectory = 0x10;
inline constexpr uint32_t faArchive = 0x20;
inline constexpr uint32_t faSymLink = 0x400;
inline constexpr uint32_t faAnyFile = 0x1FF;  // all classic bits (faSymLink lies outside)

// The error code (errno) of the last failed call of this header on this
// thread.
int LastOSError() noexcept;

// True when `Name` matches `Mask` by the rules above.  An empty mask
// matches nothing.
bool MatchesFileMask(StringView Name, StringView Mask);

// What the host knows about one file.
struct TFileInfo {
  uint32_t Attr = 0;     // attribute bits (faDirectory, faSymLink, ...)
  uint32_t Mode = 0;     // permission bits (07777)
  int64_t Size = 0;      // bytes; 0 for a directory
  timespec Access{};     // last access, UTC
  timespec Modify{};     // last modification, UTC
  bool HasBirth = false; // the file system keeps creation times
  timespec Birth{};      // creation, UTC (when HasBirth)
  uint64_t Device = 0;   // device id; with Inode, the file's identity
  uint64_t Inode = 0;    // inode number on that device
  uint32_t Owner = 0;    // user id
};

// Fills `Info` for `Path`.  With `FollowLink` a final symbolic link is
// followed (its `Attr` still carries `faSymLink`); a dangling link then
// describes the link itself.  False when `Path` does not exist.
bool GetFileInfo(StringView Path, TFileInfo& Info, bool FollowLink = true);

// True when both paths name the same existing file (device and inode).
bool SameFile(StringView A, StringView B);

// One entry of a directory search.  `Size`, `Mode` and `Modify` are filled
// only by a search made with details; `Attr` always has the kind bits
// (`faDirectory`, `faSymLink`, `faArchive`, `faSysFile`, `faHidden`), and
// `faReadOnly` only with details.  For a link the details describe what it
// points to (a dangling link: the link's own size and time).
struct TSearchRec {
  String Name;  // as stored, without a path
  uint32_t Attr = 0;   // attribute bits (faDirectory, faSymLink, ...)
  uint32_t Mode = 0;   // permission bits (07777)
  int64_t Size = 0;    // bytes; 0 for a directory
  timespec Modify{};   // last modification, UTC
};

// A search of one directory by mask.  Never returns "." or "..".  Entries
// come in the order the host lists them.  Without details an entry costs no
// file-status call, except for a symbolic link (to learn whether it leads to
// a directory) and on file systems that do not report entry kinds.
class TDirSearch {
 public:
  // `Dir` empty means the current directory.  With `AllDirs` every
  // directory is returned whether it matches `Mask` or not (files still
  // must match), so a walk needs one pass per directory.
  TDirSearch(StringView Dir, StringView Mask, bool Details = false, bool AllDirs = false);
  ~TDirSearch();
  TDirSearch(const TDirSearch&) = delete;
  TDirSearch& operator=(const TDirSearch&) = delete;

  // False when the directory could not be opened; `Error()` says why.
  bool IsOpen() const noexcept { return dir_ != nullptr; }
  int Error() const noexcept { return error_; }

  // The next matching entry; false at the end (or after a read error, then
  // `Error()` is set).
  bool Next(TSearchRec& Rec);

 private:
  void* dir_ = nullptr;  // DIR*
  int error_ = 0;
  bool details_;
  bool all_dirs_;
  bool match_all_;
  std::string dir_prefix_;  // UTF-8 directory with a trailing "/" ("" for the current)
  String mask_;
  std::string ascii_mask_;  // lower-cased UTF-8 mask when it is pure ASCII
  bool mask_is_ascii_;
};

// Directories and files.  `ForceDirectories` creates a directory with all
// missing parents (true when it exists afterwards), each level relative to
// the one above it: levels that exist are followed as the kernel resolves
// them (a link to a directory too, as `mkdir -p` does), and a level it makes
// is never entered through a link swapped in meanwhile; a file on the way
// gives false with ENOTDIR.  `DeleteFile` removes a
// file or a symbolic link, never a directory.  `RenameFile` replaces an
// existing target.
bool CreateDir(StringView Path, uint32_t Mode = 0777);
bool ForceDirectories(StringView Path);
bool RemoveDir(StringView Path);
bool DeleteFile(StringView Path);
bool RenameFile(StringView From, StringView To);
// Renames `From` to `To` only when `To` does not exist.
bool RenameNoReplace(StringView From, StringView To);
bool CreateSymLink(StringView Target, StringView LinkPath);
bool ReadSymLink(StringView Path, String& Target);

// Sets the access and modification times; a null pointer leaves that time
// as it is.  A link is followed.
bool SetFileTimes(StringView Path, const timespec* Access, const timespec* Modify);
// Sets the permission bits (07777); a link is followed.
bool SetFileMode(StringView Path, uint32_t Mode);

// True when a file can be created in directory `Dir` (tried with an
// unnamed file, or with a fresh unique name that is removed again; no
// existing file is touched).
bool CanCreateFileIn(StringView Dir);

// Host path parts: the directory part up to and including the last "/"
// ("" when there is none), the name after it, and a join that puts one "/"
// between a non-empty directory and a name.
String HostDirPart(StringView Path);
String HostNamePart(StringView Path);
String HostJoin(StringView Dir, StringView Name);

// `Path` made absolute against the current directory, "." and ".."
// resolved by the text (links are not looked at), repeated "/" folded.
String ExpandFileName(StringView Path);
// The absolute path with every link resolved; empty when it does not exist.
String RealPath(StringView Path);
// The mount point of the file system that holds the existing directory
// `Dir` (links in it resolved); empty when it does not exist.
String MountPointOf(StringView Dir);

// The value of an environment variable, empty when it is not set.  Values
// are often paths, so they come as names do (zel/platform/filename.h).
String GetEnvVar(StringView Name);
// The real user id of the process.
uint32_t CurrentUserId() noexcept;

// An open file for whole-file copying and writing.  Move-only; closes on
// destruction.
class THostFile {
 public:
  THostFile() = default;
  ~THostFile();
  // Moving hands the open file over and leaves `Other` closed; assigning
  // first closes the file this object held.
  THostFile(THostFile&& Other) noexcept;
  THostFile& operator=(THostFile&& Other) noexcept;

  // Opens an existing regular file for reading (a directory, device, pipe
  // or socket fails with EISDIR or EINVAL; opening never blocks).  `Info`,
  // when given, gets what the host knows about the opened file.
  bool OpenRead(StringView Path, TFileInfo* Info = nullptr);
  // Creates a new file for writing; fails with EEXIST when `Path` exists.
  // `Mode` is reduced by the umask.
  bool CreateNew(StringView Path, uint32_t Mode = 0666);
  bool IsOpen() const noexcept { return fd_ >= 0; }

  // Reads up to `Count` bytes, retrying short reads until `Count` or the
  // end: the bytes read (0 at the end), or -1 on error.
  int64_t Read(void* Buffer, size_t Count);
  // Writes all `Count` bytes or fails; `Written` (when given) gets the
  // bytes written before a failure.
  bool Write(const void* Buffer, size_t Count, size_t* Written = nullptr);
  bool SetMode(uint32_t Mode);
  bool SetModifyTime(const timespec& Modify);
  // Closes; false when the host reports a failure at close (a late write
  // error).
  bool Close();

 private:
  int fd_ = -1;
};

}  // namespace zel

#endif  // ZEL_PLATFORM_HOSTFS_H_
