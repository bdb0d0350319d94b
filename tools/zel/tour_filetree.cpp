// Tour section of the file system's directory trees: a walk by mask, a file
// copy with its block feedback, a tree copy, deletion and time stamps, all
// in a scratch directory that is removed again.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/zel/cli.h"
#include "zel/filesys/dirtree.h"
#include "zel/filesys/filecopy.h"
#include "zel/filesys/filedates.h"
#include "zel/platform/hostfs.h"
#include "zel/platform/stringlist.h"

namespace zel::cli {
namespace {

std::string feedback_calls;
void NoteCopyFeedback(int64_t done, int64_t size) {
  feedback_calls += (feedback_calls.empty() ? "(" : " (") + std::to_string(done) + ", " +
                    std::to_string(size) + ")";
}

void TourFileTree() {
  TourHeading("filesys", "directory trees: walks, copies, deletion, file dates");
  namespace fs = std::filesystem;
  const std::string root =
      (fs::temp_directory_path() / ("zel-tour-tree-" + std::to_string(::getpid()))).string();
  fs::create_directories(root + "/src/sub");
  fs::create_directories(root + "/src/.cache");
  for (const char* f : {"src/Notes.TXT", "src/readme.txt", "src/data.bin", "src/sub/more.Txt",
                        "src/.cache/x.txt"}) {
    std::ofstream(root + "/" + f) << "text of " << f << '\n';
  }
  std::ofstream(root + "/src/big.dat") << std::string(20000, 'z');
  // A link back to the top, never followed.  A host or user that cannot
  // make links (Windows without the privilege) walks the tree without it.
  std::error_code link_error;
  fs::create_directory_symlink(root + "/src", root + "/src/sub/loop", link_error);
  if (link_error) TourShow("a link in the tree", "none: " + link_error.message());
  const String src = FromUtf8(root + "/src");

  TStringList found;
  ScanFilesToStrList(src + u"/*.txt", true, &found, nullptr);
  std::vector<std::string> names;
  for (int i = 0; i < found.Count(); ++i) names.push_back(ToUtf8(found[i]).substr(root.size() + 1));
  std::sort(names.begin(), names.end());
  std::string list;
  for (const auto& n : names) list += (list.empty() ? "" : ", ") + n;
  TourShow("ScanFilesToStrList(\"src/*.txt\", subdirs) (any case; no hidden dir, no link)", list);
  TourShow("CountFiles(\"src/*\", false)", CountFiles(src + u"/*", false, nullptr));

  TourShow("FileCopyFeedBk(big.dat -> copy.dat)",
           FileCopyFeedBk(src + u"/big.dat", FromUtf8(root + "/copy.dat"), true, NoteCopyFeedback));
  TourShow("  its feedback calls", feedback_calls);
  TourShow("FileCopyFeedBk(\"missing\", ...) (-1: no source)",
           FileCopyFeedBk(FromUtf8(root + "/missing"), FromUtf8(root + "/x"), false, nullptr));
  TourShow("CopyFileTree(src, dst) (failures; the link copied as a link)",
           CopyFileTree(src, FromUtf8(root + "/dst"), true, nullptr));
  if (!link_error) TourShow("  dst/sub/loop is a link", fs::is_symlink(root + "/dst/sub/loop"));
  TourShow("GetFileSize(\"dst/BIG.DAT\") (found without case)",
           GetFileSize(FromUtf8(root + "/dst/BIG.DAT")));

  TourShow("FileTimeToDateTime(94353120000000000)", FileTimeToDateTime(94353120000000000ULL));
  TourShow("DateTimeToFileTime(1.5)", DateTimeToFileTime(1.5));
  SetFileDates(FromUtf8(root + "/copy.dat"), 0, 0, 45000.5);
  TDateTime created, accessed, modified;
  GetFileDates(FromUtf8(root + "/copy.dat"), created, accessed, modified);
  TourShow("modified after SetFileDates(0, 0, 45000.5)", modified);

  TourShow("DelDirTree(dst) (\"\": all gone; the link's target untouched)",
           DelDirTree(FromUtf8(root + "/dst")));
  TourShow("DirExists(dst)", DirExists(FromUtf8(root + "/dst")));
  TourShow("DirExists(src)", DirExists(src));
  TourShow("DirEmpty(src/sub)", DirEmpty(src + u"/sub"));
  DelDirTree(FromUtf8(root));
}

const TourSection kSection(93, TourFileTree);

}  // namespace
}  // namespace zel::cli
