// The Windows side of zel/filesys/dirtree.h.  Scans, deletions by mask and
// the emptiness test list directories with FindFirstFileExW
// (zel/platform/hostfs.h) and never enter a reparse point (a link or
// junction).  The walks that change a tree (CopyFileTree, DelDirTree,
// SetAllFilenameCase) go through the walker on directory handles
// (zel/platform/internal/treewalk_win32.h), so a directory swapped for a
// junction meanwhile cannot lead outside the tree.
#include "zel/filesys/dirtree.h"

#include <cerrno>
#include <string>
#include <vector>

#include "zel/filesys/filecopy.h"
#include "zel/filesys/internal/copyfile.h"
#include "zel/filesys/internal/copyfile_win32.h"
#include "zel/filesys/internal/maskfiles.h"
#include "zel/filesys/internal/treecopy.h"
#include "zel/filesys/internal/treeproblems.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/casemap.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/internal/pathmodel.h"
#include "zel/platform/internal/treewalk_win32.h"
#include "zel/platform/internal/wide_win32.h"
#include "zel/platform/syserror.h"

namespace ZEL_EXPORT zel {
namespace {

using detail::DirEntry;
using detail::tree_copy;

bool IsSep(Char c) { return c == u'\\' || c == u'/'; }

String WithSep(StringView dir) {
  String out(dir);
  if (!out.empty() && !IsSep(out.back())) out += u'\\';
  return out;
}

// A directory path without its trailing separators (but a root's own).
String Bare(StringView dir) {
  String out(dir);
  const size_t keep = std::max<size_t>(1, detail::DrivePrefixLength(out, detail::kHostPath) + 1);
  while (out.size() > keep && IsSep(out.back())) out.pop_back();
  return out;
}

// Copies what the walk of the source meets into a second chain of
// directories on the destination side, created and entered relative to
// each other, so a junction planted in the destination is refused and
// never written through.
class CopyVisitor final : public detail::TreeVisitor {
 public:
  CopyVisitor(String src, String dst, HANDLE dst_dir, const detail::FileIdW& dst_id)
      : src_(std::move(src)), dst_(std::move(dst)), dst_id_(dst_id) {
    chain_.Start(dst_dir);
  }

  int failures() const { return failures_; }

  void OnEntry(HANDLE dir, const DirEntry& e, const String& rel) override {
    tree_copy.current = tree_copy.feedback != nullptr ? dst_ + rel + e.name : String();
    ++tree_copy.count;
    tree_copy.bytes = tree_copy.size = 0;
    const HANDLE to = chain_.Top();
    if (e.kind == detail::dkLink) {
      if (const int err = detail::CopyLinkAt(dir, e.name, to, e.name)) {
        Fail(dst_, rel + e.name, err, detail::toCreate);
      }
    } else {
      errno = 0;
      const int status = detail::CopyFileAtHandles(dir, e.name, to, e.name, tree_copy.copy_attribs,
                                                   detail::ForwardTreeBlock, &tree_copy);
      const int err = errno;
      detail::TreeOp op;
      bool on_source;
      if (detail::TreeCopyFailure(status, op, on_source)) {
        Fail(on_source ? src_ : dst_, rel + e.name, err, op);
      } else if (status == fcAborted) {
        ++failures_;
      }
    }
    if (tree_copy.feedback != nullptr) {
      tree_copy.feedback(tree_copy.bytes, tree_copy.size, tree_copy.current, tree_copy.count);
    }
  }

  bool EnterDir(HANDLE, const DirEntry& e, const detail::FileIdW& id, const String& rel) override {
    // A destination inside the source is left out, or the copy would copy
    // itself without end.
    if (detail::SameFileId(id, dst_id_)) return false;
    bool created = false;
    if (const int err = chain_.PushCreate(e.name, created)) {
      Fail(dst_, rel + e.name + u'\\', err, detail::toCreate);
      return false;
    }
    return true;
  }
  void LeaveDir(HANDLE, const DirEntry& e, const String& rel, bool) override {
    if (const int err = chain_.Pop()) Fail(dst_, rel + e.name + u'\\', err, detail::toCreate);
  }
  void OnError(const String& path, int err) override { Fail(src_, path, err, detail::toRead); }
  bool Stopped() override { return FileCopyingAborted(); }

 private:
  void Fail(const String& prefix, const String& rel, int err, detail::TreeOp op) {
    ++failures_;
    detail::ReportTreeProblem(prefix + rel, err, op);
  }
  String src_, dst_;
  detail::FileIdW dst_id_;
  detail::DirChain chain_;
  int failures_ = 0;
};

// Removes every entry relative to its directory's handle, a directory once
// all of it is gone; stops at the first item that stays.
class DeleteVisitor final : public detail::TreeVisitor {
 public:
  explicit DeleteVisitor(String prefix) : prefix_(std::move(prefix)) {}
  const String& failed() const { return failed_; }

  void OnEntry(HANDLE dir, const DirEntry& e, const String& rel) override {
    detail::EntryInfo info;
    if (detail::StatAt(dir, e.name, info) != 0) return;  // gone meanwhile
    if (info.kind != detail::dkLink && (info.attr & FILE_ATTRIBUTE_READONLY)) {
      Fail(rel + e.name, 0, detail::toReadOnly);
      return;
    }
    const int err = detail::RemoveAt(dir, e.name, false, &info.id);
    if (err != 0 && err != ENOENT) Fail(rel + e.name, err, detail::toDelete);
  }
  void LeaveDir(HANDLE dir, const DirEntry& e, const String& rel, bool complete) override {
    if (!complete || !failed_.empty()) return;
    const int err = dir == nullptr ? ESTALE : detail::RemoveAt(dir, e.name, true);
    if (err != 0 && err != ENOENT) Fail(rel + e.name + u'\\', err, detail::toDelete);
  }
  void OnError(const String& path, int err) override { Fail(path, err, detail::toDelete); }
  bool Stopped() override { return !failed_.empty(); }

 private:
  void Fail(const String& rel, int err, detail::TreeOp op) {
    if (!failed_.empty()) return;
    failed_ = prefix_ + rel;
    detail::ReportTreeProblem(failed_, err, op);
  }
  String prefix_;
  String failed_;
};

class CaseVisitor final : public detail::TreeVisitor {
 public:
  CaseVisitor(String prefix, StringView pattern, bool upper)
      : prefix_(std::move(prefix)), pattern_(pattern), upper_(upper) {}

  void OnEntry(HANDLE dir, const DirEntry& e, const String& rel) override {
    String name = e.name;
    if (MatchesFileMask(name, pattern_)) Rename(dir, name, rel);
  }
  // A matching directory is renamed, and entered when it is a plain one
  // (not hidden, not read-only; links never come here).
  bool WantDir(HANDLE dir, DirEntry& e, const String& rel) override {
    if (!MatchesFileMask(e.name, pattern_)) return false;
    Rename(dir, e.name, rel);
    detail::EntryInfo info;
    return e.name[0] != u'.' && detail::StatAt(dir, e.name, info) == 0 &&
           !(info.attr & FILE_ATTRIBUTE_READONLY);
  }
  void OnError(const String& path, int err) override {
    detail::ReportTreeProblem(prefix_ + path, err, detail::toRead);
  }

 private:
  void Rename(HANDLE dir, String& name, const String& rel) {
    const String new_name = upper_ ? AnsiUpperCase(name) : AnsiLowerCase(name);
    if (new_name == name) return;
    if (const int err = detail::RenameAtNoReplace(dir, name, dir, new_name)) {
      throw EInOutError(u"cannot rename " + prefix_ + rel + name + u" to " + new_name + u": " +
                            SysErrorMessage(err),
                        err);
    }
    name = new_name;
  }
  String prefix_;
  StringView pattern_;
  bool upper_;
};

// True when `path` (a final path) is `dir` or lies below it, letters
// compared without regard to case as the file system does.
bool PathWithin(const String& path, const String& dir) {
  if (path.size() < dir.size()) return false;
  if (AnsiUpperCase(path.substr(0, dir.size())) != AnsiUpperCase(dir)) return false;
  return path.size() == dir.size() || IsSep(path[dir.size()]) || IsSep(dir.back());
}

// Lists (or counts) the files of `dir` (the caller's spelling, with its
// separator, or "") that match `pattern`, and with `subdirs` those below:
// neither hidden directories nor links are entered, and a link to a
// directory is not a file.
void ScanDir(const String& dir, StringView pattern, bool subdirs, TStringList* list,
             TScanFilesFeedback feedback, int& count) {
  if (feedback != nullptr) feedback(dir, count);
  TDirSearch search(dir, u"*", false, true);
  if (!search.IsOpen()) {
    detail::ReportTreeProblem(dir, search.Error(), detail::toRead);
    return;
  }
  std::vector<String> subdirectories;
  for (TSearchRec rec; search.Next(rec);) {
    const bool is_dir = (rec.Attr & faDirectory) != 0;
    if (is_dir) {
      if (subdirs && !(rec.Attr & faSymLink) && rec.Name[0] != u'.') {
        subdirectories.push_back(rec.Name);
      }
      continue;
    }
    if (!MatchesFileMask(rec.Name, pattern)) continue;
    if (list != nullptr) list->Add(dir + rec.Name);
    ++count;
  }
  if (search.Error() != 0) detail::ReportTreeProblem(dir, search.Error(), detail::toRead);
  for (const String& sub : subdirectories) {
    ScanDir(dir + sub + u'\\', pattern, subdirs, list, feedback, count);
  }
}

}  // namespace

namespace ZEL_HIDDEN detail {

int ScanFiles(StringView mask, bool subdirs, TStringList* list, TScanFilesFeedback feedback) {
  int count = 0;
  ScanDir(HostDirPart(mask), HostNamePart(mask), subdirs, list, feedback, count);
  return count;
}

bool TreeDeletionRefused(StringView Dir) {
  const String path = Bare(Dir);
  if (path.empty()) return false;
  const size_t cut = path.find_last_of(u"\\/");
  const String last = cut == String::npos ? path : path.substr(cut + 1);
  if (last == u"." || last == u"..") return true;
  // A root: "\\", "C:\\", "C:", a share's root, by any spelling.
  const size_t prefix = detail::DrivePrefixLength(path, detail::kHostPath);
  if (path.size() == prefix || (path.size() == prefix + 1 && IsSep(path[prefix]))) return true;
  TFileInfo info;
  if (!GetFileInfo(path, info, false) || !(info.Attr & faDirectory) || (info.Attr & faSymLink)) return false;
  const String real = RealPath(path);
  if (real.empty()) return false;
  const String mount = MountPointOf(real);
  if (!mount.empty() && AnsiUpperCase(Bare(mount)) == AnsiUpperCase(Bare(real))) return true;
  // The current directory or one of its ancestors, by any spelling.
  const String cwd = RealPath(u".");
  return !cwd.empty() && PathWithin(cwd, Bare(real));
}

void ForEachMaskEntry(StringView FileMask, const MaskEntryVisit& Visit) {
  if (FileMask.empty()) return;
  const String dir = HostDirPart(FileMask);
  const String pattern = HostNamePart(FileMask);
  const String real = RealPath(dir.empty() ? String(u".") : dir);
  TDirSearch search(real.empty() ? dir : real, pattern, true);
  if (real.empty() || !search.IsOpen()) {
    ReportTreeProblem(dir, real.empty() ? LastOSError() : search.Error(), toRead);
    return;
  }
  for (TSearchRec rec; search.Next(rec);) {
    if (rec.Name[0] == u'.' || (rec.Attr & (faDirectory | faVolumeID))) continue;
    Visit(-1, FileNameToBytes(rec.Name), HostJoin(real, rec.Name), rec);
  }
  if (search.Error() != 0) ReportTreeProblem(dir, search.Error(), toRead);
}

}  // namespace detail

int CopyFileTree(StringView Source, StringView Dest, bool CopyAttribs, TTreeCopyFeedBack FeedBack) {
  detail::StartTreeCopy(FeedBack, CopyAttribs);
  const String src = WithSep(Source);
  const String dst = WithSep(Dest);
  if (src == dst) return 0;
  detail::ScopedHandle src_dir(detail::OpenDirPath(Bare(src), true));
  detail::FileIdW src_id, dst_id;
  if (src_dir.get() == nullptr || detail::IdOfHandle(src_dir.get(), src_id) != 0) {
    detail::ReportTreeProblem(src, errno, detail::toRead);
    return 1;
  }
  {
    detail::ScopedHandle existing(detail::OpenDirPath(Bare(dst), true));
    if (existing.get() != nullptr && detail::IdOfHandle(existing.get(), dst_id) == 0 &&
        detail::SameFileId(src_id, dst_id)) {
      return 0;  // the same directory by another name
    }
  }
  // The destination and its missing parents, never through a link.
  detail::ScopedHandle dst_dir(detail::MakeDirectoriesHandle(Bare(dst)));
  if (dst_dir.get() == nullptr || detail::IdOfHandle(dst_dir.get(), dst_id) != 0) {
    detail::ReportTreeProblem(dst, errno, detail::toCreate);
    return 1;
  }
  CopyVisitor visitor(src, dst, dst_dir.release(), dst_id);
  detail::WalkTree(src_dir.release(), visitor);
  return visitor.failures();
}

String DelDirTree(StringView Dir) {
  if (Dir.empty()) return String();
  const String with_sep = WithSep(Dir);
  if (detail::TreeDeletionRefused(Dir)) {
    detail::ReportTreeProblem(String(Dir), 0, detail::toRefused);
    return with_sep;
  }
  const String bare = Bare(Dir);
  TFileInfo info;
  if (GetFileInfo(bare, info, false) && (info.Attr & faSymLink)) {
    // The link, never its target.
    if (DeleteFile(bare)) return String();
    detail::ReportTreeProblem(bare, LastOSError(), detail::toDelete);
    return bare;
  }
  detail::ScopedHandle dir(detail::OpenDirPath(bare, false));
  detail::FileIdW id;
  if (dir.get() == nullptr || detail::IdOfHandle(dir.get(), id) != 0) {
    detail::ReportTreeProblem(with_sep, errno, detail::toDelete);
    return with_sep;
  }
  DeleteVisitor visitor(with_sep);
  // The walk gets its own handle: this one removes the directory at the
  // end, relative to nothing but itself.
  HANDLE walk = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), dir.get(), GetCurrentProcess(), &walk, 0, FALSE,
                       DUPLICATE_SAME_ACCESS)) {
    detail::ReportTreeProblem(with_sep, detail::ErrnoOfWindowsError(GetLastError()), detail::toDelete);
    return with_sep;
  }
  detail::WalkTree(walk, visitor);
  if (!visitor.failed().empty()) return visitor.failed();
  if (const int err = detail::RemoveDirPath(bare, id)) {
    detail::ReportTreeProblem(with_sep, err, detail::toDelete);
    return with_sep;
  }
  return String();
}

int DeleteFiles(StringView FileMask) {
  int deleted = 0;
  detail::ForEachMaskFile(FileMask, [&](const String& path, const TSearchRec& rec) {
    if ((rec.Attr & (faReadOnly | faSymLink)) == faReadOnly) return;
    if (DeleteFile(path)) {
      ++deleted;
    } else {
      detail::ReportTreeProblem(path, LastOSError(), detail::toDelete);
    }
  });
  return deleted;
}

void SetAllFilenameCase(StringView FileMask, bool UpperCase) {
  const String dir = HostDirPart(FileMask);
  const String pattern = HostNamePart(FileMask);
  const HANDLE h = detail::OpenDirPath(dir, true);
  if (h == nullptr) {
    detail::ReportTreeProblem(dir, errno, detail::toRead);
    return;
  }
  CaseVisitor visitor(dir, pattern, UpperCase);
  detail::WalkTree(h, visitor);
}

bool DirEmpty(StringView Dir) {
  TDirSearch search(Dir, u"*", false, true);
  TSearchRec rec;
  return !search.IsOpen() || !search.Next(rec);
}

}  // namespace zel
