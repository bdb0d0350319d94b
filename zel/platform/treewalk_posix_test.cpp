#include "zel/platform/internal/treewalk_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "zel/platform/hostfs.h"
#include "zel/testutil/deeptree.h"
#include "zel/testutil/tempdir.h"
#include "zel/testutil/unprivileged.h"

namespace zel::detail {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Records what a walk meets: "dir/", "file", "link@", and errors as "!path".
struct Recorder : TreeVisitor {
  Names seen;
  Names order;  // as met, for the order check
  void OnDir(const std::string& dir) override { order.push_back(dir.empty() ? "<top>" : dir); }
  void OnEntry(int, const DirEntry& e, const std::string& dir) override {
    const std::string what = dir + e.name + (e.type == DT_LNK ? "@" : "");
    seen.push_back(what);
    order.push_back(what);
  }
  bool EnterDir(int, const DirEntry& e, const struct stat&, const std::string& dir) override {
    seen.push_back(dir + e.name + "/");
    return true;
  }
  void OnError(const std::string& path, int err) override { seen.push_back("!" + path); }
  Names Sorted() const {
    Names s = seen;
    std::sort(s.begin(), s.end());
    return s;
  }
};

// Counts without keeping paths (on a deep tree they are long).
struct Counter : TreeVisitor {
  size_t entries = 0, dirs = 0, errors = 0;
  void OnEntry(int, const DirEntry&, const std::string&) override { ++entries; }
  bool EnterDir(int, const DirEntry&, const struct stat&, const std::string&) override {
    ++dirs;
    return true;
  }
  void OnError(const std::string&, int) override { ++errors; }
};

// Removes everything it meets, relative to the descriptors it is handed.
struct Remover : TreeVisitor {
  int errors = 0;
  void OnEntry(int dirfd, const DirEntry& e, const std::string&) override {
    errors += RemoveAt(dirfd, e.name, false) != 0;
  }
  void LeaveDir(int dirfd, const DirEntry& e, const std::string&, bool complete) override {
    errors += !complete || RemoveAt(dirfd, e.name, true) != 0;
  }
  void OnError(const std::string&, int) override { ++errors; }
};

TEST(TreeWalk, FilesBeforeSubdirectoriesLinksNeverEntered) {
  testutil::TempDir dir("treewalk");
  const std::string t = dir.Dir() + "/t";
  fs::create_directories(t + "/sub/deeper");
  fs::create_directories(dir.Dir() + "/outside/secret");
  dir.Put("t/a", "1");
  dir.Put("t/sub/b", "2");
  dir.Put("t/sub/deeper/c", "3");
  fs::create_symlink(dir.Dir() + "/outside", t + "/dirlink");
  fs::create_symlink("missing", t + "/dangling");
  fs::create_symlink("a", t + "/filelink");
  Recorder rec;
  EXPECT_TRUE(WalkTree(OpenDirPath(t, true), rec));
  EXPECT_EQ(rec.Sorted(), (Names{"a", "dangling@", "dirlink@", "filelink@", "sub/", "sub/b",
                                 "sub/deeper/", "sub/deeper/c"}));
  // Each directory's own entries come before anything below it.
  const auto pos = [&](const std::string& s) {
    return std::find(rec.order.begin(), rec.order.end(), s) - rec.order.begin();
  };
  EXPECT_LT(pos("a"), pos("sub/"));
  EXPECT_LT(pos("sub/b"), pos("sub/deeper/"));
  EXPECT_LT(pos("sub/deeper/"), pos("sub/deeper/c"));

  Recorder top;
  EXPECT_TRUE(WalkTree(OpenDirPath(t, true), top, false));
  EXPECT_EQ(top.Sorted(), (Names{"a", "dangling@", "dirlink@", "filelink@"}));
}

TEST(TreeWalk, UnreadableDirectoryIsReportedNotLeftOutSilently) {
  testutil::TempDir dir("treewalk");
  fs::create_directories(dir.Dir() + "/t/locked");
  dir.Put("t/locked/x", "");
  dir.Put("t/y", "");
  chmod((dir.Dir() + "/t/locked").c_str(), 0);
  testutil::Unprivileged user(dir.Dir());  // root reads every directory
  if (!user.Active()) GTEST_SKIP() << user.WhyNot();
  Recorder rec;
  EXPECT_FALSE(WalkTree(OpenDirPath(dir.Dir() + "/t", true), rec));
  user.Restore();
  EXPECT_EQ(rec.Sorted(), (Names{"!locked/", "y"}));
  chmod((dir.Dir() + "/t/locked").c_str(), 0755);
}

TEST(DirChain, ReopensAnAncestorOnlyIfItIsStillTheSameDirectory) {
  testutil::TempDir dir("dirchain");
  fs::create_directories(dir.Dir() + "/a/b/c");
  fs::create_directories(dir.Dir() + "/z");
  {
    DirChain chain(2);  // only the top two stay open
    ASSERT_TRUE(chain.Start(OpenDirPath(dir.Dir(), true)));
    for (const char* name : {"a", "b", "c"}) ASSERT_EQ(chain.Push(name, nullptr), 0) << name;
    EXPECT_EQ(chain.Pop(), 0);  // back in b: still open
    EXPECT_EQ(chain.Pop(), 0);  // back in a: opened again through b/..
    EXPECT_EQ(chain.Pop(), 0);
    EXPECT_GE(chain.TopFd(), 0);
  }
  {
    DirChain chain(2);
    ASSERT_TRUE(chain.Start(OpenDirPath(dir.Dir(), true)));
    for (const char* name : {"a", "b", "c"}) ASSERT_EQ(chain.Push(name, nullptr), 0) << name;
    // b moves under z meanwhile: its ".." is no longer a.
    fs::rename(dir.Dir() + "/a/b", dir.Dir() + "/z/b");
    EXPECT_EQ(chain.Pop(), 0);
    EXPECT_EQ(chain.Pop(), ESTALE);
    EXPECT_EQ(chain.TopFd(), -1);
    EXPECT_EQ(chain.Push("b", nullptr), EBADF);  // nothing more happens from there
  }
}

TEST(DirChain, PushRefusesLinksAndSwappedDirectories) {
  testutil::TempDir dir("dirchain");
  fs::create_directories(dir.Dir() + "/real");
  fs::create_directories(dir.Dir() + "/other");
  fs::create_symlink(dir.Dir() + "/real", dir.Dir() + "/link");
  DirChain chain;
  ASSERT_TRUE(chain.Start(OpenDirPath(dir.Dir(), true)));
  EXPECT_EQ(chain.Push("link", nullptr), ENOTDIR);
  struct stat real;
  ASSERT_EQ(StatAt(chain.TopFd(), "real", false, real), 0);
  EXPECT_EQ(chain.Push("other", &real), ESTALE);  // not what the listing showed
  bool created = true;
  EXPECT_EQ(chain.PushCreate("link", 0777, created), ENOTDIR);
  EXPECT_FALSE(created);
  EXPECT_EQ(chain.PushCreate("new", 0777, created), 0);
  EXPECT_TRUE(created);
  EXPECT_EQ(chain.Depth(), 2u);
}

TEST(MakeDirectories, EachLevelRelativeToTheOneAbove) {
  testutil::TempDir dir("mkdirs");
  fs::create_directories(dir.Dir() + "/real/deep");
  fs::create_symlink(dir.Dir() + "/real", dir.Dir() + "/ln");
  dir.Put("file", "");
  EXPECT_TRUE(MakeDirectories(dir.Dir() + "/a/b/../c/"));
  EXPECT_TRUE(fs::is_directory(dir.Dir() + "/a/c"));
  EXPECT_TRUE(MakeDirectories(dir.Dir() + "/a"));  // already there
  // A link the caller's path already holds is followed, as by `mkdir -p`
  // (a home directory or /var/run may well be one).
  EXPECT_TRUE(MakeDirectories(dir.Dir() + "/ln/x"));
  EXPECT_TRUE(fs::is_directory(dir.Dir() + "/real/x"));
  EXPECT_FALSE(MakeDirectories(dir.Dir() + "/file/x"));
  EXPECT_EQ(errno, ENOTDIR);
  // The public call is this one.
  EXPECT_TRUE(ForceDirectories(FromUtf8(dir.Dir() + "/ln/y")));
  EXPECT_TRUE(fs::is_directory(dir.Dir() + "/real/y"));
  EXPECT_TRUE(ForceDirectories(FromUtf8(dir.Dir() + "/real/deep/z")));
}

TEST(DirIsWithin, FollowsTheKernelsParentChain) {
  testutil::TempDir dir("within");
  fs::create_directories(dir.Dir() + "/a/b");
  fs::create_directories(dir.Dir() + "/c");
  struct stat a, c;
  ASSERT_EQ(StatAt(AT_FDCWD, dir.Dir() + "/a", false, a), 0);
  ASSERT_EQ(StatAt(AT_FDCWD, dir.Dir() + "/c", false, c), 0);
  ScopedFd b(OpenDirPath(dir.Dir() + "/a/b", true));
  EXPECT_TRUE(DirIsWithin(b.get(), a));
  EXPECT_FALSE(DirIsWithin(b.get(), c));
  struct stat root;
  ASSERT_EQ(StatAt(AT_FDCWD, "/", false, root), 0);
  EXPECT_TRUE(DirIsWithin(b.get(), root));
}

// A tree deeper than PATH_MAX (4,096 bytes), walked, extended and removed with 20
// descriptors at most: in a child process, so the limit stays there.
TEST(TreeWalk, DepthIsLimitedByMemoryNotPathMaxOrDescriptors) {
  testutil::TempDir dir("deepwalk");
  constexpr int kDepth = 2000;  // "dd/" each: 6,000 bytes of path
  const std::string top = dir.Dir() + "/top";
  ASSERT_TRUE(testutil::MakeDeepTree(top, kDepth, 1));  // a file on every level
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const struct rlimit lim{20, 20};
    if (setrlimit(RLIMIT_NOFILE, &lim) != 0) _exit(10);
    Counter counter;
    if (!WalkTree(OpenDirPath(top, true), counter)) _exit(11);
    if (counter.entries != kDepth || counter.dirs != kDepth || counter.errors != 0) _exit(12);
    std::string deep = top;
    for (int i = 0; i < kDepth; ++i) deep += "/dd";
    if (!MakeDirectories(deep + "/new/newer")) _exit(13);
    Remover remover;
    if (!WalkTree(OpenDirPath(top, true), remover) || remover.errors != 0) _exit(14);
    if (RemoveAt(AT_FDCWD, top, true) != 0) _exit(15);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(fs::is_empty(dir.Dir()));
}

}  // namespace
}  // namespace zel::detail
