#include "zel/platform/rawfile.h"

#include <string>

#include <gtest/gtest.h>

#include "zel/platform/exceptions.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

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

}  // namespace
}  // namespace zel
