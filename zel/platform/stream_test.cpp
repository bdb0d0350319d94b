#include "zel/platform/stream.h"

#include <gtest/gtest.h>

#include <cstring>

#include "zel/platform/exceptions.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

std::string Contents(const TMemoryStream& m) {
  auto& mm = const_cast<TMemoryStream&>(m);
  return std::string(reinterpret_cast<const char*>(m.Memory()), static_cast<size_t>(mm.Size()));
}

TEST(MemoryStream, ReadWriteSeekAndZeroFilledGap) {
  TMemoryStream m;
  EXPECT_EQ(m.Write("abc", 3), 3);
  EXPECT_EQ(m.Position(), 3);
  EXPECT_EQ(m.Seek(2, soCurrent), 5);
  EXPECT_EQ(m.Size(), 3);  // seeking alone does not grow
  m.WriteBuffer("x", 1);
  EXPECT_EQ(Contents(m), std::string("abc\0\0x", 6));
  EXPECT_EQ(m.Seek(-2, soEnd), 4);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 2);  // fewer at the end
  EXPECT_EQ(std::string(buf, 2), std::string("\0x", 2));
  EXPECT_EQ(m.Read(buf, 8), 0);
  EXPECT_EQ(m.Read(buf, -1), 0);
  m.Seek(10, soBeginning);
  EXPECT_EQ(m.Read(buf, 1), 0);  // past the end reads nothing
}

TEST(MemoryStream, WritesFromItsOwnMemory) {
  // Growing may move the block the source bytes lie in.
  TMemoryStream m;
  m.WriteBuffer("abcdefgh", 8);
  m.WriteBuffer(m.Memory(), m.Size());  // append a copy of the contents
  EXPECT_EQ(Contents(m), "abcdefghabcdefgh");
  m.SetPosition(10);
  m.WriteBuffer(m.Memory() + 4, 10);  // overlapping and growing
  EXPECT_EQ(Contents(m), "abcdefghabefghabcdef");
  m.SaveToStream(m);  // at the end: the stream doubles
  EXPECT_EQ(Contents(m), "abcdefghabefghabcdefabcdefghabefghabcdef");
}

TEST(MemoryStream, NegativeSeekRaisesAndKeepsPosition) {
  TMemoryStream m;
  m.Write("abcd", 4);
  EXPECT_THROW(m.Seek(-5, soCurrent), EStreamError);
  EXPECT_EQ(m.Position(), 4);
  EXPECT_THROW(m.Seek(-1, soBeginning), EStreamError);
  EXPECT_EQ(m.Position(), 4);
}

TEST(MemoryStream, ShortReadBufferRaisesAfterConsumingWhatWasThere) {
  TMemoryStream m;
  m.Write("abc", 3);
  m.SetPosition(1);
  char buf[4] = {};
  try {
    m.ReadBuffer(buf, 4);
    FAIL() << "no exception";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), u"Stream read error");
  }
  EXPECT_EQ(std::string(buf, 2), "bc");
  EXPECT_EQ(m.Position(), 3);
  m.ReadBuffer(buf, 0);  // nothing asked, nothing raised
}

TEST(MemoryStream, SetSizeGrowsWithZerosAndClampsPosition) {
  TMemoryStream m;
  m.Write("abcdef", 6);
  m.SetSize(2);
  EXPECT_EQ(m.Position(), 2);
  EXPECT_EQ(Contents(m), "ab");
  m.SetPosition(1);
  m.SetSize(4);
  EXPECT_EQ(m.Position(), 1);
  EXPECT_EQ(Contents(m), std::string("ab\0\0", 4));
  EXPECT_THROW(m.SetSize(-1), EStreamError);
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Position(), 0);
}

TEST(MemoryStream, CopyFromWholeSourceOrCount) {
  TMemoryStream src;
  src.Write("0123456789", 10);
  src.SetPosition(7);
  TMemoryStream dst;
  EXPECT_EQ(dst.CopyFrom(src, 0), 10);  // 0: the whole source from its start
  EXPECT_EQ(Contents(dst), "0123456789");
  src.SetPosition(2);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(src, 3), 3);
  EXPECT_EQ(Contents(part), "234");
  EXPECT_EQ(src.Position(), 5);
  src.SetPosition(8);
  EXPECT_THROW(part.CopyFrom(src, 5), EReadError);
}

TEST(MemoryStream, FileAndStreamRoundTrip) {
  testutil::TempDir dir("stream");
  const String name = dir.Path("daten_ä.bin");
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i * 7 % 251);
  TMemoryStream a;
  a.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  a.SaveToFile(name);
  EXPECT_EQ(dir.Bytes("daten_ä.bin"), bytes);
  TMemoryStream b;
  b.Write("junk", 4);
  b.LoadFromFile(name);
  EXPECT_EQ(b.Position(), 0);
  EXPECT_EQ(Contents(b), bytes);
  TMemoryStream c;
  a.SetPosition(5);
  c.LoadFromStream(a);  // from the start of the source
  EXPECT_EQ(Contents(c), bytes);
  TMemoryStream d;
  d.Write("<", 1);
  c.SaveToStream(d);
  EXPECT_EQ(Contents(d), "<" + bytes);
}

TEST(StringStream, EveryByteRoundTripsThroughWindows1252) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  TStringStream s(all);
  const String text = s.DataString();
  ASSERT_EQ(text.size(), 256u);
  EXPECT_EQ(text[0x80], u'\u20AC');  // euro sign
  EXPECT_EQ(text[0xE9], u'\u00E9');
  TStringStream back(text);
  EXPECT_EQ(back.DataBytes(), all);
  EXPECT_EQ(back.Position(), 0);
}

TEST(StringStream, TextWithoutAnsiByteBecomesQuestionMark) {
  TStringStream s(u"a\u0141\u20ACb");
  EXPECT_EQ(s.DataBytes(), "a?\x80" "b");
  s.Seek(0, soEnd);
  s.WriteString(u"\u00FC");
  EXPECT_EQ(s.DataString(), u"a?\u20ACb\u00FC");
  TStringStream raw("x\xFFy");
  char c;
  raw.SetPosition(1);
  raw.ReadBuffer(&c, 1);
  EXPECT_EQ(static_cast<unsigned char>(c), 0xFF);
}

}  // namespace
}  // namespace zel
