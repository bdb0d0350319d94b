// The Windows side of zel/filesys/dirtree.h.  Scans, deletions by mask and
// the emptiness test list directories with FindFirstFileExW
// (zel/platform/hostfs.h) and never enter a reparse point (a link or
// junction).  The walks that change a tree (CopyFileTree, DelDirTree,
// SetAllFilenameCase) need a walker that holds directory handles, so that a
// directory swapped for a junction meanwhile cannot lead outside the tree;
// until it exists they raise "not available on this host".
#include "zel/filesys/dirtree.h"

#include <string>

#include "zel/filesys/internal/maskfiles.h"
#include "zel/filesys/internal/treeproblems.h"
#include "zel/platform/exceptions.h"
#include "zel/platform/export.h"
#include "zel/platform/filename.h"
#include "zel/platform/hostfs.h"

namespace ZEL_EXPORT zel {
namespace {

[[noreturn]] void NotOnThisHost(const char* what) {
  throw Exception(FromUtf8(what) + u" is not available on this host (Windows) yet");
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

int CopyFileTree(StringView, StringView, bool, TTreeCopyFeedBack) { NotOnThisHost("CopyFileTree"); }

String DelDirTree(StringView) { NotOnThisHost("DelDirTree"); }

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

void SetAllFilenameCase(StringView, bool) { NotOnThisHost("SetAllFilenameCase"); }

bool DirEmpty(StringView Dir) {
  TDirSearch search(Dir, u"*", false, true);
  TSearchRec rec;
  return !search.IsOpen() || !search.Next(rec);
}

}  // namespace zel
