#include "zel/platform/hostpath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

TEST(HostPath, StoredNamesAndTheCurrentDirectory) {
#if defined(_WIN32)
  // Windows names are case-insensitive, so "Report.TXT" and "report.txt"
  // are one file there, and the scratch files are made with narrow names
  // in the ANSI code page: this test's Windows rows are still to write.
  GTEST_SKIP() << "a POSIX file system's case-sensitive names";
#endif
  testutil::TempDir dir("hostpath");
  dir.Put("Report.TXT", "");
  dir.Put("report.txt", "");
  dir.Put("\xC3\x84rger", "");
  const String d = FromUtf8(dir.Dir());
  EXPECT_EQ(FindStoredName(d, u"report.txt"), u"report.txt");  // exact wins
  EXPECT_EQ(FindStoredName(d, u"REPORT.txt"), u"Report.TXT");  // else first in name order
  EXPECT_EQ(FindStoredName(d, u"\u00e4RGER"), u"\u00c4rger");
  EXPECT_EQ(FindStoredName(d, u"absent"), u"");
  EXPECT_EQ(FindStoredName(d, u".."), u"");
  EXPECT_EQ(FindStoredName(d, u""), u"");

  const std::string old = ToUtf8(GetCurrentDir());
  ASSERT_EQ(chdir(dir.Dir().c_str()), 0);
  const String cwd = GetCurrentDir();
  ASSERT_EQ(chdir(old.c_str()), 0);
  EXPECT_EQ(cwd, d);
}

}  // namespace
}  // namespace zel
