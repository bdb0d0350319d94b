#include "zel/streams/streamio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "zel/platform/exceptions.h"
#include "zel/platform/filestream.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

// A stream that counts the calls of its writer and can fail on reads after
// a number of bytes, and hides from the fast paths of the helpers.
class ProbeStream : public TStream {
 public:
  explicit ProbeStream(std::string bytes = {}) : data(std::move(bytes)) {}
  int64_t Read(void* Buffer, int64_t Count) override {
    if (fail_reads) throw EReadError(u"disk gone");
    const int64_t n = std::min<int64_t>(Count, static_cast<int64_t>(data.size()) - pos);
    if (n <= 0) return 0;
    std::memcpy(Buffer, data.data() + pos, static_cast<size_t>(n));
    pos += n;
    return n;
  }
  int64_t Write(const void* Buffer, int64_t Count) override {
    writes.push_back(Count);
    data.append(static_cast<const char*>(Buffer), static_cast<size_t>(Count));
    return Count;
  }
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override {
    pos = (Origin == soBeginning ? 0 : Origin == soCurrent ? pos : static_cast<int64_t>(data.size())) + Offset;
    return pos;
  }
  std::string data;
  int64_t pos = 0;
  bool fail_reads = false;
  std::vector<int64_t> writes;
};

TEST(WriteStringStream, BuffersIn4096ByteBlocksAndKeepsTheLowByte) {
  const struct {
    size_t length;
    std::vector<int64_t> writes;
  } cases[] = {
      {0, {}},  // a zero-byte WriteBuffer is no call of Write
      {5, {5}},
      {4096, {4096}},
      {4097, {4096, 1}},
      {9000, {4096, 4096, 808}},
  };
  for (const auto& c : cases) {
    ProbeStream s;
    WriteStringStream(s, String(c.length, u'\u0141'));
    EXPECT_EQ(s.writes, c.writes) << c.length;
    EXPECT_EQ(s.data, std::string(c.length, 'A')) << c.length;
  }
  ProbeStream s;
  WriteLnStream(s, u"");
  EXPECT_EQ(s.data, "\r\n");
  WriteLnStream(s, u"x\u00FF");
  EXPECT_EQ(s.data, "\r\nx\xFF\r\n");
}

TEST(BinaryValues, RoundTripWithTheirByteLayouts) {
  TMemoryStream m;
  WriteExtendedToStream(m, -1.5L);
  WriteDoubleToStream(m, 2.5);
  WriteSingleToStream(m, 0.25f);
  WriteLongintToStream(m, -2);
  ASSERT_EQ(m.Size(), 10 + 8 + 4 + 4);
  const uint8_t extended[10] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0xBF};
  EXPECT_EQ(std::memcmp(m.Memory(), extended, 10), 0);
  EXPECT_EQ(std::memcmp(m.Memory() + 22, "\xFE\xFF\xFF\xFF", 4), 0);
  m.SetPosition(0);
  bool error = true;
  EXPECT_EQ(ReadExtendedFromStream(m, error), -1.5L);
  EXPECT_FALSE(error);
  error = true;
  EXPECT_EQ(ReadDoubleFromStream(m, error), 2.5);
  EXPECT_FALSE(error);
  error = true;
  EXPECT_EQ(ReadSingleFromStream(m, error), 0.25f);
  EXPECT_FALSE(error);
  error = true;
  EXPECT_EQ(ReadLongintFromStream(m, error), -2);
  EXPECT_FALSE(error);
}

TEST(BinaryValues, ShortOrFailingReadsGiveTheBytesReadOverZeros) {
  TStringStream three(std::string("\x01\x02\x03"));
  bool error = false;
  double d = ReadDoubleFromStream(three, error);
  EXPECT_TRUE(error);
  EXPECT_EQ(three.Position(), 3);
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  EXPECT_EQ(bits, 0x030201u);

  TStringStream two(std::string("\x07\x01"));
  EXPECT_EQ(ReadLongintFromStream(two, error), 0x0107);
  EXPECT_TRUE(error);
  error = false;
  EXPECT_EQ(ReadLongintFromStream(two, error), 0);  // nothing left
  EXPECT_TRUE(error);

  ProbeStream broken("\x01\x02\x03\x04");
  broken.fail_reads = true;
  error = false;
  EXPECT_EQ(ReadSingleFromStream(broken, error), 0.0f);
  EXPECT_TRUE(error);
  EXPECT_EQ(ReadExtendedFromStream(broken, error), 0.0L);
  EXPECT_TRUE(error);
}

struct LineCase {
  const char* bytes;
  int mode;
  std::vector<std::u16string> lines;  // the last one read with the end flag
};

// Reads lines until the end flag; the flag must come with the last line
// only, whatever the stream.  `reuse`: through one string, as a caller
// reading line after line would (its old contents must not show).
std::vector<std::u16string> AllLines(TStream& s, int mode, bool reuse = false) {
  std::vector<std::u16string> lines;
  bool eos = false;
  String line = u"left over from before";
  while (!eos) {
    if (reuse) {
      ReadLnStream(s, line, eos, mode);
    } else {
      line = ReadLnStream(s, eos, mode);
    }
    lines.push_back(line);
    if (lines.size() > 500) break;
  }
  return lines;
}

TEST(ReadLnStream, EveryModeOnEveryKindOfStream) {
  const LineCase cases[] = {
      {"a\r\nb", 0, {u"a", u"b"}},
      {"\n", 0, {u"", u""}},
      {"a\r\n", 2, {u"a", u"", u""}},
      {"a\rb\nc", 1, {u"a", u"b\nc"}},
      {"a\r\r\nb", 0, {u"a\r", u"b"}},          // at most two line-end characters go
      {"a\nb\n\rc\r", 3, {u"a\nb", u"c\r"}},    // LF CR ends; the end keeps the CR
      {"a\rb\r\nc", 4, {u"a\rb", u"c"}},        // CR LF ends; a lone CR stays
      {"\r\n", 3, {u"\r\n"}},                   // no LF before the CR
      {"x\r\ny\n", 7, {u"x\r\ny\n"}},           // other modes: the rest
      {"", 0, {u""}},
      {"\xE9\xFF\n", 0, {u"\u00E9\u00FF", u""}},
  };
  testutil::TempDir dir("readln");
  for (const auto& c : cases) {
    TStringStream mem{std::string(c.bytes)};
    EXPECT_EQ(AllLines(mem, c.mode), c.lines) << c.bytes << " mode " << c.mode;
    ProbeStream other(c.bytes);
    EXPECT_EQ(AllLines(other, c.mode), c.lines) << c.bytes << " mode " << c.mode;
    dir.Put("f", c.bytes);
    TFileStream file(dir.Path("f"), fmOpenRead);
    EXPECT_EQ(AllLines(file, c.mode, /*reuse=*/true), c.lines) << c.bytes << " mode " << c.mode;
  }
}

// Line ends at every offset around the 16-byte steps of the line-end scan
// and past the point where it hands over to memchr.
TEST(ReadLnStream, LinesOfEveryLengthAroundTheScanSteps) {
  std::string bytes;
  std::vector<std::u16string> want;
  for (size_t len = 0; len <= 300; ++len) {
    std::string line(len, 'a');
    for (size_t i = 0; i < len; ++i) line[i] = static_cast<char>('a' + i % 26);
    bytes += line + (len % 3 == 0 ? "\r\n" : "\n");
    want.push_back(std::u16string(line.begin(), line.end()));
  }
  want.push_back(u"");
  testutil::TempDir dir("readln");
  dir.Put("f", bytes);
  TFileStream file(dir.Path("f"), fmOpenRead);
  EXPECT_EQ(AllLines(file, 0, /*reuse=*/true), want);
  TStringStream mem{bytes};
  EXPECT_EQ(AllLines(mem, 0), want);
}

TEST(ReadLnStream, LinesAcrossFileWindowsAndPositionAfterTheTerminator) {
  testutil::TempDir dir("readln");
  std::string bytes(TFileStream::kBufferSize - 1, 'x');
  bytes += "\r\nyz";  // the pair straddles the window boundary
  dir.Put("f", bytes);
  TFileStream f(dir.Path("f"), fmOpenRead);
  bool eos = true;
  EXPECT_EQ(ReadLnStream(f, eos, 4).size(), TFileStream::kBufferSize - 1);
  EXPECT_FALSE(eos);
  EXPECT_EQ(f.Position(), TFileStream::kBufferSize + 1);
  EXPECT_EQ(ReadLnStream(f, eos, 4), u"yz");
  EXPECT_TRUE(eos);
}

// Streams of the library's classes whose `Read` turns every 'a' into 'b':
// the readers must see what `Read` gives, not the bytes in the buffer.
class RewritingMemory : public TMemoryStream {
 public:
  int64_t Read(void* Buffer, int64_t Count) override { return Rewrite(Buffer, TMemoryStream::Read(Buffer, Count)); }
  static int64_t Rewrite(void* Buffer, int64_t n) {
    auto* p = static_cast<char*>(Buffer);
    std::replace(p, p + std::max<int64_t>(n, 0), 'a', 'b');
    return n;
  }
};
class RewritingFile : public TFileStream {
 public:
  using TFileStream::TFileStream;
  int64_t Read(void* Buffer, int64_t Count) override {
    return RewritingMemory::Rewrite(Buffer, TFileStream::Read(Buffer, Count));
  }
};

TEST(ReadLnStream, ADerivedStreamsOwnReadIsCalled) {
  testutil::TempDir dir("readln");
  dir.Put("f", "abc\naa");
  RewritingMemory mem;
  mem.WriteBuffer("abc\naa", 6);
  mem.SetPosition(0);
  RewritingFile file(dir.Path("f"), fmOpenRead);
  for (TStream* s : std::initializer_list<TStream*>{&mem, &file}) {
    EXPECT_EQ(AllLines(*s, 0), (std::vector<String>{u"bbc", u"bb"}));
  }
  // The classes themselves still serve readers from their buffers.
  TMemoryStream plain;
  plain.WriteBuffer("xy", 2);
  plain.SetPosition(1);
  EXPECT_EQ(plain.PeekBuffered().size(), 1u);
  EXPECT_TRUE(mem.PeekBuffered().empty());
}

TEST(WholeStream, AsUtf16AndAsBytes) {
  std::string bytes;
  for (int i = 0; i < 300; ++i) bytes += "A\x01";
  bytes += "\x05";  // odd last byte: dropped
  TStringStream s(bytes);
  s.SetPosition(2);
  const String text = StreamAsString(s);
  EXPECT_EQ(text, String(299, u'\u0141'));
  EXPECT_EQ(s.Position(), s.Size());

  TStringStream b(std::string("\x00z\xFF", 3));
  EXPECT_EQ(StreamAsByteString(b), String(u"\0z\u00FF", 3));
  EXPECT_EQ(StreamAsByteString(b), u"");
}

}  // namespace
}  // namespace zel
