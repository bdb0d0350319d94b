#include "zel/platform/filereplace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "zel/platform/exceptions.h"
#include "zel/platform/stream.h"
#include "zel/platform/textfile.h"
#include "zel/testutil/filesizelimit.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

using testutil::FileSizeLimit;
using testutil::TempDir;

const std::string kLong(5000, 'x');

TEST(FileReplacement, CommitReplacesAndKeepsPermissions) {
  TempDir dir("replace");
  dir.Put("t.txt", "old");
  chmod((dir.Dir() + "/t.txt").c_str(), 0640);
  FileReplacement out(dir.Path("t.txt"));
  out.Write("new", 3);
  EXPECT_EQ(dir.Bytes("t.txt"), "old");  // nothing visible before the commit
  out.Commit();
  EXPECT_EQ(dir.Bytes("t.txt"), "new");
  EXPECT_EQ(dir.EntryCount(), 1u);
  struct stat st;
  ASSERT_EQ(stat((dir.Dir() + "/t.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(FileReplacement, ALinkKeepsPointingAtTheNewContent) {
  TempDir dir("replace");
  dir.Put("real.txt", "old");
  ASSERT_EQ(symlink("real.txt", (dir.Dir() + "/link.txt").c_str()), 0);
  FileReplacement out(dir.Path("link.txt"));
  out.Write("new", 3);
  out.Commit();
  EXPECT_EQ(dir.Bytes("real.txt"), "new");
  struct stat st;
  ASSERT_EQ(lstat((dir.Dir() + "/link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(FileReplacement, AMissingDirectoryOrAReadOnlyFileIsAnError) {
  TempDir dir("replace");
  EXPECT_THROW(FileReplacement(dir.Path("no/such/t.txt")), EInOutError);
  dir.Put("ro.txt", "keep");
  chmod((dir.Dir() + "/ro.txt").c_str(), 0444);
  EXPECT_THROW(FileReplacement(dir.Path("ro.txt")), EInOutError);
  EXPECT_EQ(dir.Bytes("ro.txt"), "keep");
  EXPECT_EQ(dir.EntryCount(), 1u);
}

// A save that fails part-way (here a file-size limit, as a full disk would)
// or stops with an exception leaves the old file and no temporary file.
TEST(TextFileRewriteReplacing, FailedSavesLeaveTheOldFile) {
  TempDir dir("replace");
  dir.Put("t.txt", "old content");
  {
    FileSizeLimit limit(100);
    TextFile f(dir.Path("t.txt"));
    f.RewriteReplacing();
    f.Write(FromUtf8(kLong));
    EXPECT_THROW(f.Close(), EInOutError);
  }
  EXPECT_EQ(dir.Bytes("t.txt"), "old content");
  EXPECT_EQ(dir.EntryCount(), 1u);

  try {
    TextFile f(dir.Path("t.txt"));
    f.RewriteReplacing();
    f.WriteLn(u"half of it");
    throw std::runtime_error("the writer stops");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(dir.Bytes("t.txt"), "old content");
  EXPECT_EQ(dir.EntryCount(), 1u);

  TextFile f(dir.Path("t.txt"));
  f.RewriteReplacing();
  f.WriteLn(u"all of it");
  f.Close();
  EXPECT_EQ(dir.Bytes("t.txt"), "all of it\r\n");
  EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(TextFileRewriteReplacing, WithChecksOffTheFailureIsTheResult) {
  TempDir dir("replace");
  dir.Put("t.txt", "old");
  FileSizeLimit limit(100);
  TextFile f(dir.Path("t.txt"));
  f.SetIOChecks(false);
  f.RewriteReplacing();
  f.Write(FromUtf8(kLong));
  f.Close();
  EXPECT_NE(f.IOResult(), 0);
  EXPECT_EQ(dir.Bytes("t.txt"), "old");
}

TEST(MemoryStreamSaveToFile, AFailedSaveLeavesTheOldFile) {
  TempDir dir("replace");
  dir.Put("m.bin", "old");
  TMemoryStream m;
  m.WriteBuffer(kLong.data(), static_cast<int64_t>(kLong.size()));
  {
    FileSizeLimit limit(100);
    EXPECT_THROW(m.SaveToFile(dir.Path("m.bin")), EInOutError);
  }
  EXPECT_EQ(dir.Bytes("m.bin"), "old");
  m.SaveToFile(dir.Path("m.bin"));
  EXPECT_EQ(dir.Bytes("m.bin"), kLong);
  EXPECT_EQ(dir.EntryCount(), 1u);
}

}  // namespace
}  // namespace zel
