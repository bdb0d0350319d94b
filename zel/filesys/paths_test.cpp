#include "zel/filesys/paths.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "zel/platform/hostfs.h"
#include "zel/platform/hostpath.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

#if defined(_WIN32)
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

struct SplitCase {
  const char16_t* path;
  const char16_t* dir;        // ExtractFilePath
  const char16_t* name;       // StripPath
  const char16_t* ext;        // ExtractFileExt
  const char16_t* stripped;   // StripExtension
  const char16_t* parent;     // ParentDir
};

TEST(Paths, SplitsAtSeparatorsAndTheDrivePrefix) {
  const SplitCase cases[] = {
      {u"C:\\x\\data.tar.gz", u"C:\\x\\", u"data.tar.gz", u".gz", u"C:\\x\\data.tar", u"C:\\x\\"},
      {u"C:\\x.d\\file", u"C:\\x.d\\", u"file", u"", u"C:\\x.d\\file", u"C:\\x.d\\"},
      {u"/home/a/data.tar.gz", u"/home/a/", u"data.tar.gz", u".gz", u"/home/a/data.tar", u"/home/a/"},
      {u"a/b\\c.txt", u"a/b\\", u"c.txt", u".txt", u"a/b\\c", u"a/b\\"},
      {u"C:name.ext", u"C:", u"name.ext", u".ext", u"C:name", u""},
      {u"dir/.cfg", u"dir/", u".cfg", u".cfg", u"dir/", u"dir/"},
      {u"name.", u"", u"name.", u".", u"name", u""},
      {u"C:\\a\\b\\", u"C:\\a\\b\\", u"", u"", u"C:\\a\\b\\", u"C:\\a\\"},
      {u"C:\\a\\b", u"C:\\a\\", u"b", u"", u"C:\\a\\b", u"C:\\a\\"},
      {u"a/b/c", u"a/b/", u"c", u"", u"a/b/c", u"a/b/"},
      {u"C:\\", u"C:\\", u"", u"", u"C:\\", u""},
      {u"", u"", u"", u"", u"", u""},
      // A ":" after the start is part of a name.
      {u"/tmp/run 12:30.log", u"/tmp/", u"run 12:30.log", u".log", u"/tmp/run 12:30", u"/tmp/"},
      {u"C:\\x\\12:30.log", u"C:\\x\\", u"12:30.log", u".log", u"C:\\x\\12:30", u"C:\\x\\"},
      {u"ab:c.txt", u"", u"ab:c.txt", u".txt", u"ab:c", u""},
      {u"1:x", u"", u"1:x", u"", u"1:x", u""},  // only a letter makes a drive
      {u"/x/y:", u"/x/", u"y:", u"", u"/x/y:", u"/x/"},
      {u"z:", u"z:", u"", u"", u"z:", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.path));
    EXPECT_EQ(ExtractFilePath(c.path), c.dir);
    EXPECT_EQ(StripPath(c.path), c.name);
    EXPECT_EQ(ExtractFileExt(c.path), c.ext);
    EXPECT_EQ(StripExtension(c.path), c.stripped);
    EXPECT_EQ(ParentDir(c.path), c.parent);
  }
}

// The pure splits and the host's agree wherever the host's "/" is the only
// separator and no drive prefix stands at the start.
TEST(Paths, SplitsAgreeWithTheHostModel) {
  for (const char16_t* path : {u"/tmp/run 12:30.log", u"a/b:c/d", u"xy:z", u"12:30", u"/", u"",
                               u"dir/", u"./a.b:c", u"/a//b"}) {
    SCOPED_TRACE(ToUtf8(path));
    EXPECT_EQ(ExtractFilePath(path), HostDirPart(path));
    EXPECT_EQ(ExtractFileName(path), HostNamePart(path));
  }
  // "x:y" is a drive prefix for the pure functions, and for the host's
  // only where the host has drives.
  EXPECT_EQ(ExtractFilePath(u"c:y"), u"c:");
  EXPECT_EQ(HostDirPart(u"c:y"), kWindows ? u"c:" : u"");
}

TEST(Paths, RootsAndDrives) {
  EXPECT_TRUE(IsRootDir(u" D:\\ "));
  EXPECT_TRUE(IsRootDir(u"c:\\"));
  EXPECT_TRUE(IsRootDir(u"/"));
  EXPECT_FALSE(IsRootDir(u"D:/"));
  EXPECT_FALSE(IsRootDir(u"C:"));
  EXPECT_FALSE(IsRootDir(u"C:\\x"));
  EXPECT_FALSE(IsRootDir(u""));
  EXPECT_FALSE(IsRootDir(u"/home"));

  EXPECT_EQ(ExtractDrive(u"c:\\temp"), 2);
  EXPECT_EQ(ExtractDrive(u"A:"), 0);
  EXPECT_EQ(ExtractDrive(u"z:x"), 25);
  EXPECT_EQ(ExtractDrive(u"\\\\server\\share"), -1);
  EXPECT_EQ(ExtractDrive(u"1:\\x"), 0);
  EXPECT_EQ(ExtractDrive(u"/home"), -1);
  EXPECT_EQ(ExtractDrive(u""), -1);
  EXPECT_EQ(ExtractDrive(u"c"), -1);
}

TEST(Paths, AbridgeReplacesDirectoriesFromTheLeft) {
  struct Case {
    const char16_t* path;
    int max;
    const char16_t* result;
  } const cases[] = {
      {u"C:\\dir1\\dir2\\dir3\\file.txt", 20, u"C:\\..\\..\\..\\file.txt"},
      {u"C:\\dir1\\dir2\\dir3\\file.txt", 26, u"C:\\..\\dir2\\dir3\\file.txt"},
      {u"C:\\dir1\\dir2\\dir3\\file.txt", 27, u"C:\\dir1\\dir2\\dir3\\file.txt"},
      {u"/usr/share/doc/file", 16, u"/../../doc/file"},
      {u"/a/b/file", 3, u"/../../file"},  // short names grow; the name stays
      {u"plainname", 1, u"plainname"},
      {u"a\\b/c", 0, u"a\\b/c"},  // a backslash makes it the only separator
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AbridgeFilePath(c.path, c.max), c.result) << ToUtf8(c.path) << " " << c.max;
  }
}

TEST(Paths, EightDotThreeChecks) {
  struct Case {
    const char16_t* path;
    bool compliant;
    bool dos83;
  } const cases[] = {
      {u"C:\\DOS\\EDIT.COM", true, true},
      {u"C:\\PROGRAMS\\X", true, true},
      {u"C:\\VERYLONGDIR\\X", true, false},
      {u"C:\\DIR.EXT\\NAME.TXT", true, true},
      {u"ABCDEFGH.TXT", true, true},
      {u"ABCDEFGHI.TXT", true, false},
      {u"A.TXTX", true, true},  // the last piece may have 9 characters
      {u"A.LONGEXTENS", true, false},
      {u"my file.txt", false, false},
      {u"a+b", false, false},
      {u"a/b", false, false},
      {u"caf\u00e9", false, false},
      {u"!#$%&'()-@^_`{}~", true, false},
      {u"", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.path));
    EXPECT_EQ(IsFN83CompliantPath(c.path), c.compliant);
    EXPECT_EQ(IsDOS83Path(c.path), c.dos83);
  }
}

TEST(Paths, FileNameRulesAndRepairs) {
  for (const char16_t* bad : {u"a/b", u"a<b", u"a>b", u"a?b", u"a\\b", u"a|b", u"a*b", u"a:b", u".", u".."}) {
    EXPECT_FALSE(IsValidFileName(bad)) << ToUtf8(bad);
  }
  for (const char16_t* good : {u"", u"a\"b", u"...", u".cfg", u"a b.txt"}) {
    EXPECT_TRUE(IsValidFileName(good)) << ToUtf8(good);
  }
  EXPECT_EQ(ReplaceInvalidFileNameChars(u"a?b:c", u'_'), u"a_b_c");
  EXPECT_EQ(ReplaceInvalidFileNameChars(u"*/:<>?\\|\"", u'-'), u"--------\"");
  EXPECT_EQ(ReplaceInvalidFileNameChars(u"..", u'_'), u"__");
  EXPECT_EQ(ReplaceInvalidFileNameChars(u".", u'_'), u"_");
  for (const char16_t* name : {u"a?b:c", u".", u"..", u"x/y"}) {
    EXPECT_TRUE(IsValidFileName(ReplaceInvalidFileNameChars(name, u'_'))) << ToUtf8(name);
  }

  EXPECT_EQ(EnsureDefaultFileExt(u"report", u"txt"), u"report.txt");
  EXPECT_EQ(EnsureDefaultFileExt(u"report", u".txt"), u"report.txt");
  EXPECT_EQ(EnsureDefaultFileExt(u"report.csv", u"txt"), u"report.csv");
  EXPECT_EQ(EnsureDefaultFileExt(u"report.", u"txt"), u"report.");
  EXPECT_EQ(EnsureDefaultFileExt(u"report", u""), u"report");
  EXPECT_EQ(EnsureDefaultFileExt(u"d.x/report", u"txt"), u"d.x/report.txt");

  EXPECT_EQ(InsertBeforeFileExt(u"_old", u"C:\\d\\data.txt"), u"C:\\d\\data_old.txt");
  EXPECT_EQ(InsertBeforeFileExt(u"_old", u"C:\\d\\data"), u"C:\\d\\data_old");
  EXPECT_EQ(InsertBeforeFileExt(u"X", u"a.b.c"), u"aX.b.c");
  EXPECT_EQ(InsertBeforeFileExt(u"X", u"d.e/f"), u"d.e/fX");
}

TEST(Paths, MasksMatchAsTheHostSearchMatches) {
  // MatchesMask is the platform's MatchesFileMask (its table of cases is in
  // zel/platform/hostfs_test.cpp); a few cases show the two agree.
  EXPECT_TRUE(MatchesMask(u"Report.TXT", u"*.txt"));
  EXPECT_TRUE(MatchesMask(u"\u00c4rger.doc", u"\u00e4*"));
  EXPECT_FALSE(MatchesMask(u"README", u"READ.*"));
  EXPECT_FALSE(MatchesMask(u"x", u""));
}

TEST(Paths, DOSToWinPathExpandsAgainstTheCurrentDirectory) {
  // Names that do not exist stay as given, so this shows the expansion.
  const String cwd = GetCurrentDir();
#if defined(_WIN32)
  // A path from the root is on the current directory's drive.
  const String drive = cwd.substr(0, 2);
  ASSERT_EQ(drive[1], u':') << ToUtf8(cwd);
  EXPECT_EQ(DOSToWinPath(u"/zel-none/./b/../c"), drive + u"/zel-none/c");
  EXPECT_EQ(DOSToWinPath(u"\\zel-none\\b\\"), drive + u"/zel-none/b/");
  EXPECT_EQ(DOSToWinPath(u"/../.."), drive + u"/");
  EXPECT_EQ(DOSToWinPath(u"C:\\zel-none\\..\\"), u"C:/");
  const String stored_cwd = DOSToWinPath(cwd);
  EXPECT_EQ(DOSToWinPath(u"zel-none//y"),
            (stored_cwd == drive + u"/" ? drive : stored_cwd) + u"/zel-none/y");
#else
  EXPECT_EQ(DOSToWinPath(u"/zel-none/./b/../c"), u"/zel-none/c");
  EXPECT_EQ(DOSToWinPath(u"\\zel-none\\b\\"), u"/zel-none/b/");
  EXPECT_EQ(DOSToWinPath(u"/../.."), u"/");
  EXPECT_EQ(DOSToWinPath(u"zel-none//y"), (cwd == u"/" ? String() : cwd) + u"/zel-none/y");
#endif
  EXPECT_EQ(DOSToWinPath(u""), DOSToWinPath(cwd));
}

TEST(Paths, DOSToWinPathFindsStoredNamesWithoutRegardToCase) {
  testutil::TempDir dir("paths");
  ASSERT_TRUE(CreateDir(dir.Path("Data Files")));
  ASSERT_TRUE(CreateDir(dir.Path("Data Files/Sub")));
  dir.Put("Data Files/Sub/Report.TXT", "x");
  dir.Put("Data Files/Sub/same", "exact");
  dir.Put("Data Files/Sub/SAME", "upper");
  dir.Put("Data Files/Sub/Same", "mixed");
  const String base = FromUtf8(dir.Dir());

  EXPECT_EQ(DOSToWinPath(base + u"\\data files\\SUB\\report.txt"),
            base + u"/Data Files/Sub/Report.TXT");
  // An exact name wins over others that differ only in case; without one,
  // the first in name order.  (Windows keeps one file of the three names:
  // the first made, "same".)
  EXPECT_EQ(DOSToWinPath(base + u"/DATA FILES/sub/same"), base + u"/Data Files/Sub/same");
  EXPECT_EQ(DOSToWinPath(base + u"/DATA FILES/sub/sAME"),
            base + (kWindows ? u"/Data Files/Sub/same" : u"/Data Files/Sub/SAME"));
  // A missing component: the resolved prefix and the rest as given.
  EXPECT_EQ(DOSToWinPath(base + u"/data files/Missing/deeper/REPORT.txt"),
            base + u"/Data Files/Missing/deeper/REPORT.txt");
  EXPECT_EQ(DOSToWinPath(base + u"/data files/sub/"), base + u"/Data Files/Sub/");
  EXPECT_EQ(DOSToWinPath(base + u"/data files/sub/../SUB/./report.txt"),
            base + u"/Data Files/Sub/Report.TXT");
  EXPECT_EQ(DOSToWinPath(u"/"), kWindows ? GetCurrentDir().substr(0, 2) + u"/" : u"/");

  // Relative paths are expanded first.
  const std::string old = ToUtf8(GetCurrentDir());
  ASSERT_EQ(chdir(dir.Dir().c_str()), 0);
  const String relative = DOSToWinPath(u"DATA FILES\\sub");
  ASSERT_EQ(chdir(old.c_str()), 0);
  EXPECT_EQ(relative, base + u"/Data Files/Sub");
}

}  // namespace
}  // namespace zel
