// The Windows side of the host file functions and the safe save, run under
// Wine by scripts/test-windows.
#include <windows.h>
// The library has a function of this name; the macro would rename it.
#undef DeleteFile

#include <gtest/gtest.h>

#include <cerrno>

#include "zel/platform/exceptions.h"
#include "zel/platform/filereplace.h"
#include "zel/platform/hostfs.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

TEST(HostFsWindows, SearchesMatchWithoutCaseAndGiveStoredNames) {
  testutil::TempDir dir("hostfs");
  dir.Put("Report.TXT", "abc");
  dir.Put("notes.md", "");
  ASSERT_TRUE(CreateDir(dir.Path("Sub")));
  TDirSearch search(dir.Path(""), u"*.txt", true);
  ASSERT_TRUE(search.IsOpen());
  TSearchRec rec;
  ASSERT_TRUE(search.Next(rec));
  EXPECT_EQ(rec.Name, u"Report.TXT");
  EXPECT_EQ(rec.Size, 3);
  EXPECT_TRUE(rec.Attr & faArchive);
  EXPECT_FALSE(search.Next(rec));

  TFileInfo info;
  ASSERT_TRUE(GetFileInfo(dir.Path("report.txt"), info));  // one file, any case
  EXPECT_EQ(info.Size, 3);
  EXPECT_TRUE(info.HasBirth);
  EXPECT_TRUE(SameFile(dir.Path("REPORT.txt"), dir.Path("Report.TXT")));
  ASSERT_TRUE(GetFileInfo(dir.Path("Sub"), info));
  EXPECT_TRUE(info.Attr & faDirectory);
  EXPECT_FALSE(GetFileInfo(dir.Path("absent"), info));
  EXPECT_EQ(LastOSError(), ENOENT);
}

TEST(HostFsWindows, RenamesAndDeletes) {
  testutil::TempDir dir("hostfs");
  dir.Put("a", "A");
  dir.Put("b", "B");
  EXPECT_FALSE(RenameNoReplace(dir.Path("a"), dir.Path("b")));
  EXPECT_EQ(LastOSError(), EEXIST);
  EXPECT_EQ(dir.Bytes("b"), "B");
  ASSERT_TRUE(RenameFile(dir.Path("a"), dir.Path("b")));
  EXPECT_EQ(dir.Bytes("b"), "A");
  ASSERT_TRUE(ForceDirectories(dir.Path("x/y/z")));
  EXPECT_FALSE(ForceDirectories(dir.Path("b/c")));  // a file on the way
  EXPECT_FALSE(DeleteFile(dir.Path("x")));          // never a directory
  EXPECT_TRUE(DeleteFile(dir.Path("b")));
  EXPECT_EQ(HostJoin(u"C:\\data", u"f.txt"), u"C:\\data\\f.txt");
  EXPECT_EQ(HostNamePart(u"C:\\data/sub\\f.txt"), u"f.txt");
  EXPECT_EQ(HostDirPart(u"C:f.txt"), u"C:");
}

TEST(FileReplacementWindows, ReplacesCreatesAndLeavesNoTemporaryFile) {
  testutil::TempDir dir("replace");
  dir.Put("old.txt", "old content");
  {
    FileReplacement out(dir.Path("old.txt"));
    out.Write("new", 3);
    EXPECT_EQ(dir.Bytes("old.txt"), "old content");  // not before Commit
    out.Commit();
  }
  EXPECT_EQ(dir.Bytes("old.txt"), "new");
  {
    FileReplacement out(dir.Path("fresh.txt"));
    out.Write("x", 1);
    out.Skip(3);
    out.Commit();
  }
  EXPECT_EQ(dir.Bytes("fresh.txt"), std::string("x\0\0\0", 4));
  {
    FileReplacement out(dir.Path("old.txt"));
    out.Write("lost", 4);
  }  // abandoned
  EXPECT_EQ(dir.Bytes("old.txt"), "new");
  {
    // A file created under the name meanwhile is not overwritten.
    FileReplacement out(dir.Path("race.txt"));
    dir.Put("race.txt", "theirs");
    out.Write("ours", 4);
    try {
      out.Commit();
      ADD_FAILURE() << "Commit replaced a file created meanwhile";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), EEXIST);
    }
  }
  EXPECT_EQ(dir.Bytes("race.txt"), "theirs");
  EXPECT_EQ(dir.EntryCount(), 3u);  // old, fresh, race: no temporary file left
  // A read-only file is not replaced.
  const String old_path = dir.Path("old.txt");
  const auto* old_name = reinterpret_cast<const wchar_t*>(old_path.c_str());
  ASSERT_TRUE(SetFileAttributesW(old_name, FILE_ATTRIBUTE_READONLY));
  try {
    FileReplacement out(dir.Path("old.txt"));
    ADD_FAILURE() << "a read-only file was opened for replacing";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), EACCES);
  }
  EXPECT_EQ(dir.Bytes("old.txt"), "new");
  SetFileAttributesW(old_name, FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace zel
