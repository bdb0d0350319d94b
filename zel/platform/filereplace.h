// zel/platform/filereplace.h — replacing a file safely: the new content goes
// to a temporary file in the same directory, which is renamed over the
// target only when every byte was written and flushed to the disk.  A save
// that fails (a full disk, a file-size limit, an exception in the writer)
// leaves the old file exactly as it was and no temporary file behind.
//
//   zel::FileReplacement out(u"table.xml");   // creates ".table.xml.XXXXXX"
//   WriteAll(out.Fd());                        // throws? the destructor cleans up
//   out.Commit();                              // fsync, permissions, rename
//
// The replacement keeps the permission bits of the file it replaces (a new
// file gets 0666 less the umask, as open() would give it), and its owner
// where the process may set it.  A target that is a symbolic link is
// resolved, so the file it points to is replaced and the link stays.  A
// file without write permission is not replaced (EACCES), although its
// directory may allow the rename.
//
// `TextFile::RewriteReplacing`, `TMemoryStream::SaveToFile` and
// `TStringList::SaveToFile` are built on it; so is every library function
// that saves a whole file.
#ifndef ZEL_PLATFORM_FILEREPLACE_H_
#define ZEL_PLATFORM_FILEREPLACE_H_

#include <string>

#include "zel/platform/string.h"

namespace zel {

class FileReplacement {
 public:
  // Creates the temporary file beside `target`.  Throws EInOutError (with
  // the system's error code) when it cannot.
  explicit FileReplacement(const String& target);
  // Removes the temporary file unless `Commit` succeeded.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The temporary file, open for writing; -1 after Commit or Abandon.
  int Fd() const noexcept { return fd_; }

  // Writes all of `data` to the temporary file; throws EInOutError.
  void Write(const void* data, size_t size);

  // Flushes the temporary file to the disk and renames it over the target.
  // Throws EInOutError (after removing the temporary file) when any step
  // fails; the target is then unchanged.
  void Commit();
  // Removes the temporary file; the target stays as it was.
  void Abandon() noexcept;

 private:
  [[noreturn]] void FailWith(int err, const char* what);

  String target_name_;      // as given, for messages
  std::string target_;      // the file that is replaced (links resolved)
  std::string temp_;        // the temporary file beside it
  int fd_ = -1;
};

}  // namespace zel

#endif  // ZEL_PLATFORM_FILEREPLACE_H_
