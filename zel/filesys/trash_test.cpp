#include "zel/filesys/trash.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "zel/filesys/internal/trash.h"
#include "zel/platform/hostfs.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

namespace fs = std::filesystem;

// Points the home trash into the test's own directory (never the real one)
// and restores the environment afterwards.
class TrashTest : public ::testing::Test, protected testutil::TempDir {
 protected:
  TrashTest() : TempDir("trash") {
    for (const char* var : {"XDG_DATA_HOME", "HOME"}) {
      const char* old = getenv(var);
      saved_.push_back({var, old != nullptr, old != nullptr ? old : ""});
    }
    setenv("XDG_DATA_HOME", (Dir() + "/data").c_str(), 1);
    setenv("HOME", (Dir() + "/home").c_str(), 1);
    fs::create_directories(Dir() + "/work/sub");
  }
  ~TrashTest() override {
    for (const auto& s : saved_) {
      if (s.set) {
        setenv(s.name, s.value.c_str(), 1);
      } else {
        unsetenv(s.name);
      }
    }
  }
  std::vector<std::string> Entries(const std::string& dir) const {
    std::vector<std::string> out;
    if (!fs::exists(Dir() + "/" + dir)) return out;
    for (const auto& e : fs::directory_iterator(Dir() + "/" + dir)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
  }
  struct Saved {
    const char* name;
    bool set;
    std::string value;
  };
  std::vector<Saved> saved_;
};

TEST_F(TrashTest, MovesMatchingFilesWithInfoEntriesAndUniqueNames) {
  Put("work/Report 1.txt", "first");
  Put("work/b.TXT", "b");
  Put("work/.dot.txt", "hidden");
  Put("work/keep.bin", "kept");
  EXPECT_EQ(MoveToRecycleBin(Path("work/*.txt")), 2);
  EXPECT_EQ(Entries("work"), (std::vector<std::string>{".dot.txt", "keep.bin", "sub"}));
  EXPECT_EQ(Entries("data/Trash/files"), (std::vector<std::string>{"Report 1.txt", "b.TXT"}));
  EXPECT_EQ(Bytes("data/Trash/files/Report 1.txt"), "first");
  const std::string info = Bytes("data/Trash/info/Report 1.txt.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + Dir() + "/work/Report%201.txt\nDeletionDate=", 0), 0u)
      << info;
  EXPECT_EQ(info.size(), info.find("DeletionDate=") + 13 + 19 + 1);  // yyyy-mm-ddThh:nn:ss\n

  // A second file of the same name gets a name of its own.
  Put("work/Report 1.txt", "second");
  EXPECT_EQ(MoveToRecycleBin(Path("work/report 1.TXT")), 1);
  EXPECT_EQ(Bytes("data/Trash/files/Report 1.2.txt"), "second");
  EXPECT_EQ(Bytes("data/Trash/files/Report 1.txt"), "first");
  EXPECT_TRUE(fs::exists(Dir() + "/data/Trash/info/Report 1.2.txt.trashinfo"));
  // Directories are never moved; nothing matching moves nothing.
  EXPECT_EQ(MoveToRecycleBin(Path("work/sub")), 0);
  EXPECT_EQ(MoveToRecycleBin(Path("work/none*")), 0);
  EXPECT_TRUE(fs::is_directory(Dir() + "/work/sub"));
}

TEST_F(TrashTest, HomeTrashFollowsTheEnvironment) {
  EXPECT_EQ(detail::HomeTrashDir(), Path("data/Trash"));
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(detail::HomeTrashDir(), Path("home/.local/share/Trash"));
}

TEST_F(TrashTest, TopDirTrashOfAnotherFileSystem) {
  // The test cannot mount a file system; a directory stands in for its top.
  fs::create_directories(Dir() + "/top/docs");
  Put("top/docs/a b.txt", "on the other disk");
  const uint32_t uid = CurrentUserId();
  const String trash = detail::TopDirTrash(Path("top"), uid);
  EXPECT_EQ(trash, Path("top/.Trash-" + std::to_string(uid)));
  struct stat st;
  ASSERT_EQ(stat(ToUtf8(trash).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_TRUE(detail::TrashOneFile(Path("top/docs/a b.txt"), trash, Path("top")));
  const std::string rel = "top/.Trash-" + std::to_string(uid);
  EXPECT_EQ(Bytes(rel + "/files/a b.txt"), "on the other disk");
  const std::string info = Bytes(rel + "/info/a b.txt.trashinfo");
  EXPECT_NE(info.find("\nPath=docs/a%20b.txt\n"), std::string::npos) << info;  // relative to the top
  EXPECT_FALSE(fs::exists(Dir() + "/top/docs/a b.txt"));

  // An administrator's sticky .Trash is used, with a folder per user.
  fs::create_directories(Dir() + "/top2/.Trash");
  chmod((Dir() + "/top2/.Trash").c_str(), 01777);
  EXPECT_EQ(detail::TopDirTrash(Path("top2"), uid), Path("top2/.Trash/" + std::to_string(uid)));
  // Not sticky, or a link: not trusted.
  fs::create_directories(Dir() + "/top3/.Trash");
  EXPECT_EQ(detail::TopDirTrash(Path("top3"), uid), Path("top3/.Trash-" + std::to_string(uid)));
  fs::create_directories(Dir() + "/top4");
  fs::create_directory_symlink(Dir() + "/elsewhere", Dir() + "/top4/.Trash-" + std::to_string(uid));
  EXPECT_EQ(detail::TopDirTrash(Path("top4"), uid), u"");
}

}  // namespace
}  // namespace zel
