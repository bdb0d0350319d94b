#include "zel/platform/hostfs.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <map>
#include <string>

#include "zel/platform/filename.h"
#include "zel/platform/hostpath.h"
#include "zel/testutil/tempdir.h"
#ifndef _WIN32
#include "zel/testutil/deeptree.h"
#endif

namespace zel {
namespace {

namespace fs = std::filesystem;

TEST(MatchesFileMask, WildcardsWithoutCase) {
  struct Case {
    const char16_t* name;
    const char16_t* mask;
    bool match;
  } cases[] = {
      {u"Report.TXT", u"*.txt", true},    {u"report.txt", u"R*T.*", true},
      {u"a.txt", u"?.txt", true},         {u"ab.txt", u"?.txt", false},
      {u"Makefile", u"*.*", true},        {u"Makefile", u"make*.*", true},
      {u"data", u"data.*", true},         {u"data.bak", u"data", false},
      {u"x.tar.gz", u"*.gz", true},       {u"x.tar.gz", u"*.tar", false},
      {u"aaa", u"*a*a*a*", true},         {u"aa", u"*a*a*a*", false},
      {u"", u"*", true},                  {u"abc", u"", false},
      {u"ÄRGER.txt", u"ärger.*", true},   {u"straße", u"STRASSE", false},
      {u"Ωmega", u"ωMEGA", true},         {u"a*b", u"a*b", true},
      {u"README", u"*.", false},          {u"a.b.c", u"*.b", false},
      {u"README", u"READ*.*", true},      {u"README", u"r?adme.*", true},
      {u"README", u"READ.*", false},      {u"abc", u"a?", false},
      {u"", u"?", false},                 {u"abc", u"a*b*c*", true},
      {u"aaaaaaaaab", u"*a*a*a*b", true}, {u"aaaaaaaaaa", u"*a*a*a*b", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesFileMask(c.name, c.mask), c.match) << ToUtf8(c.name) << " ~ " << ToUtf8(c.mask);
  }
}

#ifndef _WIN32
// POSIX paths, FIFOs and byte names; hostfs_win32_test.cpp has Windows's.
TEST(ExpandFileName, ResolvesDotsByTheText) {
  const std::string cwd = fs::current_path().string();
  EXPECT_EQ(ExpandFileName(u"/a/./b/../c//d"), u"/a/c/d");
  EXPECT_EQ(ExpandFileName(u"/a/b/"), u"/a/b/");
  EXPECT_EQ(ExpandFileName(u"/.."), u"/");
  EXPECT_EQ(ExpandFileName(u"x/*.txt"), FromUtf8(cwd + "/x/*.txt"));
  EXPECT_EQ(HostDirPart(u"a:b\\c/d.txt"), u"a:b\\c/");
  EXPECT_EQ(HostNamePart(u"a:b\\c/d.txt"), u"d.txt");
  EXPECT_EQ(HostJoin(u"dir/", u"x"), u"dir/x");
  EXPECT_EQ(HostJoin(u"", u"x"), u"x");
}

// A current directory deeper than PATH_MAX still gives absolute paths
// (a fixed 4 KiB buffer once left them relative).
TEST(ExpandFileName, CurrentDirectoryDeeperThanPathMax) {
  testutil::TempDir dir("expand_deep");
  constexpr int kDepth = 1500;  // "/dd" each: over 4,500 bytes
  ASSERT_TRUE(testutil::MakeDeepTree(dir.Dir() + "/t", kDepth, kDepth + 1));
  const int back = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(back, 0);
  ASSERT_EQ(chdir((dir.Dir() + "/t").c_str()), 0);
  bool entered = true;
  for (int i = 0; i < kDepth && entered; ++i) entered = chdir("dd") == 0;
  const String expanded = entered ? ExpandFileName(u"x.txt") : String();
  const String current = GetCurrentDir();
  // Taken down from the inside: no path reaches the bottom for a remover.
  for (bool up = entered; up && chdir("..") == 0;) up = rmdir("dd") == 0;
  ASSERT_EQ(fchdir(back), 0);
  close(back);
  ASSERT_TRUE(entered);
  std::string expected = dir.Dir() + "/t";
  for (int i = 0; i < kDepth; ++i) expected += "/dd";
  EXPECT_EQ(ToUtf8(current), expected);
  EXPECT_EQ(ToUtf8(expanded), expected + "/x.txt");
}

TEST(MountPointOf, FindsTheTopOfTheFileSystem) {
  EXPECT_EQ(MountPointOf(u"/proc/self"), u"/proc");
  EXPECT_EQ(MountPointOf(u"/"), u"/");
  EXPECT_EQ(MountPointOf(u"/no/such/dir"), u"");
}

TEST(TDirSearch, KindsOfEntriesAndNamesAsStored) {
  testutil::TempDir dir("hostfs");
  fs::create_directory(dir.Dir() + "/Sub");
  dir.Put("File.TXT", "12345");
  dir.Put("ro.txt", "");
  chmod((dir.Dir() + "/ro.txt").c_str(), 0444);
  fs::create_symlink("Sub", dir.Dir() + "/dirlink");
  fs::create_symlink("File.TXT", dir.Dir() + "/filelink");
  fs::create_symlink("nowhere", dir.Dir() + "/dangling");
  ASSERT_EQ(mkfifo((dir.Dir() + "/.pipe").c_str(), 0600), 0);
  const std::map<std::string, uint32_t> want = {
      {"Sub", faDirectory},
      {"File.TXT", faArchive},
      {"ro.txt", faArchive | faReadOnly},
      {"dirlink", faDirectory | faSymLink},
      {"filelink", faArchive | faSymLink},
      {"dangling", faSymLink},
      {".pipe", faSysFile | faHidden},
  };
  for (const bool details : {false, true}) {
    SCOPED_TRACE(details);
    std::map<std::string, uint32_t> got;
    TDirSearch search(FromUtf8(dir.Dir()), u"*", details);
    ASSERT_TRUE(search.IsOpen());
    TSearchRec rec;
    while (search.Next(rec)) {
      got[ToUtf8(rec.Name)] = details ? rec.Attr : rec.Attr & ~faReadOnly;
      if (details && rec.Name == u"File.TXT") {
        EXPECT_EQ(rec.Size, 5);
      }
    }
    std::map<std::string, uint32_t> expect = want;
    if (!details) expect["ro.txt"] = faArchive;
    EXPECT_EQ(got, expect);
  }
  // A mask keeps the matching files; `AllDirs` adds every directory.
  for (const bool all_dirs : {false, true}) {
    TDirSearch search(FromUtf8(dir.Dir()), u"*.txt", false, all_dirs);
    std::map<std::string, uint32_t> got;
    TSearchRec rec;
    while (search.Next(rec)) got[ToUtf8(rec.Name)] = rec.Attr;
    std::map<std::string, uint32_t> expect = {{"File.TXT", faArchive}, {"ro.txt", faArchive}};
    if (all_dirs) {
      expect["Sub"] = faDirectory;
      expect["dirlink"] = faDirectory | faSymLink;
    }
    EXPECT_EQ(got, expect) << all_dirs;
  }
  TDirSearch missing(FromUtf8(dir.Dir() + "/none"), u"*");
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_EQ(missing.Error(), ENOENT);
}

TEST(ForceDirectories, CreatesEveryMissingLevel) {
  testutil::TempDir dir("hostfs");
  EXPECT_TRUE(ForceDirectories(FromUtf8(dir.Dir() + "/a/b/c/")));
  EXPECT_TRUE(fs::is_directory(dir.Dir() + "/a/b/c"));
  EXPECT_TRUE(ForceDirectories(FromUtf8(dir.Dir() + "/a/b")));
  dir.Put("file", "");
  EXPECT_FALSE(ForceDirectories(FromUtf8(dir.Dir() + "/file/x")));
  EXPECT_EQ(LastOSError(), ENOTDIR);
}

TEST(HostNames, ANameThatIsNotUtf8NamesItsOwnFileNotItsNeighbour) {
  // "old\xE9" (Latin-1) and "old\xC3\xA9" (UTF-8 "oldé") side by side: each
  // name read by a search must lead back to its own file.
  testutil::TempDir dir("hostnames");
  dir.Put("old\xE9", "latin");
  dir.Put("old\xC3\xA9", "utf8");
  const String base = FromUtf8(dir.Dir());
  std::map<std::string, String> names;  // bytes -> name as searched
  TDirSearch search(base, u"OLD*", true);
  for (TSearchRec rec; search.Next(rec);) names[FileNameToBytes(rec.Name)] = rec.Name;
  ASSERT_EQ(names.size(), 2u);
  ASSERT_TRUE(names.count("old\xE9"));
  ASSERT_TRUE(names.count("old\xC3\xA9"));

  TFileInfo info;
  ASSERT_TRUE(GetFileInfo(HostJoin(base, names["old\xE9"]), info));
  EXPECT_EQ(info.Size, 5);  // "latin", not the neighbour's "utf8"
  ASSERT_TRUE(DeleteFile(HostJoin(base, names["old\xE9"])));
  EXPECT_FALSE(fs::exists(dir.Dir() + "/old\xE9"));
  EXPECT_TRUE(fs::exists(dir.Dir() + "/old\xC3\xA9"));

  // Renames and links carry the bytes both ways.
  const String moved = HostJoin(base, FileNameFromBytes("new\xFF"));
  ASSERT_TRUE(RenameFile(HostJoin(base, names["old\xC3\xA9"]), moved));
  EXPECT_TRUE(fs::exists(dir.Dir() + "/new\xFF"));
  ASSERT_TRUE(CreateSymLink(FileNameFromBytes("new\xFF"), HostJoin(base, u"ln")));
  String target;
  ASSERT_TRUE(ReadSymLink(HostJoin(base, u"ln"), target));
  EXPECT_EQ(FileNameToBytes(target), "new\xFF");
}

#endif  // !_WIN32

}  // namespace
}  // namespace zel
