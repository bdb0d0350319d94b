#include "zel/filesys/trash.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "zel/filesys/internal/trash.h"
#include "zel/platform/filename.h"
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
  const std::string own = ".Trash-" + std::to_string(uid);
  const String trash = detail::TopDirTrash(Path("top"), uid);
  EXPECT_EQ(trash, Path("top/" + own));
  struct stat st;
  ASSERT_EQ(stat(ToUtf8(trash).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_TRUE(detail::TrashOneFile(Path("top/docs/a b.txt"), trash, Path("top")));
  EXPECT_EQ(Bytes("top/" + own + "/files/a b.txt"), "on the other disk");
  const std::string info = Bytes("top/" + own + "/info/a b.txt.trashinfo");
  EXPECT_NE(info.find("\nPath=docs/a%20b.txt\n"), std::string::npos) << info;  // relative to the top
  EXPECT_FALSE(fs::exists(Dir() + "/top/docs/a b.txt"));
}

// The file moved is the entry the walk saw, reached through its
// directory's descriptor: when the directory is swapped for a link to
// another one meanwhile, nothing of that other directory moves.
TEST_F(TrashTest, MovesTheEntryItsWalkSawNotWhatThePathLeadsToLater) {
  Put("work/sub/a.txt", "listed");
  fs::create_directories(Dir() + "/elsewhere");
  fs::create_directories(Dir() + "/data");
  Put("elsewhere/a.txt", "never asked for");
  const int dirfd = open((Dir() + "/work/sub").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(dirfd, 0);
  fs::rename(Dir() + "/work/sub", Dir() + "/work/sub.real");
  fs::create_directory_symlink(Dir() + "/elsewhere", Dir() + "/work/sub");
  const std::string name = "a.txt";
  String why;
  EXPECT_TRUE(detail::TrashOneFile(Path("work/sub/a.txt"), Path("data/Trash"), u"", &why, dirfd,
                                   &name))
      << ToUtf8(why);
  close(dirfd);
  EXPECT_EQ(Bytes("elsewhere/a.txt"), "never asked for");
  EXPECT_FALSE(fs::exists(Dir() + "/work/sub.real/a.txt"));
  EXPECT_EQ(Bytes("data/Trash/files/a.txt"), "listed");
}

// Which top-directory trash is trusted: the administrator's sticky .Trash
// with the user's own folder in it, else the user's own .Trash-$uid of mode
// 0700; never a link, never a folder of someone else.
TEST_F(TrashTest, TopDirTrashIsOnlyTakenWhenSafe) {
  const uint32_t uid = CurrentUserId();
  const std::string id = std::to_string(uid), own = ".Trash-" + id;
  struct Case {
    const char* what;
    std::function<void(const std::string& top)> setup;
    std::string result;  // relative to the top; "" for none
    const char* reason;  // part of the reason when none
  } cases[] = {
      {"sticky .Trash: a folder of the user's own is made", [&](const std::string& top) {
         fs::create_directories(top + "/.Trash");
         chmod((top + "/.Trash").c_str(), 01777);
       }, ".Trash/" + id, ""},
      {".Trash not sticky", [&](const std::string& top) { fs::create_directories(top + "/.Trash"); },
       own, ""},
      {".Trash a link to a sticky folder", [&](const std::string& top) {
         fs::create_directories(top + "/sticky");
         chmod((top + "/sticky").c_str(), 01777);
         fs::create_directory_symlink(top + "/sticky", top + "/.Trash");
       }, own, ""},
      {"$uid in the sticky .Trash is a link", [&](const std::string& top) {
         fs::create_directories(top + "/.Trash");
         fs::create_directories(top + "/elsewhere");
         chmod((top + "/.Trash").c_str(), 01777);
         fs::create_directory_symlink(top + "/elsewhere", top + "/.Trash/" + id);
       }, own, ""},
      {"$uid in the sticky .Trash is a file", [&](const std::string& top) {
         fs::create_directories(top + "/.Trash");
         chmod((top + "/.Trash").c_str(), 01777);
         std::ofstream(top + "/.Trash/" + id) << "x";
       }, own, ""},
      {".Trash-$uid a link", [&](const std::string& top) {
         fs::create_directories(top + "/elsewhere");
         chmod((top + "/elsewhere").c_str(), 0700);
         fs::create_directory_symlink(top + "/elsewhere", top + "/" + own);
       }, "", "is a link"},
      {".Trash-$uid open to others", [&](const std::string& top) {
         fs::create_directories(top + "/" + own);
         chmod((top + "/" + own).c_str(), 0777);
       }, "", "mode is not 0700"},
      {".Trash-$uid a file", [&](const std::string& top) { std::ofstream(top + "/" + own) << "x"; },
       "", "is not a directory"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string top = Dir() + "/t" + std::to_string(++n);
    fs::create_directories(top);
    c.setup(top);
    String why;
    const String trash = detail::TopDirTrash(FromUtf8(top), uid, &why);
    EXPECT_EQ(trash, c.result.empty() ? String() : FromUtf8(top + "/" + c.result));
    if (c.result.empty()) {
      EXPECT_NE(ToUtf8(why).find(c.reason), std::string::npos) << ToUtf8(why);
      EXPECT_NE(ToUtf8(why).find(top + "/" + own), std::string::npos) << ToUtf8(why);
    }
  }
  // Folders of another user: only the super-user can make them here.
  if (geteuid() != 0) GTEST_SKIP() << "needs root to make folders of another user";
  const uint32_t other = uid + 4242;
  const std::string a = Dir() + "/other1", b = Dir() + "/other2";
  fs::create_directories(a + "/.Trash/" + std::to_string(other));
  chmod((a + "/.Trash").c_str(), 01777);
  ASSERT_EQ(chown((a + "/.Trash/" + std::to_string(other)).c_str(), uid, uid), 0);  // not theirs
  EXPECT_EQ(detail::TopDirTrash(FromUtf8(a), other), u"");
  fs::create_directories(b + "/.Trash-" + std::to_string(uid));
  chmod((b + "/.Trash-" + std::to_string(uid)).c_str(), 0700);
  ASSERT_EQ(chown((b + "/.Trash-" + std::to_string(uid)).c_str(), other, other), 0);
  String why;
  EXPECT_EQ(detail::TopDirTrash(FromUtf8(b), uid, &why), u"");
  EXPECT_NE(ToUtf8(why).find("is not yours"), std::string::npos) << ToUtf8(why);
}

TEST(TrashNames, LongNamesAreShortenedOnCharacterBoundaries) {
  const auto bytes = [](const String& s) { return FileNameToBytes(s).size(); };
  EXPECT_EQ(detail::TrashCandidateName(u"a.txt", 1), u"a.txt");
  EXPECT_EQ(detail::TrashCandidateName(u"a.txt", 2), u"a.2.txt");
  EXPECT_EQ(detail::TrashCandidateName(u".bashrc", 3), u".bashrc.3");
  EXPECT_EQ(detail::TrashCandidateName(u"noext", 12), u"noext.12");
  const String ascii(250, u'x');
  const String eacute(125, u'\u00e9');                          // 250 bytes of UTF-8
  String pairs;
  for (int i = 0; i < 63; ++i) pairs += u"\U0001F600";          // 252 bytes, 4 each
  String raw = FileNameFromBytes(std::string(240, 'r') + "\xff\xfe" + "rrrrrrrr");  // not UTF-8
  for (const String& name : {ascii + u".txt", eacute + u".txt", pairs, raw,
                             u"a." + String(250, u'e')}) {
    SCOPED_TRACE(ToUtf8(name.substr(0, 8)));
    std::vector<String> seen;
    for (int n : {1, 2, 99, 9999}) {
      const String cand = detail::TrashCandidateName(name, n);
      EXPECT_LE(bytes(cand), detail::kMaxTrashNameBytes);
      EXPECT_GE(bytes(cand), detail::kMaxTrashNameBytes - 3);  // cut by at most one character
      EXPECT_EQ(FileNameFromBytes(FileNameToBytes(cand)), cand);  // whole characters only
      if (name.ends_with(u".txt")) {
        EXPECT_TRUE(cand.ends_with(u".txt")) << ToUtf8(cand);
      }
      EXPECT_EQ(std::find(seen.begin(), seen.end(), cand), seen.end());
      seen.push_back(cand);
    }
  }
}

TEST_F(TrashTest, LongNamesAreTrashedAndKeepTheirRealPath) {
  const std::string long_name = std::string(246, 'L') + ".log";  // 250 bytes
  const std::string utf8_name = std::string(248, 'u') + "\xc3\xa9!";  // ends in "é!"
  Put("work/" + long_name, "first");
  Put("work/" + utf8_name, "second");
  EXPECT_EQ(MoveToRecycleBin(Path("work/*")), 2);
  const std::vector<std::string> files = Entries("data/Trash/files");
  ASSERT_EQ(files.size(), 2u);
  for (const std::string& f : files) {
    EXPECT_LE(f.size(), 245u) << f;
    const std::string info = Bytes("data/Trash/info/" + f + ".trashinfo");
    const std::string original = f[0] == 'L' ? long_name : utf8_name;
    const std::string escaped =
        f[0] == 'L' ? long_name : std::string(248, 'u') + "%C3%A9!";
    EXPECT_NE(info.find("\nPath=" + Dir() + "/work/" + escaped + "\n"), std::string::npos) << info;
    EXPECT_EQ(Bytes("data/Trash/files/" + f), f[0] == 'L' ? "first" : "second");
  }
  // A second file of the same long name gets a name of its own.
  Put("work/" + long_name, "third");
  EXPECT_EQ(MoveToRecycleBin(Path("work/" + long_name)), 1);
  EXPECT_EQ(Entries("data/Trash/files").size(), 3u);
  EXPECT_EQ(Entries("data/Trash/info").size(), 3u);
}

// A file that stays is reported with its path and the reason.
TEST_F(TrashTest, FailuresNameTheFileAndTheReason) {
  Put("work/a.txt", "a");
  // A trash whose files/ folder is no folder: nothing moves, and why.
  fs::create_directories(Dir() + "/data/Trash/info");
  chmod((Dir() + "/data/Trash").c_str(), 0700);
  Put("data/Trash/files", "not a folder");
  std::vector<std::pair<String, String>> failures;
  const auto record = [&](const String& path, const String& why) { failures.push_back({path, why}); };
  EXPECT_EQ(MoveToRecycleBin(Path("work/*.txt"), record), 0);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].first, Path("work/a.txt"));
  EXPECT_EQ(failures[0].second, u"the trash folder " + Path("data/Trash/files") + u" is not a directory");
  EXPECT_EQ(Bytes("work/a.txt"), "a");
  EXPECT_TRUE(Entries("data/Trash/info").empty());

  // A folder the user may not change: the system's reason.
  fs::remove(Dir() + "/data/Trash/files");
  if (geteuid() == 0) GTEST_SKIP() << "root may rename in a read-only folder";
  chmod((Dir() + "/work").c_str(), 0555);
  failures.clear();
  EXPECT_EQ(MoveToRecycleBin(Path("work/*.txt"), record), 0);
  chmod((Dir() + "/work").c_str(), 0755);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].second, u"Permission denied");
  EXPECT_TRUE(Entries("data/Trash/info").empty());  // the reserved entry is taken back
}

}  // namespace
}  // namespace zel
