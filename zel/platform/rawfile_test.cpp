#include "zel/platform/rawfile.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "zel/platform/exceptions.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

int Entries(const std::string& dir) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

TEST(RawFile, ReadsBlocksAndAtOffsets) {
  testutil::TempDir dir("rawfile");
  dir.Put("f", "0123456789");
  TRawFile f(dir.Path("f"));
  EXPECT_EQ(f.Size(), 10);
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, 4), 4);
  EXPECT_EQ(std::string(buf, 4), "0123");
  EXPECT_EQ(f.ReadAt(7, buf, 8), 3);
  EXPECT_EQ(std::string(buf, 3), "789");
  EXPECT_EQ(f.Read(buf, 8), 6);  // the position was not moved by ReadAt
  EXPECT_EQ(f.Read(buf, 8), 0);

  try {
    TRawFile missing(dir.Path("missing"));
    ADD_FAILURE() << "no exception";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), ENOENT);
    EXPECT_NE(std::string(e.what()).find("missing"), std::string::npos);
  }
  EXPECT_THROW(TRawFile(FromUtf8(dir.Dir())), EInOutError);
}

TEST(ReplacementFile, ReplacesOnlyOnCommit) {
  testutil::TempDir dir("rawfile");
  dir.Put("t.txt", "old");
  {
    TReplacementFile r(dir.Path("t.txt"));
    r.Write("new content", 11);
    EXPECT_EQ(dir.Bytes("t.txt"), "old");
    EXPECT_EQ(Entries(dir.Dir()), 2);  // the temporary file beside it
  }  // not committed: dropped
  EXPECT_EQ(dir.Bytes("t.txt"), "old");
  EXPECT_EQ(Entries(dir.Dir()), 1);

  const std::string big(1 << 19, 'b');  // more than the write buffer
  TReplacementFile r(dir.Path("t.txt"));
  r.Write("a", 1);
  r.Write(big.data(), static_cast<int64_t>(big.size()));
  r.Commit();
  EXPECT_TRUE(dir.Bytes("t.txt") == "a" + big);
  EXPECT_EQ(Entries(dir.Dir()), 1);

  // A new file gets the usual permissions, not those of a private temporary.
  const mode_t old_mask = umask(022);
  TReplacementFile fresh(dir.Path("new.txt"));
  fresh.Commit();
  umask(old_mask);
  struct stat st;
  ASSERT_EQ(stat((dir.Dir() + "/new.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);

  EXPECT_THROW(TReplacementFile(dir.Path("no/such/dir/x")), EInOutError);
}

}  // namespace
}  // namespace zel
