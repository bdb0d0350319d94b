#include "zel/streams/mixedfstream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zel/platform/exceptions.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

class MixedFStreamTest : public ::testing::Test, protected testutil::TempDir {
 protected:
  MixedFStreamTest() : TempDir("mixed") {}
  // Every line of `bytes` read with `ReadLn(mode)` until `Eos`.
  std::vector<std::u16string> Lines(const std::string& bytes, int mode) {
    Put("l.txt", bytes);
    TMixedFStream s(Path("l.txt"), fmOpenRead);
    std::vector<std::u16string> lines;
    while (!s.Eos() && lines.size() < 20) lines.push_back(s.ReadLn(mode));
    return lines;
  }
};

TEST_F(MixedFStreamTest, TextAndBinaryRoundTrip) {
  {
    TMixedFStream out(Path("m.bin"), fmCreate);
    out.WriteLn(u"Header");
    out.WriteInteger(7);
    out.WriteDouble(2.5);
    out.WriteByte(0xAB);
    out.Write(u"  -12;4.5e1 ");
    EXPECT_EQ(out.Size(), 8 + 4 + 8 + 1 + 12);
  }
  EXPECT_EQ(Bytes("m.bin").substr(0, 12), std::string("Header\r\n\x07\0\0\0", 12));
  TMixedFStream in(Path("m.bin"), fmOpenRead | fmShareDenyWrite);
  bool error = true;
  EXPECT_EQ(in.ReadLn(0), u"Header");
  EXPECT_EQ(in.ReadInteger(error), 7);
  EXPECT_FALSE(error);
  EXPECT_EQ(in.ReadDouble(error), 2.5);
  EXPECT_FALSE(error);
  EXPECT_EQ(in.ReadByte(error), 0xAB);
  EXPECT_FALSE(error);
  EXPECT_EQ(in.ReadDecimal(), -12);
  EXPECT_EQ(in.ReadFPNum(true, 1), 45.0);
  EXPECT_TRUE(in.Eos());
  EXPECT_EQ(in.ReadByte(error), 0);
  EXPECT_TRUE(error);
}

TEST_F(MixedFStreamTest, ShortBinaryReadsKeepTheBytesRead) {
  Put("s.bin", std::string("\x34\x12", 2));
  TMixedFStream in(Path("s.bin"), fmOpenRead);
  bool error = false;
  EXPECT_EQ(in.ReadInteger(error), 0x1234);
  EXPECT_TRUE(error);
  EXPECT_TRUE(in.Eos());
  error = false;
  EXPECT_EQ(in.ReadExtended(error), 0.0L);
  EXPECT_TRUE(error);
}

TEST_F(MixedFStreamTest, ReadLnDropsControlCharactersAndEndsPerMode) {
  using L = std::vector<std::u16string>;
  EXPECT_EQ(Lines("a\r\nb", 0), (L{u"a", u"b"}));
  EXPECT_EQ(Lines("a\r\nb", 2), (L{u"a", u"", u"b"}));
  EXPECT_EQ(Lines("a\tb\x07" "c\n", 0), (L{u"a\tb" u"c"}));
  EXPECT_EQ(Lines("a\rb\r\nc", 1), (L{u"a", u"b", u"c"}));
  EXPECT_EQ(Lines("a\rb\r\nc", 4), (L{u"ab", u"c"}));
  EXPECT_EQ(Lines("a\n\rb\rc", 3), (L{u"a", u"bc"}));
  EXPECT_EQ(Lines("a\r\nb\n", 9), (L{u"ab"}));
  EXPECT_EQ(Lines("\xE9\x1F\xFF", 0), (L{u"\u00E9\u00FF"}));
}

TEST_F(MixedFStreamTest, ReadFPNumWithBothSeparators) {
  Put("f.txt", "-1,5e2 7");
  TMixedFStream in(Path("f.txt"), fmOpenRead);
  EXPECT_EQ(in.ReadFPNum(true, 3), -150.0);
  EXPECT_EQ(in.ReadDecimal(), 7);
  EXPECT_TRUE(in.Eos());
}

TEST_F(MixedFStreamTest, OpenFailureRaises) {
  EXPECT_THROW(TMixedFStream(Path("missing"), fmOpenRead), EFOpenError);
}

}  // namespace
}  // namespace zel
