#include "zel/filesys/dirtree.h"

#include <errno.h>

#include <vector>

#include "zel/filesys/filecopy.h"
#include "zel/filesys/internal/copyfile.h"
#include "zel/filesys/internal/maskfiles.h"
#include "zel/platform/casemap.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/syserror.h"

namespace zel {
namespace {

String WithSlash(StringView dir) {
  String out(dir);
  if (!out.empty() && out.back() != u'/') out += u'/';
  return out;
}

String WithoutSlash(StringView dir) {
  String out(dir);
  while (out.size() > 1 && out.back() == u'/') out.pop_back();
  return out;
}

// A directory a walk enters: not a link, not hidden.
bool Walkable(uint32_t attr) { return (attr & faDirectory) && !(attr & (faSymLink | faHidden)); }

// One directory of a scan: its matching files, then its subdirectories.
void ScanStep(const String& dir, StringView pattern, bool subdirs, TStringList* list,
              TScanFilesFeedback feedback, int& count) {
  if (feedback != nullptr) feedback(dir, count);
  std::vector<String> below;
  TDirSearch search(dir, pattern, false, subdirs);
  TSearchRec rec;
  while (search.Next(rec)) {
    if (rec.Attr & faDirectory) {
      if (subdirs && Walkable(rec.Attr)) below.push_back(rec.Name);
      continue;
    }
    if (list != nullptr) list->Add(dir + rec.Name);
    ++count;
  }
  for (const String& name : below) {
    ScanStep(dir + name + u'/', pattern, subdirs, list, feedback, count);
  }
}

int Scan(StringView mask, bool subdirs, TStringList* list, TScanFilesFeedback feedback) {
  int count = 0;
  ScanStep(HostDirPart(mask), HostNamePart(mask), subdirs, list, feedback, count);
  return count;
}

// --- tree copy ------------------------------------------------------------

// The running tree copy's progress figures (one tree copy at a time).
struct TreeCopyState {
  TTreeCopyFeedBack feedback = nullptr;
  bool copy_attribs = false;
  String current;
  int count = 0;
  int64_t bytes = 0;
  int64_t size = 0;
  bool skip_dest = false;  // the destination lies inside the source
  uint64_t dest_dev = 0, dest_ino = 0;
};
TreeCopyState tree;

void ForwardBlock(void* ctx, int64_t done, int64_t size) {
  auto& t = *static_cast<TreeCopyState*>(ctx);
  t.bytes = done;
  t.size = size;
  if (t.feedback != nullptr) t.feedback(done, size, t.current, t.count);
}

bool CopyLink(const String& from, const String& to) {
  String target;
  if (!ReadSymLink(from, target)) return false;
  if (CreateSymLink(target, to)) return true;
  TFileInfo info;
  // An earlier copy's link is replaced; anything else stays.
  return LastOSError() == EEXIST && GetFileInfo(to, info, false) && (info.Attr & faSymLink) &&
         DeleteFile(to) && CreateSymLink(target, to);
}

int CopyDir(const String& src, const String& dst) {
  if (!ForceDirectories(dst)) return 1;
  TDirSearch search(src, u"*");
  if (!search.IsOpen()) return 1;
  int failures = 0;
  TSearchRec rec;
  while (!FileCopyingAborted() && search.Next(rec)) {
    const String from = src + rec.Name;
    const String to = dst + rec.Name;
    if (rec.Attr & faSymLink) {
      tree.current = to;
      ++tree.count;
      tree.bytes = tree.size = 0;
      if (!CopyLink(from, to)) ++failures;
      if (tree.feedback != nullptr) tree.feedback(0, 0, tree.current, tree.count);
    } else if (rec.Attr & faDirectory) {
      if (tree.skip_dest) {
        TFileInfo info;
        if (GetFileInfo(from, info, false) && info.Device == tree.dest_dev &&
            info.Inode == tree.dest_ino) {
          continue;
        }
      }
      failures += CopyDir(from + u'/', to + u'/');
    } else {
      tree.current = to;
      ++tree.count;
      tree.bytes = tree.size = 0;
      const int status =
          detail::CopyOneFile(from, to, tree.copy_attribs, ForwardBlock, &tree, false);
      if (status != fcOK) ++failures;
      if (tree.feedback != nullptr) tree.feedback(tree.bytes, tree.size, tree.current, tree.count);
    }
  }
  if (search.Error() != 0) ++failures;
  return failures;
}

// --- deletion -------------------------------------------------------------

String DelTree(const String& dir) {
  {
    TDirSearch search(dir, u"*", true);
    TSearchRec rec;
    while (search.Next(rec)) {
      const String path = dir + rec.Name;
      if ((rec.Attr & faDirectory) && !(rec.Attr & faSymLink)) {
        String failed = DelTree(path + u'/');
        if (!failed.empty()) return failed;
      } else if ((rec.Attr & (faReadOnly | faSymLink)) == faReadOnly || !DeleteFile(path)) {
        return path;
      }
    }
  }
  return RemoveDir(dir) ? String() : dir;
}

void CaseStep(const String& dir, StringView pattern, bool upper) {
  TDirSearch search(dir, pattern, true);
  TSearchRec rec;
  while (search.Next(rec)) {
    const String name = upper ? AnsiUpperCase(rec.Name) : AnsiLowerCase(rec.Name);
    if (name != rec.Name && !RenameNoReplace(dir + rec.Name, dir + name)) {
      const int err = LastOSError();
      throw EInOutError(u"cannot rename " + dir + rec.Name + u" to " + name + u": " +
                            SysErrorMessage(err),
                        err);
    }
    if (rec.Attr == faDirectory) CaseStep(dir + name + u'/', pattern, upper);
  }
}

}  // namespace

namespace detail {

void ForEachMaskFile(StringView FileMask,
                     const std::function<void(const String& Path, const TSearchRec& Rec)>& Visit) {
  if (FileMask.empty()) return;
  const String mask = ExpandFileName(FileMask);
  const String dir = HostDirPart(mask);
  TDirSearch search(dir, HostNamePart(mask), true);
  TSearchRec rec;
  while (search.Next(rec)) {
    if (rec.Name[0] == u'.' || (rec.Attr & (faDirectory | faVolumeID))) continue;
    Visit(dir + rec.Name, rec);
  }
}

}  // namespace detail

void ScanFilesToStrList(StringView FileMask, bool IncludeSubDirs, TStringList* List,
                        TScanFilesFeedback FeedBack) {
  if (List == nullptr) return;
  Scan(FileMask, IncludeSubDirs, List, FeedBack);
}

int CountFiles(StringView FileMask, bool IncludeSubDirs, TScanFilesFeedback FeedBack) {
  return Scan(FileMask, IncludeSubDirs, nullptr, FeedBack);
}

int CopyFileTree(StringView Source, StringView Dest, bool CopyAttribs, TTreeCopyFeedBack FeedBack) {
  tree = TreeCopyState{};
  tree.feedback = FeedBack;
  tree.copy_attribs = CopyAttribs;
  detail::ClearAbortSwitch();
  const String src = WithSlash(Source);
  const String dst = WithSlash(Dest);
  if (src == dst) return 0;
  TFileInfo sinfo, dinfo;
  if (!GetFileInfo(src, sinfo) || !(sinfo.Attr & faDirectory)) return 1;
  if (GetFileInfo(dst, dinfo) && dinfo.Device == sinfo.Device && dinfo.Inode == sinfo.Inode) {
    return 0;
  }
  if (!ForceDirectories(dst) || !GetFileInfo(dst, dinfo)) return 1;
  // A destination inside the source is left out, or the copy would copy
  // itself without end.
  const String real_src = WithSlash(RealPath(src));
  const String real_dst = RealPath(dst);
  if (real_dst.compare(0, real_src.size(), real_src) == 0) {
    tree.skip_dest = true;
    tree.dest_dev = dinfo.Device;
    tree.dest_ino = dinfo.Inode;
  }
  return CopyDir(src, dst);
}

String DelDirTree(StringView Dir) {
  if (Dir.empty()) return String();
  const String bare = WithoutSlash(Dir);
  TFileInfo info;
  if (GetFileInfo(bare, info, false) && (info.Attr & faSymLink)) {
    return DeleteFile(bare) ? String() : bare;  // the link, never its target
  }
  return DelTree(WithSlash(Dir));
}

int DeleteFiles(StringView FileMask) {
  int deleted = 0;
  detail::ForEachMaskFile(FileMask, [&](const String& path, const TSearchRec& rec) {
    if ((rec.Attr & (faReadOnly | faSymLink)) != faReadOnly && DeleteFile(path)) ++deleted;
  });
  return deleted;
}

void SetAllFilenameCase(StringView FileMask, bool UpperCase) {
  CaseStep(HostDirPart(FileMask), HostNamePart(FileMask), UpperCase);
}

bool DirEmpty(StringView Dir) {
  TDirSearch search(Dir, u"*");
  TSearchRec rec;
  return !search.Next(rec);
}

bool DirExists(StringView Dir) {
  TFileInfo info;
  return !Dir.empty() && GetFileInfo(Dir, info) && (info.Attr & faDirectory);
}

bool DirIsReadOnly(StringView Dir) {
  TFileInfo info;
  if (GetFileInfo(Dir, info) && (info.Attr & faReadOnly)) return true;
  return !CanCreateFileIn(Dir);
}

}  // namespace zel
