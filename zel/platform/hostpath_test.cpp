#include "zel/platform/hostpath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

TEST(HostPath, ListsEntriesInNameOrderWithoutFollowingLinks) {
  testutil::TempDir dir("hostpath");
  const std::string d = dir.Dir();
  ASSERT_EQ(mkdir((d + "/sub").c_str(), 0755), 0);
  dir.Put("b.txt", "");
  dir.Put("A.txt", "");
  ASSERT_EQ(symlink((d + "/sub").c_str(), (d + "/dirlink").c_str()), 0);
  ASSERT_EQ(symlink((d + "/b.txt").c_str(), (d + "/filelink").c_str()), 0);
  ASSERT_EQ(symlink((d + "/gone").c_str(), (d + "/dangling").c_str()), 0);

  const std::vector<THostDirEntry> entries = ListDirEntries(FromUtf8(d));
  struct Want {
    const char16_t* name;
    bool dir, link, to_dir;
  } const want[] = {
      {u"A.txt", false, false, false},  {u"b.txt", false, false, false},
      {u"dangling", false, true, false}, {u"dirlink", false, true, true},
      {u"filelink", false, true, false}, {u"sub", true, false, false},
  };
  ASSERT_EQ(entries.size(), std::size(want));
  for (size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(ToUtf8(want[i].name));
    EXPECT_EQ(entries[i].Name, want[i].name);
    EXPECT_EQ(entries[i].IsDir, want[i].dir);
    EXPECT_EQ(entries[i].IsLink, want[i].link);
    EXPECT_EQ(entries[i].LinksToDir, want[i].to_dir);
  }
  EXPECT_TRUE(ListDirEntries(FromUtf8(d + "/missing")).empty());
}

TEST(HostPath, StoredNamesAndTheCurrentDirectory) {
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
