// The POSIX side of zel/filesys/dirtree.h: scans, tree copies, deletions
// and renames through the descriptor walker
// (zel/platform/internal/treewalk_posix.h).
#include "zel/filesys/dirtree.h"

#include <errno.h>

#include <string>
#include <vector>

#include "zel/filesys/filecopy.h"
#include "zel/filesys/internal/copyfile.h"
#include "zel/filesys/internal/maskfiles.h"
#include "zel/filesys/internal/treecopy.h"
#include "zel/filesys/internal/treeproblems.h"
#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/internal/treewalk_posix.h"
#include "zel/platform/syserror.h"

namespace ZEL_EXPORT zel {
namespace {

using detail::DirEntry;

String WithSlash(StringView dir) {
  String out(dir);
  if (!out.empty() && out.back() != u'/') out += u'/';
  return out;
}

// The bytes of a directory path without its trailing "/" (but "/" itself).
std::string BareBytes(StringView dir) {
  std::string out = FileNameToBytes(dir);
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

// Reports one item: `prefix` (the caller's spelling, bytes) joined with the
// path inside the tree.
void Report(const std::string& prefix, const std::string& rel, int err, detail::TreeOp op) {
  detail::ReportTreeProblem(FileNameFromBytes(prefix + rel), err, op);
}

// --- scans ----------------------------------------------------------------

// Lists (or counts) the files that match the pattern: every entry that is
// not a directory, a link to one or a dangling link; hidden directories are
// not entered.
class ScanVisitor final : public detail::TreeVisitor {
 public:
  ScanVisitor(std::string prefix, StringView pattern, TStringList* list, TScanFilesFeedback feedback)
      : prefix_(std::move(prefix)), pattern_(pattern), list_(list), feedback_(feedback) {}

  int count() const { return count_; }

  void OnDir(const std::string& dir) override {
    if (feedback_ != nullptr) feedback_(FileNameFromBytes(prefix_ + dir), count_);
  }
  void OnEntry(int dirfd, const DirEntry& e, const std::string& dir) override {
    if (!MatchesFileMask(FileNameFromBytes(e.name), pattern_)) return;
    if (e.type == DT_LNK) {
      struct stat st;
      if (detail::StatAt(dirfd, e.name, true, st) != 0 || S_ISDIR(st.st_mode)) return;
    }
    if (list_ != nullptr) list_->Add(FileNameFromBytes(prefix_ + dir + e.name));
    ++count_;
  }
  bool WantDir(int, DirEntry& e, const std::string&) override { return e.name[0] != '.'; }
  void OnError(const std::string& path, int err) override {
    Report(prefix_, path, err, detail::toRead);
  }

 private:
  std::string prefix_;
  StringView pattern_;
  TStringList* list_;
  TScanFilesFeedback feedback_;
  int count_ = 0;
};


// --- tree copy ------------------------------------------------------------

using detail::tree_copy;

// Copies what the walk of the source meets into a second chain of
// directories on the destination side, created and entered relative to
// each other, so a link planted in the destination is refused and never
// written through.
class CopyVisitor final : public detail::TreeVisitor {
 public:
  CopyVisitor(std::string src, std::string dst, int dst_fd, bool skip, const struct stat& skip_dir)
      : src_(std::move(src)), dst_(std::move(dst)), skip_(skip), skip_dir_(skip_dir) {
    chain_.Start(dst_fd);
  }

  int failures() const { return failures_; }

  void OnEntry(int dirfd, const DirEntry& e, const std::string& dir) override {
    // The name is made only for a feedback: on a deep tree it is long.
    tree_copy.current = tree_copy.feedback != nullptr ? FileNameFromBytes(dst_ + dir + e.name) : String();
    ++tree_copy.count;
    tree_copy.bytes = tree_copy.size = 0;
    const int to = chain_.TopFd();
    if (e.type == DT_LNK) {
      if (const int err = detail::CopyLinkAt(dirfd, e.name, to, e.name)) {
        Fail(dst_, dir + e.name, err, detail::toCreate);
      }
    } else if (e.type != DT_REG) {
      Fail(src_, dir + e.name, EINVAL, detail::toRead);  // a device, pipe or socket
    } else {
      errno = 0;
      const int status = detail::CopyFileAt(dirfd, e.name.c_str(), to, e.name.c_str(),
                                            tree_copy.copy_attribs, detail::ForwardTreeBlock, &tree_copy);
      const int err = errno;
      detail::TreeOp op;
      bool on_source;
      if (detail::TreeCopyFailure(status, op, on_source)) {
        Fail(on_source ? src_ : dst_, dir + e.name, err, op);
      } else if (status == fcAborted) {
        ++failures_;
      }
    }
    if (tree_copy.feedback != nullptr) tree_copy.feedback(tree_copy.bytes, tree_copy.size, tree_copy.current, tree_copy.count);
  }

  bool EnterDir(int, const DirEntry& e, const struct stat& st, const std::string& dir) override {
    // A destination inside the source is left out, or the copy would copy
    // itself without end.
    if (skip_ && detail::SameFileId(st, skip_dir_)) return false;
    bool created = false;
    if (const int err = chain_.PushCreate(e.name, 0777, created)) {
      Fail(dst_, dir + e.name + '/', err, detail::toCreate);
      return false;
    }
    return true;
  }
  void LeaveDir(int, const DirEntry& e, const std::string& dir, bool) override {
    if (const int err = chain_.Pop()) Fail(dst_, dir + e.name + '/', err, detail::toCreate);
  }
  void OnError(const std::string& path, int err) override {
    Fail(src_, path, err, detail::toRead);
  }
  bool Stopped() override { return FileCopyingAborted(); }

 private:
  void Fail(const std::string& prefix, const std::string& rel, int err, detail::TreeOp op) {
    ++failures_;
    Report(prefix, rel, err, op);
  }
  std::string src_, dst_;
  bool skip_;
  struct stat skip_dir_;
  detail::DirChain chain_;
  int failures_ = 0;
};

// --- deletion -------------------------------------------------------------

// Removes every entry relative to its directory's descriptor, a directory
// once all of it is gone; stops at the first item that stays.
class DeleteVisitor final : public detail::TreeVisitor {
 public:
  explicit DeleteVisitor(std::string prefix) : prefix_(std::move(prefix)) {}
  const String& failed() const { return failed_; }

  void OnEntry(int dirfd, const DirEntry& e, const std::string& dir) override {
    struct stat st;
    if (detail::StatAt(dirfd, e.name, false, st) != 0) return;  // gone meanwhile
    if (!S_ISLNK(st.st_mode) && (st.st_mode & 0222) == 0) {
      Fail(dir + e.name, 0, detail::toReadOnly);
      return;
    }
    const int err = detail::RemoveAt(dirfd, e.name, false);
    if (err != 0 && err != ENOENT) Fail(dir + e.name, err, detail::toDelete);
  }
  void LeaveDir(int dirfd, const DirEntry& e, const std::string& dir, bool complete) override {
    if (!complete || !failed_.empty()) return;
    const int err = detail::RemoveAt(dirfd, e.name, true);
    if (err != 0 && err != ENOENT) Fail(dir + e.name + '/', err, detail::toDelete);
  }
  void OnError(const std::string& path, int err) override { Fail(path, err, detail::toDelete); }
  bool Stopped() override { return !failed_.empty(); }

 private:
  void Fail(const std::string& rel, int err, detail::TreeOp op) {
    if (!failed_.empty()) return;
    failed_ = FileNameFromBytes(prefix_ + rel);
    detail::ReportTreeProblem(failed_, err, op);
  }
  std::string prefix_;
  String failed_;
};

// --- letter case ------------------------------------------------------------

class CaseVisitor final : public detail::TreeVisitor {
 public:
  CaseVisitor(std::string prefix, StringView pattern, bool upper)
      : prefix_(std::move(prefix)), pattern_(pattern), upper_(upper) {}

  void OnEntry(int dirfd, const DirEntry& e, const std::string& dir) override {
    std::string name = e.name;
    if (MatchesFileMask(FileNameFromBytes(name), pattern_)) Rename(dirfd, name, dir);
  }
  // A matching directory is renamed, and entered when it is a plain one
  // (not hidden, not read-only; links never come here).
  bool WantDir(int dirfd, DirEntry& e, const std::string& dir) override {
    if (!MatchesFileMask(FileNameFromBytes(e.name), pattern_)) return false;
    Rename(dirfd, e.name, dir);
    struct stat st;
    return e.name[0] != '.' && detail::StatAt(dirfd, e.name, false, st) == 0 &&
           (st.st_mode & 0222) != 0;
  }
  void OnError(const std::string& path, int err) override {
    Report(prefix_, path, err, detail::toRead);
  }

 private:
  void Rename(int dirfd, std::string& name, const std::string& dir) {
    const String old_name = FileNameFromBytes(name);
    const String new_name = upper_ ? AnsiUpperCase(old_name) : AnsiLowerCase(old_name);
    if (new_name == old_name) return;
    const std::string to = FileNameToBytes(new_name);
    if (const int err = detail::RenameAtNoReplace(dirfd, name, dirfd, to)) {
      throw EInOutError(u"cannot rename " + FileNameFromBytes(prefix_ + dir + name) + u" to " +
                            new_name + u": " + SysErrorMessage(err),
                        err);
    }
    name = to;
  }
  std::string prefix_;
  StringView pattern_;
  bool upper_;
};

}  // namespace

namespace ZEL_HIDDEN detail {

int ScanFiles(StringView mask, bool subdirs, TStringList* list, TScanFilesFeedback feedback) {
  const std::string dir = FileNameToBytes(HostDirPart(mask));
  const String pattern = HostNamePart(mask);
  ScanVisitor visitor(dir, pattern, list, feedback);
  // The directory part is opened as the kernel resolves it ("ln/.." is the
  // parent of the link's target); below it no link is followed.
  const int fd = detail::OpenDirPath(dir, true);
  if (fd < 0) {
    const int err = errno;
    visitor.OnDir(std::string());
    visitor.OnError(std::string(), err);
    return 0;
  }
  detail::WalkTree(fd, visitor, subdirs);
  return visitor.count();
}

bool TreeDeletionRefused(StringView Dir) {
  const std::string path = BareBytes(Dir);
  if (path.empty()) return false;
  if (path == "/") return true;
  const size_t slash = path.rfind('/');
  const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
  if (last == "." || last == "..") return true;
  struct stat st;
  if (StatAt(AT_FDCWD, path, false, st) != 0 || !S_ISDIR(st.st_mode)) return false;
  struct stat root;
  if (StatAt(AT_FDCWD, "/", false, root) == 0 && SameFileId(st, root)) return true;
  // The current directory or one of its ancestors, by any spelling.
  ScopedFd cwd(OpenDirPath(std::string(), true));
  return cwd.get() >= 0 && DirIsWithin(cwd.get(), st);
}

void ForEachMaskEntry(StringView FileMask, const MaskEntryVisit& Visit) {
  if (FileMask.empty()) return;
  const String dir = HostDirPart(FileMask);
  const String pattern = HostNamePart(FileMask);
  // The directory as the kernel resolves it, links and ".." after them
  // included; the absolute path handed on is checked to lead to it.
  ScopedFd fd(OpenDirPath(FileNameToBytes(dir), true));
  struct stat st, by_path;
  if (fd.get() < 0 || StatFd(fd.get(), st) != 0) {
    ReportTreeProblem(dir, errno, toRead);
    return;
  }
  const String real = RealPath(dir.empty() ? String(u".") : dir);
  if (real.empty() || StatAt(AT_FDCWD, FileNameToBytes(real), true, by_path) != 0 ||
      !SameFileId(st, by_path)) {
    ReportTreeProblem(dir, ESTALE, toRead);
    return;
  }
  std::vector<DirEntry> entries;
  if (const int err = ReadDirEntries(fd.get(), entries)) ReportTreeProblem(dir, err, toRead);
  for (const DirEntry& e : entries) {
    if (e.name[0] == '.' || e.type == DT_DIR) continue;
    TSearchRec rec;
    if (!MatchesFileMask(FileNameFromBytes(e.name), pattern) || !StatSearchRec(fd.get(), e.name, rec) ||
        (rec.Attr & (faDirectory | faVolumeID))) {
      continue;
    }
    Visit(fd.get(), e.name, HostJoin(real, rec.Name), rec);
  }
}

}  // namespace detail

int CopyFileTree(StringView Source, StringView Dest, bool CopyAttribs, TTreeCopyFeedBack FeedBack) {
  detail::StartTreeCopy(FeedBack, CopyAttribs);
  const String src = WithSlash(Source);
  const String dst = WithSlash(Dest);
  if (src == dst) return 0;
  const std::string src8 = FileNameToBytes(src), dst8 = FileNameToBytes(dst);
  detail::ScopedFd src_dir(detail::OpenDirPath(src8, true));
  struct stat sst, dst_st;
  if (src_dir.get() < 0 || detail::StatFd(src_dir.get(), sst) != 0) {
    detail::ReportTreeProblem(src, errno, detail::toRead);
    return 1;
  }
  if (detail::StatAt(AT_FDCWD, BareBytes(dst), true, dst_st) == 0 && detail::SameFileId(sst, dst_st)) {
    return 0;  // the same directory by another name
  }
  // The destination and its missing parents, never through a link.
  detail::ScopedFd dst_dir(detail::MakeDirectoriesFd(dst8));
  if (dst_dir.get() < 0 || detail::StatFd(dst_dir.get(), dst_st) != 0) {
    detail::ReportTreeProblem(dst, errno, detail::toCreate);
    return 1;
  }
  const bool inside = detail::DirIsWithin(dst_dir.get(), sst);
  CopyVisitor visitor(src8, dst8, dst_dir.release(), inside, dst_st);
  detail::WalkTree(src_dir.release(), visitor);
  return visitor.failures();
}

String DelDirTree(StringView Dir) {
  if (Dir.empty()) return String();
  const String with_slash = WithSlash(Dir);
  if (detail::TreeDeletionRefused(Dir)) {
    detail::ReportTreeProblem(String(Dir), 0, detail::toRefused);
    return with_slash;
  }
  const std::string bare = BareBytes(Dir);
  struct stat st;
  if (detail::StatAt(AT_FDCWD, bare, false, st) == 0 && S_ISLNK(st.st_mode)) {
    // The link, never its target.
    const int err = detail::RemoveAt(AT_FDCWD, bare, false);
    if (err == 0) return String();
    detail::ReportTreeProblem(FileNameFromBytes(bare), err, detail::toDelete);
    return FileNameFromBytes(bare);
  }
  detail::ScopedFd dir(detail::OpenDirPath(bare, false));
  if (dir.get() < 0 || detail::StatFd(dir.get(), st) != 0) {
    detail::ReportTreeProblem(with_slash, errno, detail::toDelete);
    return with_slash;
  }
  DeleteVisitor visitor(FileNameToBytes(with_slash));
  detail::WalkTree(dir.release(), visitor);
  if (!visitor.failed().empty()) return visitor.failed();
  if (const int err = detail::RemoveDirPath(bare, st)) {
    detail::ReportTreeProblem(with_slash, err, detail::toDelete);
    return with_slash;
  }
  return String();
}

int DeleteFiles(StringView FileMask) {
  int deleted = 0;
  detail::ForEachMaskEntry(FileMask, [&](int dirfd, const std::string& name, const String& path,
                                          const TSearchRec& rec) {
    if ((rec.Attr & (faReadOnly | faSymLink)) == faReadOnly) return;
    if (const int err = detail::RemoveAt(dirfd, name, false)) {
      detail::ReportTreeProblem(path, err, detail::toDelete);
    } else {
      ++deleted;
    }
  });
  return deleted;
}

void SetAllFilenameCase(StringView FileMask, bool UpperCase) {
  const std::string dir = FileNameToBytes(HostDirPart(FileMask));
  const String pattern = HostNamePart(FileMask);
  const int fd = detail::OpenDirPath(dir, true);
  if (fd < 0) {
    detail::ReportTreeProblem(FileNameFromBytes(dir), errno, detail::toRead);
    return;
  }
  CaseVisitor visitor(dir, pattern, UpperCase);
  detail::WalkTree(fd, visitor);
}

bool DirEmpty(StringView Dir) {
  detail::ScopedFd fd(detail::OpenDirPath(FileNameToBytes(Dir), true));
  if (fd.get() < 0) return true;
  std::vector<DirEntry> first;
  detail::ReadDirEntries(fd.get(), first, 1);
  return first.empty();
}

}  // namespace zel
