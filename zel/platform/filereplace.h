// zel/platform/filereplace.h — the one safe save: every writer of a whole
// file goes through `FileReplacement`.  The new content goes to a temporary
// file in the target's directory, which takes the target's name only when
// every byte was written and flushed to the disk.  A save that fails (a full
// disk, a file-size limit, an exception in the writer) leaves the old file
// exactly as it was and no temporary file behind.
//
//   zel::FileReplacement out(u"table.xml");   // the new content, not yet named
//   out.Write(data, size);                     // throws? the destructor cleans up
//   out.Commit();                              // owner, mode, then the name
//
// What the target is decides what happens:
//
// - A regular file is replaced.  Its owner (where the process may set it)
//   and permission bits are kept.  A file without write permission is not
//   replaced (EACCES), although its directory may allow the rename; a file
//   with no write bit at all counts as read-only for the super-user too.
// - A symbolic link is written through: the file it leads to is replaced
//   (or created, for a dangling link) and the link stays.  Links are
//   resolved once, by hand, and the file is then reached through a
//   descriptor of its directory, so a link swapped in later changes
//   nothing.  As the kernel does for open(), a link in a sticky,
//   world-writable directory (/tmp) is followed only when it belongs to the
//   process's user or to the directory's owner (EACCES otherwise).  A link
//   whose text does not name the file it leads to (a /proc/self/fd link of
//   a deleted file) is refused (ESTALE).
// - A character or block device or a FIFO (also behind a link, such as
//   /proc/self/fd/1) is written directly, never replaced or truncated.  A
//   FIFO that nobody reads fails at once with ENXIO instead of blocking.
//   `Commit` then only closes it; `Abandon` cannot take back what was
//   written.
// - A directory (EISDIR) or a socket (ENXIO) is refused.
// - A missing file is created: the temporary file gets the new file's mode
//   (`NewFileMode` less the umask) from the start, and appears under the
//   final name only when complete.  When a file of that name was created by
//   someone else meanwhile, it is not overwritten: `Commit` fails with
//   EEXIST and removes the temporary file.
//
// A new file is written without a name (O_TMPFILE) and linked to its name
// when complete, so nothing is left behind whatever ends the program; a
// replacement (and a new file where the file system has no unnamed files)
// uses a temporary file created with O_EXCL and O_NOFOLLOW.  Either is
// written only through the descriptor it was created with, never opened
// again by name.  Write errors throw `EInOutError` with the system's error code and a
// message that names the target.
//
// `TextFile::RewriteReplacing`, `TMemoryStream::SaveToFile`,
// `TStringList::SaveToFile`, the file copy, the bitmap and printer files of
// the drawing library are built on it.
#ifndef ZEL_PLATFORM_FILEREPLACE_H_
#define ZEL_PLATFORM_FILEREPLACE_H_

#include <time.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

class FileReplacement {
 public:
  // Prepares the save of `Target` (a path; relative to the current
  // directory) as described above.  Throws EInOutError (with the system's
  // error code) when the target cannot be written.
  explicit FileReplacement(const String& Target, uint32_t NewFileMode = 0666);
  // The same for the entry `Name` of the directory open as `DirFd`.  `Name`
  // is a single name (no "/"; EINVAL otherwise) and a link there is refused
  // (ELOOP) rather than followed.  `DirFd` is used, not duplicated: keep it
  // open until the save is committed, abandoned or destroyed.
  FileReplacement(int DirFd, std::string_view Name, uint32_t NewFileMode = 0666);
  // The same with the name as text: its bytes are `FileNameToBytes(Name)`
  // on POSIX hosts; on Windows, where `DirFd` is a C runtime descriptor
  // over a directory handle, the UTF-16 name is used unchanged (the byte
  // form above is read as `FileNameFromBytes`).
  FileReplacement(int DirFd, const String& Name, uint32_t NewFileMode = 0666);
  // Removes the temporary file unless `Commit` succeeded.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The descriptor to write to (the temporary file, or the device or FIFO
  // itself); -1 after Commit or Abandon.
  int Fd() const noexcept { return fd_; }
  // True when the target is a device or FIFO written directly.
  bool WritesDirectly() const noexcept { return direct_; }
  // True when the target is the existing file `Device`/`Inode`.
  bool TargetIs(uint64_t Device, uint64_t Inode) const noexcept;
  // The permission bits the saved file will have: the replaced file's, the
  // new file's (umask applied), or what `SetMode` gave.
  uint32_t Mode() const noexcept { return mode_; }

  // Gives the saved file exactly the permission bits `Mode` (07777, no
  // umask) instead.  Ignored when the target is written directly.
  void SetMode(uint32_t Mode) noexcept;
  // Gives the saved file this modification time.  Ignored when the target
  // is written directly.
  void SetModifyTime(const timespec& Modify) noexcept;
  // A new file (one that replaces nothing) is not flushed to the disk before
  // it appears under its name.  For bulk copies, where a flush per file
  // would cost more than the copy: the name still shows only complete
  // content while the system runs, but a crash of the system itself may
  // leave the new file short, as with `cp`.  A replaced file is always
  // flushed first, so its old content is never lost.
  void SkipFlushOfNewFile() noexcept { flush_new_ = false; }

  // Writes all of `data`; throws EInOutError (after removing the temporary
  // file).  Usable as the sink of a stream callback.
  void Write(const void* data, size_t size);
  // Leaves `size` bytes of zeros, as a hole where the file system keeps
  // holes (zeros are written to a device or FIFO).
  void Skip(int64_t size);

  // Flushes the temporary file to the disk, gives it the owner, mode and
  // time it is to have and renames it over (or to) the target.  Throws
  // EInOutError (after removing the temporary file) when any step fails;
  // the target is then unchanged.
  void Commit();
  // Removes the temporary file; the target stays as it was.
  void Abandon() noexcept;

 private:
  void Open(int at, std::string path, bool follow_links, uint32_t new_file_mode);
  bool OpenDirect(const char* base);
  void CreateTemp(uint32_t create_mode);
  void CreateTempAt(void* dir);  // Windows: beside the target, by directory handle
  void CommitAt();               // Windows: the commit by directory handle
  void NoteTemp();
  void PublishNew();
  void PublishUnnamed();
  void CloseDir() noexcept;
  [[noreturn]] void Throw(const char* what, int err);
  [[noreturn]] void FailWith(int err, const char* what);

  String target_name_;        // as given, for messages
  int dir_fd_ = -1;           // the directory that holds the target
  bool owns_dir_ = false;     // false: the caller's descriptor, not closed here
  std::string base_;          // the target's name in it (links resolved)
  std::string temp_;          // the temporary file's name in it; empty for an unnamed one
  int fd_ = -1;
  bool direct_ = false;       // a device or FIFO, written in place
  bool exists_ = false;       // a regular file is replaced
  bool exact_mode_ = false;   // `SetMode` was called
  bool has_modify_ = false;
  bool flush_new_ = true;
  bool skipped_ = false;      // `Skip` moved past the end of what was written
  uint32_t mode_ = 0;
  uint32_t uid_ = 0, gid_ = 0;
  uint64_t device_ = 0, inode_ = 0;
  // The temporary file as created.
  uint64_t temp_device_ = 0, temp_inode_ = 0;
  uint32_t temp_mode_ = 0, temp_uid_ = 0, temp_gid_ = 0;
  timespec modify_{};
};

}  // namespace zel

#endif  // ZEL_PLATFORM_FILEREPLACE_H_
