#include "zel/filesys/dirtree.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "zel/filesys/filecopy.h"
#include "zel/filesys/internal/maskfiles.h"
#include "zel/filesys/internal/treeproblems.h"
#include "zel/platform/exceptions.h"
#include "zel/testutil/tempdir.h"
#ifndef _WIN32
#include "zel/testutil/deeptree.h"
#include "zel/testutil/unprivileged.h"
#endif

namespace zel {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

#ifndef _WIN32
// POSIX hosts: links of every kind in the trees, names that differ in case
// alone, FIFOs, descriptor limits and swaps by renameat2.

// A tree with every kind of entry a walk meets:
//   a.txt  A.txt (differs only in case)  B.TXT  c.dat  empty.txt (0 bytes)
//   .hidden.txt  filelink.txt -> a.txt
//   loop -> .            (a link to a directory inside: a loop)
//   out -> <outside>     (a link to a directory outside, holding x.txt)
//   .git/g.txt           (a hidden directory)
//   sub/d.Txt  sub/e.bin  sub/deeper/f.txt
class DirTreeTest : public ::testing::Test, protected testutil::TempDir {
 protected:
  DirTreeTest() : TempDir("dirtree"), outside_("dirtree_out") {
    fs::create_directories(Dir() + "/t/sub/deeper");
    fs::create_directories(Dir() + "/t/.git");
    for (const char* f : {"a.txt", "A.txt", "B.TXT", "c.dat", ".hidden.txt", "sub/d.Txt",
                          "sub/e.bin", "sub/deeper/f.txt", ".git/g.txt"}) {
      Put(std::string("t/") + f, std::string("data of ") + f);
    }
    Put("t/empty.txt", "");
    outside_.Put("x.txt", "outside");
    fs::create_symlink("a.txt", Dir() + "/t/filelink.txt");
    fs::create_symlink(".", Dir() + "/t/loop");
    fs::create_symlink(outside_.Dir(), Dir() + "/t/out");
  }
  String T(const std::string& rel = "") const { return Path("t/" + rel); }
  // The list's entries relative to `base`, sorted.
  static Names Rel(const TStringList& list, const std::string& base) {
    Names out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(ToUtf8(list[i]).substr(base.size()));
    std::sort(out.begin(), out.end());
    return out;
  }
  // Every entry below `dir`, links not followed: "name", "dir/", "link -> target".
  static Names Listing(const std::string& dir) {
    Names out;
    for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator();
         ++it) {
      const std::string rel = it->path().lexically_relative(dir).string();
      if (it->is_symlink()) {
        out.push_back(rel + " -> " + fs::read_symlink(it->path()).string());
      } else if (it->is_directory()) {
        out.push_back(rel + "/");
      } else {
        out.push_back(rel);
      }
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  testutil::TempDir outside_;
};

TEST_F(DirTreeTest, ScanMatchesWithoutCaseAndNeverFollowsDirectoryLinks) {
  const std::string base = Dir() + "/t/";
  struct Case {
    const char* mask;
    bool subdirs;
    Names want;
  } cases[] = {
      {"*.txt", false, {".hidden.txt", "A.txt", "B.TXT", "a.txt", "empty.txt", "filelink.txt"}},
      {"*.TXT", true,
       {".hidden.txt", "A.txt", "B.TXT", "a.txt", "empty.txt", "filelink.txt", "sub/d.Txt",
        "sub/deeper/f.txt"}},
      {"?.DAT", true, {"c.dat"}},
      {"*.*", true,
       {".hidden.txt", "A.txt", "B.TXT", "a.txt", "c.dat", "empty.txt", "filelink.txt", "sub/d.Txt",
        "sub/deeper/f.txt", "sub/e.bin"}},
      {"e", true, {}},  // no such name: "e.bin" is not "e"
      {"e.*", true, {"sub/e.bin"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    TStringList list;
    list.Add(u"kept");  // the list is not cleared
    ScanFilesToStrList(FromUtf8(base + c.mask), c.subdirs, &list, nullptr);
    ASSERT_GE(list.Count(), 1);
    EXPECT_EQ(list[0], u"kept");
    list.Delete(0);
    EXPECT_EQ(Rel(list, base), c.want);
    EXPECT_EQ(CountFiles(FromUtf8(base + c.mask), c.subdirs, nullptr),
              static_cast<int>(c.want.size()));
  }
}

std::vector<std::pair<std::string, int>> visits;
void RecordVisit(const String& dir, int count) { visits.emplace_back(ToUtf8(dir), count); }

TEST_F(DirTreeTest, ScanFeedbackGetsEachDirectoryBeforeItsFiles) {
  visits.clear();
  const std::string base = Dir() + "/t/";
  EXPECT_EQ(CountFiles(FromUtf8(base + "*.txt"), true, RecordVisit), 8);
  ASSERT_EQ(visits.size(), 3u);  // t/, sub/, sub/deeper/: no loop/, out/ or .git/
  EXPECT_EQ(visits[0], std::make_pair(base, 0));
  EXPECT_EQ(visits[1], std::make_pair(base + "sub/", 6));
  EXPECT_EQ(visits[2], std::make_pair(base + "sub/deeper/", 7));
  TStringList* none = nullptr;
  ScanFilesToStrList(FromUtf8(base + "*"), true, none, RecordVisit);  // does nothing
  EXPECT_EQ(visits.size(), 3u);
}

int tree_calls = 0, last_count = 0;
void CountTreeCalls(int64_t, int64_t, const String&, int count) {
  ++tree_calls;
  last_count = count;
}

TEST_F(DirTreeTest, CopyTreeCopiesFilesAndLinksAsLinks) {
  tree_calls = 0;
  EXPECT_EQ(CopyFileTree(T(), Path("copy/of/t"), true, CountTreeCalls), 0);
  Names want = Listing(Dir() + "/t");
  EXPECT_EQ(Listing(Dir() + "/copy/of/t"), want);
  for (const char* f : {"a.txt", "A.txt", "empty.txt", "sub/deeper/f.txt", ".git/g.txt"}) {
    EXPECT_EQ(Bytes(std::string("copy/of/t/") + f), Bytes(std::string("t/") + f)) << f;
  }
  EXPECT_EQ(last_count, 13);  // 10 files (hidden ones too) and 3 links
  EXPECT_GE(tree_calls, 10 * 4 + 3);
  EXPECT_EQ(outside_.Bytes("x.txt"), "outside");
}

TEST_F(DirTreeTest, CopyTreeSameDirectoryAndDestinationInsideSource) {
  const Names before = Listing(Dir() + "/t");
  // The same directory by another spelling: nothing happens.
  EXPECT_EQ(CopyFileTree(T(), FromUtf8(Dir() + "/t/./sub/.."), false, nullptr), 0);
  EXPECT_EQ(Listing(Dir() + "/t"), before);
  // Names differing only in case are different directories on this host.
  fs::create_directory(Dir() + "/T");
  EXPECT_EQ(CopyFileTree(T(), Path("T"), false, nullptr), 0);
  EXPECT_EQ(Listing(Dir() + "/T"), before);
  // A destination inside the source is copied once, not into itself.
  EXPECT_EQ(CopyFileTree(T(), T("sub/copy"), false, nullptr), 0);
  Names inner = Listing(Dir() + "/t/sub/copy");
  Names want = before;
  want.erase(std::remove_if(want.begin(), want.end(),
                            [](const std::string& s) { return s.rfind("sub/copy", 0) == 0; }),
             want.end());
  EXPECT_EQ(inner, want);
}

TEST_F(DirTreeTest, CopyTreeGoesOnPastFailuresAndCountsThem) {
  ASSERT_EQ(mkfifo((Dir() + "/t/pipe").c_str(), 0600), 0);  // no data to copy, must not block
  EXPECT_EQ(CopyFileTree(T(), Path("c"), false, nullptr), 1);
  EXPECT_EQ(Bytes("c/sub/deeper/f.txt"), "data of sub/deeper/f.txt");
  EXPECT_FALSE(fs::exists(Dir() + "/c/pipe"));
  EXPECT_EQ(CopyFileTree(Path("missing"), Path("c2"), false, nullptr), 1);
  EXPECT_FALSE(fs::exists(Dir() + "/c2"));
}

// Aborts inside the large file, after its first block.
void AbortInLargeFile(int64_t done, int64_t size, const String&, int) {
  if (size > 8192 && done >= 8192) AbortAnyFileCopying();
}

TEST_F(DirTreeTest, CopyTreeAbortedFromFeedbackStopsAndLeavesNoPartialFile) {
  fs::create_directories(Dir() + "/s/sub");
  Put("s/large", std::string(100000, 'x'));
  Put("s/sub/small", "small");
  EXPECT_EQ(CopyFileTree(Path("s"), Path("c"), false, AbortInLargeFile), 1);
  EXPECT_FALSE(fs::exists(Dir() + "/c/large"));
  // Whatever the listing order, nothing is copied after the abort.
  for (const auto& e : fs::recursive_directory_iterator(Dir() + "/c")) {
    if (e.is_regular_file()) {
      EXPECT_EQ(e.path().filename(), "small");
    }
  }
}

TEST_F(DirTreeTest, DelDirTreeRemovesLinksNeverTheirTargets) {
  EXPECT_EQ(DelDirTree(T()), u"");
  EXPECT_FALSE(fs::exists(Dir() + "/t"));
  EXPECT_EQ(outside_.Bytes("x.txt"), "outside");
  // A link given as the tree itself: the link goes, the directory stays.
  fs::create_directory_symlink(outside_.Dir(), Dir() + "/dirlink");
  EXPECT_EQ(DelDirTree(Path("dirlink/")), u"");
  EXPECT_FALSE(fs::is_symlink(Dir() + "/dirlink"));
  EXPECT_EQ(outside_.Bytes("x.txt"), "outside");
  EXPECT_EQ(DelDirTree(u""), u"");
  EXPECT_EQ(DelDirTree(Path("missing")), Path("missing/"));
}

TEST_F(DirTreeTest, DelDirTreeLeavesReadOnlyFileAndReportsIt) {
  // Read-only by its mode bits: left in place whoever runs this (root too).
  Put("t/sub/deeper/ro.txt", "precious");
  chmod((Dir() + "/t/sub/deeper/ro.txt").c_str(), 0444);
  EXPECT_EQ(DelDirTree(T()), T("sub/deeper/ro.txt"));
  EXPECT_EQ(Bytes("t/sub/deeper/ro.txt"), "precious");
  EXPECT_TRUE(fs::exists(Dir() + "/t/sub/deeper"));
}

TEST_F(DirTreeTest, DeleteFilesSkipsDirectoriesDotNamesAndReadOnlyFiles) {
  chmod((Dir() + "/t/c.dat").c_str(), 0444);
  EXPECT_EQ(DeleteFiles(T("*.*")), 5);  // a.txt A.txt B.TXT empty.txt filelink.txt
  Names left;
  for (const auto& e : fs::directory_iterator(Dir() + "/t")) left.push_back(e.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (Names{".git", ".hidden.txt", "c.dat", "loop", "out", "sub"}));
  EXPECT_EQ(DeleteFiles(T("SUB/*.TXT")), 0);  // the directory part is a path: taken as given
  EXPECT_EQ(DeleteFiles(T("sub/*.TXT")), 1);
}

TEST_F(DirTreeTest, SetAllFilenameCaseRenamesAndRefusesToReplace) {
  fs::remove_all(Dir() + "/t");
  fs::create_directories(Dir() + "/t/Sub");
  Put("t/Abc.txt", "1");
  Put("t/Sub/dEf.Txt", "2");
  Put("t/Sub/keep.bin", "3");
  SetAllFilenameCase(T("*.txt"), true);  // "Sub" does not match, so is not entered
  EXPECT_EQ(Listing(Dir() + "/t"), (Names{"ABC.TXT", "Sub/", "Sub/dEf.Txt", "Sub/keep.bin"}));
  SetAllFilenameCase(T("*"), false);
  EXPECT_EQ(Listing(Dir() + "/t"), (Names{"abc.txt", "sub/", "sub/def.txt", "sub/keep.bin"}));
  // Lower-casing "ABC.TXT" would replace the other file of that name.
  Put("t/ABC.TXT", "other");
  EXPECT_THROW(SetAllFilenameCase(T("ABC.TXT"), false), EInOutError);
  EXPECT_EQ(Bytes("t/abc.txt"), "1");
  EXPECT_EQ(Bytes("t/ABC.TXT"), "other");
}

TEST_F(DirTreeTest, DirectoryTests) {
  fs::create_directory(Dir() + "/empty");
  fs::create_directory(Dir() + "/locked");
  Put("locked/$%$LO%$.$$$", "a user's file");
  chmod((Dir() + "/locked").c_str(), 0555);
  struct Case {
    std::string path;
    bool empty, exists, read_only;
  } cases[] = {
      {"empty", true, true, false},
      {"t", false, true, false},
      {"t/out", false, true, false},  // a link to a directory
      {"t/a.txt", true, false, true},  // a file: no directory to list or create in
      {"missing", true, false, true},
      {"locked", false, true, true},  // no write bit, for root as well
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(DirEmpty(Path(c.path)), c.empty);
    EXPECT_EQ(DirExists(Path(c.path)), c.exists);
    EXPECT_EQ(DirIsReadOnly(Path(c.path)), c.read_only);
  }
  EXPECT_FALSE(DirExists(u""));
  EXPECT_EQ(Bytes("locked/$%$LO%$.$$$"), "a user's file");
  EXPECT_TRUE(DirEmpty(Path("empty")));  // the probe left nothing behind
  chmod((Dir() + "/locked").c_str(), 0755);
}

// --- races, refusals, depth and links -------------------------------------

// Swaps each directory `t/subN` with the link `t/swapN` again and again
// until stopped, as another user who may write in the tree could.  The
// operation under test starts once the swapping is under way.
class Swapper {
 public:
  Swapper(const std::string& t, int pairs) {
    for (int i = 0; i < pairs; ++i) {
      names_.emplace_back(t + "/sub" + std::to_string(i), t + "/swap" + std::to_string(i));
    }
    thread_ = std::thread([this] {
      while (!stop_.load()) {
        for (const auto& [a, b] : names_) {
          syscall(SYS_renameat2, AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), 2 /* RENAME_EXCHANGE */);
        }
        swaps_.fetch_add(1);
      }
    });
    while (swaps_.load() < 20) std::this_thread::yield();
  }
  ~Swapper() {
    stop_.store(true);
    thread_.join();
  }

 private:
  std::vector<std::pair<std::string, std::string>> names_;
  std::atomic<bool> stop_{false};
  std::atomic<int> swaps_{0};
  std::thread thread_;
};

// Every regular file below `dir`, links not followed.
Names RegularFiles(const std::string& dir) {
  Names out;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir, ec); it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_regular_file() && !it->is_symlink()) out.push_back(it->path().filename());
  }
  return out;
}

TEST(DirTreeRace, DeletionAndCopyNeverLeaveTheTreeWhateverIsSwappedIn) {
  testutil::TempDir dir("dirtree_race");
  const std::string outside = dir.Dir() + "/outside";
  fs::create_directories(outside);
  for (int i = 0; i < 16; ++i) dir.Put("outside/secret" + std::to_string(i), "secret");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int trials = 0;
  for (; trials < 200 && std::chrono::steady_clock::now() < deadline; ++trials) {
    const std::string t = dir.Dir() + "/t";
    for (int i = 0; i < 4; ++i) {
      const std::string n = std::to_string(i);
      fs::create_directories(t + "/sub" + n + "/inner");
      dir.Put("t/sub" + n + "/f", "mine");
      dir.Put("t/sub" + n + "/inner/g", "mine");
      fs::create_directory_symlink(outside, t + "/swap" + n);
    }
    {
      Swapper swapper(t, 4);
      if (trials % 2 == 0) {
        DelDirTree(FromUtf8(t));
      } else {
        CopyFileTree(FromUtf8(t), FromUtf8(dir.Dir() + "/copy"), false, nullptr);
      }
    }
    ASSERT_EQ(RegularFiles(outside).size(), 16u) << "trial " << trials;
    for (const std::string& name : RegularFiles(dir.Dir() + "/copy")) {
      ASSERT_EQ(name.rfind("secret", 0), std::string::npos) << "trial " << trials;
    }
    fs::remove_all(t);
    fs::remove_all(dir.Dir() + "/copy");
  }
  EXPECT_GE(trials, 20);
}

TEST(DirTreeRefusal, RootCurrentDirectoryAndItsAncestorsByAnySpelling) {
  testutil::TempDir dir("dirtree_refuse");
  fs::create_directories(dir.Dir() + "/a/b/cwd");
  fs::create_directories(dir.Dir() + "/other");
  fs::create_symlink(dir.Dir() + "/a", dir.Dir() + "/link_to_a");
  const std::string saved = fs::current_path();
  fs::current_path(dir.Dir() + "/a/b/cwd");
  struct Case {
    std::string path;
    bool refused;
  } cases[] = {
      {"/", true},  {"//", true},      {".", true},    {"./", true},      {"..", true},
      {"../..", true}, {"x/..", true}, {"/tmp/..", true}, {dir.Dir() + "/a/b/cwd", true},
      {dir.Dir() + "/a", true}, {dir.Dir() + "/a/b/", true}, {dir.Dir(), true},
      {dir.Dir() + "/other", false}, {dir.Dir() + "/missing", false},
      {dir.Dir() + "/link_to_a", false},  // only the link would go
      {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(detail::TreeDeletionRefused(FromUtf8(c.path)), c.refused) << c.path;
  }
  fs::current_path(saved);
}

TEST(DirTreeRefusal, DeletingDotOrDotDotLeavesEverything) {
  testutil::TempDir dir("dirtree_refuse");
  fs::create_directories(dir.Dir() + "/a/cwd");
  dir.Put("a/keep", "k");
  dir.Put("a/cwd/keep", "k");
  // In a child, so a broken refusal could only empty this scratch tree.
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (chdir((dir.Dir() + "/a/cwd").c_str()) != 0) _exit(10);
    detail::TreeProblemLog log;
    if (DelDirTree(u".") != u"./") _exit(11);
    if (DelDirTree(u"..") != u"../") _exit(12);
    if (DelDirTree(u"../cwd/..") != u"../cwd/../") _exit(13);
    if (log.Problems().size() != 3 || log.Problems()[0].Op != detail::toRefused) _exit(14);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(Names(RegularFiles(dir.Dir()).size(), ""), Names(2, ""));
  EXPECT_EQ(DelDirTree(FromUtf8(dir.Dir() + "/a")), u"");
}

TEST(DirTreeLinks, ALinkInTheDestinationIsRefusedNotWrittenThrough) {
  testutil::TempDir dir("dirtree_links");
  fs::create_directories(dir.Dir() + "/src/sub");
  fs::create_directories(dir.Dir() + "/dst");
  fs::create_directories(dir.Dir() + "/victim");
  dir.Put("src/sub/f", "data");
  dir.Put("src/top", "data");
  fs::create_directory_symlink(dir.Dir() + "/victim", dir.Dir() + "/dst/sub");
  detail::TreeProblemLog log;
  EXPECT_EQ(CopyFileTree(dir.Path("src"), dir.Path("dst"), false, nullptr), 1);
  EXPECT_TRUE(fs::is_empty(dir.Dir() + "/victim"));
  EXPECT_EQ(dir.Bytes("dst/top"), "data");
  ASSERT_EQ(log.Problems().size(), 1u);
  EXPECT_EQ(log.Problems()[0].Path, dir.Path("dst/sub/"));
  EXPECT_EQ(log.Problems()[0].Op, detail::toCreate);
  EXPECT_EQ(log.Problems()[0].Error, ENOTDIR);
  // A link on the path the caller names is followed, as `cp -r` does.
  EXPECT_EQ(CopyFileTree(dir.Path("src"), dir.Path("dst/sub/deeper"), false, nullptr), 0);
  EXPECT_EQ(dir.Bytes("victim/deeper/sub/f"), "data");
}

TEST(DirTreeLinks, MaskDirectoryResolvesDotDotAfterALinkAsTheKernelDoes) {
  testutil::TempDir dir("dirtree_mask");
  fs::create_directories(dir.Dir() + "/real/deep");
  fs::create_directory_symlink(dir.Dir() + "/real/deep", dir.Dir() + "/ln");
  dir.Put("real/data.tmp", "in real");
  dir.Put("data.tmp", "beside ln");
  std::vector<std::string> paths;
  detail::ForEachMaskFile(dir.Path("ln/../*.TMP"), [&](const String& path, const TSearchRec&) {
    paths.push_back(ToUtf8(path));
  });
  EXPECT_EQ(paths, (Names{fs::canonical(dir.Dir()).string() + "/real/data.tmp"}));
  EXPECT_EQ(CountFiles(dir.Path("ln/../*.tmp"), false, nullptr), 1);
  EXPECT_EQ(DeleteFiles(dir.Path("ln/../*.tmp")), 1);
  EXPECT_FALSE(fs::exists(dir.Dir() + "/real/data.tmp"));
  EXPECT_EQ(dir.Bytes("data.tmp"), "beside ln");
}

TEST(DirTreeLinks, DanglingLinksAreLinksNotFiles) {
  testutil::TempDir dir("dirtree_dangling");
  fs::create_directories(dir.Dir() + "/t/sub");
  dir.Put("t/f.txt", "f");
  fs::create_symlink("missing.txt", dir.Dir() + "/t/dangling.txt");
  fs::create_symlink("missing.txt", dir.Dir() + "/t/sub/dangling2.txt");
  TStringList list;
  ScanFilesToStrList(dir.Path("t/*.txt"), true, &list, nullptr);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], dir.Path("t/f.txt"));
  EXPECT_EQ(CopyFileTree(dir.Path("t"), dir.Path("c"), true, nullptr), 0);
  EXPECT_TRUE(fs::is_symlink(dir.Dir() + "/c/sub/dangling2.txt"));
  EXPECT_EQ(fs::read_symlink(dir.Dir() + "/c/dangling.txt"), "missing.txt");
  EXPECT_EQ(DeleteFiles(dir.Path("t/*.txt")), 2);  // removed as links
  EXPECT_EQ(DelDirTree(dir.Path("t")), u"");
}

TEST(DirTreeProblems, EachItemThatCannotBeReadIsNamedWithItsReason) {
  testutil::TempDir dir("dirtree_problems");
  fs::create_directories(dir.Dir() + "/src/locked");
  dir.Put("src/locked/x", "x");
  dir.Put("src/ok", "ok");
  chmod((dir.Dir() + "/src/locked").c_str(), 0);
  testutil::Unprivileged user(dir.Dir());  // root reads every directory
  if (!user.Active()) GTEST_SKIP() << user.WhyNot();
  detail::TreeProblemLog log;
  EXPECT_EQ(CopyFileTree(dir.Path("src"), dir.Path("dst"), false, nullptr), 1);
  EXPECT_EQ(CountFiles(dir.Path("src/*"), true, nullptr), 1);
  user.Restore();
  chmod((dir.Dir() + "/src/locked").c_str(), 0755);
  ASSERT_EQ(log.Problems().size(), 2u);
  for (const detail::TreeProblem& p : log.Problems()) {
    EXPECT_EQ(p.Path, dir.Path("src/locked/"));
    EXPECT_EQ(p.Error, EACCES);
    EXPECT_EQ(p.Op, detail::toRead);
  }
  EXPECT_EQ(dir.Bytes("dst/ok"), "ok");
}

// A tree deeper than PATH_MAX, scanned, copied and deleted with at most 20
// descriptors open, in a child so the limit stays there.
TEST(DirTreeDepth, DeepTreesUnderALowDescriptorLimit) {
  testutil::TempDir dir("dirtree_deep");
  constexpr int kDepth = 1500;  // "dd/" each: 4,500 bytes of path
  constexpr int kFiles = kDepth / 250;  // a file every 250 levels (each copy is flushed)
  ASSERT_TRUE(testutil::MakeDeepTree(dir.Dir() + "/src", kDepth, 250));
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const struct rlimit lim{20, 20};
    if (setrlimit(RLIMIT_NOFILE, &lim) != 0) _exit(10);
    detail::TreeProblemLog log;
    if (CountFiles(dir.Path("src/*.TXT"), true, nullptr) != kFiles) _exit(11);
    if (CopyFileTree(dir.Path("src"), dir.Path("copy"), true, nullptr) != 0) _exit(12);
    if (CountFiles(dir.Path("copy/*"), true, nullptr) != kFiles) _exit(13);
    if (!DelDirTree(dir.Path("copy")).empty() || !DelDirTree(dir.Path("src")).empty()) _exit(14);
    if (!log.Problems().empty()) _exit(15);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(fs::is_empty(dir.Dir()));
}

#endif  // !_WIN32

#ifdef _WIN32
// Windows: the same behaviours through the walker on directory handles.
// Names that differ in case alone name one file here, so the tree has
// none; links need a host that can make them (see LinksOrSkip).

// Every entry below `dir`: "name" or "dir/", with "/" between names.
Names ListingW(const std::string& dir) {
  Names out;
  for (auto it = fs::recursive_directory_iterator(dir); it != fs::recursive_directory_iterator(); ++it) {
    const std::string rel = it->path().lexically_relative(dir).generic_string();
    out.push_back(it->is_directory() ? rel + "/" : rel);
  }
  std::sort(out.begin(), out.end());
  return out;
}

// A tree with what a Windows walk meets: a.txt B.TXT c.dat empty.txt
// .hidden.txt, a hidden directory .git/g.txt, sub/d.Txt sub/e.bin
// sub/deeper/f.txt.
class DirTreeWinTest : public ::testing::Test, protected testutil::TempDir {
 protected:
  DirTreeWinTest() : TempDir("dirtree") {
    fs::create_directories(Dir() + "/t/sub/deeper");
    fs::create_directories(Dir() + "/t/.git");
    for (const char* f : {"a.txt", "B.TXT", "c.dat", ".hidden.txt", "sub/d.Txt", "sub/e.bin",
                          "sub/deeper/f.txt", ".git/g.txt"}) {
      Put(std::string("t/") + f, std::string("data of ") + f);
    }
    Put("t/empty.txt", "");
  }
  String T(const std::string& rel = "") const { return Path("t/" + rel); }
};

int tree_calls = 0, last_count = 0;
void CountTreeCalls(int64_t, int64_t, const String&, int count) {
  ++tree_calls;
  last_count = count;
}

TEST_F(DirTreeWinTest, CopyTreeCopiesEveryFileAndDirectory) {
  tree_calls = 0;
  EXPECT_EQ(CopyFileTree(T(), Path("copy/of/t"), true, CountTreeCalls), 0);
  EXPECT_EQ(ListingW(Dir() + "/copy/of/t"), ListingW(Dir() + "/t"));
  for (const char* f : {"a.txt", "empty.txt", "sub/deeper/f.txt", ".git/g.txt"}) {
    EXPECT_EQ(Bytes(std::string("copy/of/t/") + f), Bytes(std::string("t/") + f)) << f;
  }
  EXPECT_EQ(last_count, 9);
  EXPECT_GE(tree_calls, 9 * 3);
  // Copied again over itself: files are replaced, nothing fails.
  Put("t/a.txt", "changed");
  EXPECT_EQ(CopyFileTree(T(), Path("copy/of/t"), false, nullptr), 0);
  EXPECT_EQ(Bytes("copy/of/t/a.txt"), "changed");
}

TEST_F(DirTreeWinTest, CopyTreeSameDirectoryAndDestinationInsideSource) {
  const Names before = ListingW(Dir() + "/t");
  EXPECT_EQ(CopyFileTree(T(), FromUtf8(Dir() + "/t/./sub/.."), false, nullptr), 0);
  EXPECT_EQ(CopyFileTree(T(), FromUtf8(Dir() + "/T"), false, nullptr), 0);  // one name here
  EXPECT_EQ(ListingW(Dir() + "/t"), before);
  EXPECT_EQ(CopyFileTree(T(), T("sub/copy"), false, nullptr), 0);
  Names want = before;
  want.erase(std::remove_if(want.begin(), want.end(),
                            [](const std::string& s) { return s.rfind("sub/copy", 0) == 0; }),
             want.end());
  EXPECT_EQ(ListingW(Dir() + "/t/sub/copy"), want);
}

void AbortInLargeFile(int64_t done, int64_t size, const String&, int) {
  if (size > 8192 && done >= 8192) AbortAnyFileCopying();
}

TEST_F(DirTreeWinTest, CopyTreeFailuresAndAbortAreCounted) {
  detail::TreeProblemLog log;
  EXPECT_EQ(CopyFileTree(Path("missing"), Path("c2"), false, nullptr), 1);
  EXPECT_FALSE(fs::exists(Dir() + "/c2"));
  ASSERT_EQ(log.Problems().size(), 1u);
  EXPECT_EQ(log.Problems()[0].Op, detail::toRead);
  EXPECT_EQ(log.Problems()[0].Error, ENOENT);
  // A file where the destination needs a directory: that directory fails,
  // the rest is copied.
  fs::create_directories(Dir() + "/c3");
  Put("c3/sub", "a file");
  EXPECT_EQ(CopyFileTree(T(), Path("c3"), false, nullptr), 1);
  EXPECT_EQ(Bytes("c3/sub"), "a file");
  EXPECT_EQ(Bytes("c3/a.txt"), "data of a.txt");
  fs::create_directories(Dir() + "/s/sub");
  Put("s/large", std::string(100000, 'x'));
  Put("s/sub/small", "small");
  EXPECT_EQ(CopyFileTree(Path("s"), Path("c"), false, AbortInLargeFile), 1);
  EXPECT_FALSE(fs::exists(Dir() + "/c/large"));
  for (const auto& e : fs::recursive_directory_iterator(Dir() + "/c")) {
    EXPECT_TRUE(e.is_directory() || e.path().filename() == "small") << e.path();
  }
}

TEST_F(DirTreeWinTest, DelDirTreeRemovesAllButReadOnlyFiles) {
  Put("t/sub/deeper/ro.txt", "precious");
  fs::permissions(Dir() + "/t/sub/deeper/ro.txt", fs::perms::owner_write | fs::perms::group_write |
                                                      fs::perms::others_write,
                  fs::perm_options::remove);
  detail::TreeProblemLog log;
  EXPECT_EQ(DelDirTree(T()), T("sub\\deeper\\ro.txt"));
  EXPECT_EQ(Bytes("t/sub/deeper/ro.txt"), "precious");
  ASSERT_EQ(log.Problems().size(), 1u);
  EXPECT_EQ(log.Problems()[0].Op, detail::toReadOnly);
  fs::permissions(Dir() + "/t/sub/deeper/ro.txt", fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(DelDirTree(T()), u"");
  EXPECT_FALSE(fs::exists(Dir() + "/t"));
  EXPECT_EQ(DelDirTree(u""), u"");
  EXPECT_EQ(DelDirTree(Path("missing")), Path("missing") + u"\\");
}

TEST(DirTreeWinRefusal, RootsDotNamesAndTheCurrentDirectoryAreRefused) {
  testutil::TempDir dir("dirtree_refuse");
  fs::create_directories(dir.Dir() + "/a/b/cwd");
  dir.Put("a/keep", "kept");
  const fs::path saved = fs::current_path();
  fs::current_path(dir.Dir() + "/a/b/cwd");
  const String drive = FromUtf8(saved.root_name().string());  // "C:", or "" without one
  std::vector<String> refused = {u"\\", u"/", u".", u"..", u"..\\..", FromUtf8(dir.Dir() + "/a"),
                                 FromUtf8(dir.Dir() + "/a/b/cwd"), FromUtf8(dir.Dir() + "/a/b/cwd/"),
                                 FromUtf8(dir.Dir() + "/a/b/.")};
  if (!drive.empty()) {
    refused.push_back(drive + u"\\");
    refused.push_back(drive + u"/");
  }
  for (const String& d : refused) {
    SCOPED_TRACE(ToUtf8(d));
    detail::TreeProblemLog log;
    const String got = DelDirTree(d);
    EXPECT_TRUE(got == d || got == d + u"\\") << ToUtf8(got);
    ASSERT_EQ(log.Problems().size(), 1u);
    EXPECT_EQ(log.Problems()[0].Op, detail::toRefused);
  }
  fs::current_path(saved);
  EXPECT_EQ(dir.Bytes("a/keep"), "kept");
  EXPECT_TRUE(fs::exists(dir.Dir() + "/a/b/cwd"));
  EXPECT_EQ(DelDirTree(FromUtf8(dir.Dir() + "/a")), u"");  // no longer the current directory's
}

TEST_F(DirTreeWinTest, SetAllFilenameCaseRenamesMatchingEntries) {
  fs::remove_all(Dir() + "/t");
  fs::create_directories(Dir() + "/t/Sub");
  Put("t/Abc.txt", "1");
  Put("t/Sub/dEf.Txt", "2");
  Put("t/Sub/keep.bin", "3");
  SetAllFilenameCase(T("*.txt"), true);  // "Sub" does not match, so is not entered
  EXPECT_EQ(ListingW(Dir() + "/t"), (Names{"ABC.TXT", "Sub/", "Sub/dEf.Txt", "Sub/keep.bin"}));
  SetAllFilenameCase(T("*"), false);
  EXPECT_EQ(ListingW(Dir() + "/t"), (Names{"abc.txt", "sub/", "sub/def.txt", "sub/keep.bin"}));
  EXPECT_EQ(Bytes("t/sub/def.txt"), "2");
}

TEST(DirTreeWinDepth, TreesDeeperThanMaxPathAreCopiedAndDeleted) {
  testutil::TempDir dir("dirtree_deep");
  // 120 levels of "level_NNN": far past MAX_PATH (260).
  std::string rel = "deep";
  for (int i = 0; i < 120; ++i) rel += "/level_" + std::to_string(1000 + i);
  const std::wstring long_path = L"\\\\?\\" + fs::path(dir.Dir() + "/" + rel).make_preferred().wstring();
  fs::create_directories(fs::path(long_path));
  std::ofstream(fs::path(long_path + L"\\leaf.txt")) << "leaf";
  EXPECT_EQ(CopyFileTree(dir.Path("deep"), dir.Path("copy"), false, nullptr), 0);
  const std::wstring copied = L"\\\\?\\" + fs::path(dir.Dir() + "/copy" + rel.substr(4)).make_preferred().wstring();
  std::ifstream in(fs::path(copied + L"\\leaf.txt"));
  std::string got;
  std::getline(in, got);
  EXPECT_EQ(got, "leaf");
  in.close();
  EXPECT_EQ(DelDirTree(dir.Path("deep")), u"");
  EXPECT_EQ(DelDirTree(dir.Path("copy")), u"");
  EXPECT_EQ(dir.EntryCount(), 0u);
}

TEST_F(DirTreeWinTest, ScanAndDeleteFilesByMask) {
  const std::string base = Dir() + "/t/";
  TStringList list;
  ScanFilesToStrList(FromUtf8(base + "*.TXT"), true, &list, nullptr);
  EXPECT_EQ(list.Count(), 6);  // a.txt B.TXT empty.txt .hidden.txt sub/d.Txt sub/deeper/f.txt
  fs::permissions(Dir() + "/t/c.dat", fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(DeleteFiles(T("*.*")), 3);  // a.txt B.TXT empty.txt
  EXPECT_EQ(Bytes("t/c.dat"), "data of c.dat");
  fs::permissions(Dir() + "/t/c.dat", fs::perms::owner_write, fs::perm_options::add);
}
#endif  // _WIN32
}  // namespace
}  // namespace zel
