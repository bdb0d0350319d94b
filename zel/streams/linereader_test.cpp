#include "zel/streams/linereader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <set>
#include <string>
#include <vector>

#include "zel/platform/filestream.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

// The Windows C runtime opens in text mode (CR LF read as LF) unless told
// otherwise; the reader is to see the bytes as they are.
#if defined(O_BINARY)
constexpr int kBinary = O_BINARY;
#else
constexpr int kBinary = 0;
#endif

std::vector<std::string> RawLines(TLineReader& r) {
  std::vector<std::string> lines;
  std::string_view line;
  while (r.ReadLine(line)) lines.emplace_back(line);
  return lines;
}

struct Case {
  std::string bytes;
  std::vector<std::string> strip;  // leStrip
  std::vector<std::string> keep;   // leKeep
};

const Case kCases[] = {
    {"", {}, {}},
    {"\n", {""}, {"\n"}},
    {"a\r\nb", {"a", "b"}, {"a\r\n", "b"}},
    {"a\r\r\n\rb\r", {"a\r", "\rb"}, {"a\r\r\n", "\rb\r"}},  // one CR before the LF goes
    {"x\n\ny\n", {"x", "", "y"}, {"x\n", "\n", "y\n"}},
    {"no end", {"no end"}, {"no end"}},
    {"a\rb\n", {"a\rb"}, {"a\rb\n"}},  // a lone CR ends nothing
};

TEST(TLineReader, LinesFromAStreamAndAFileDescriptor) {
  testutil::TempDir dir("linereader");
  for (const Case& c : kCases) {
    for (const TLineEnds ends : {leStrip, leKeep}) {
      const auto& want = ends == leStrip ? c.strip : c.keep;
      TStringStream s(c.bytes);
      TLineReader from_stream(s, ends);
      EXPECT_EQ(RawLines(from_stream), want) << c.bytes;

      dir.Put("f", c.bytes);
      const int fd = ::open((dir.Dir() + "/f").c_str(), O_RDONLY | kBinary);
      ASSERT_GE(fd, 0);
      TLineReader from_fd(fd, ends);
      EXPECT_EQ(RawLines(from_fd), want) << c.bytes;
      EXPECT_EQ(from_fd.LineNumber(), static_cast<int64_t>(want.size()));
      EXPECT_EQ(from_fd.Error(), 0);
      ::close(fd);
    }
  }
}

TEST(TLineReader, LinesAcrossBlocksAndLongerThanABlock) {
  // Lines straddling block boundaries, and one several blocks long (the
  // buffer grows for it) between short ones; the stream starts mid-way.
  std::string bytes = "skip\n";
  std::vector<std::string> want;
  for (int i = 0; i < 40000; ++i) want.push_back("line " + std::to_string(i) + std::string(i % 13, '.'));
  want.push_back(std::string(3 * TLineReader::kBlockSize + 5, 'L'));
  want.push_back("after");
  for (const auto& w : want) bytes += w + "\r\n";
  TStringStream s(bytes);
  s.SetPosition(5);
  TLineReader r(s);
  EXPECT_EQ(RawLines(r), want);
}

TEST(TLineReader, DecodesUtf8WithInvalidBytesAsWindows1252) {
  const std::string bytes = "plain\ncaf\xC3\xA9 \xE9\x80\n\xF0\x9F\x98\x80\r\n";
  TStringStream s(bytes);
  TLineReader r(s);
  String line = u"old contents";
  std::vector<String> lines;
  std::vector<bool> ascii;
  while (r.ReadLine(line)) {
    lines.push_back(line);
    ascii.push_back(r.LastLineAscii());
  }
  EXPECT_EQ(lines, (std::vector<String>{u"plain", u"café é€", u"\U0001F600"}));
  EXPECT_EQ(ascii, (std::vector<bool>{true, false, false}));
}

// Lines of every length around the 16-byte scan steps and its 256-byte
// limit, each with one non-ASCII byte at a few places or none: the lines
// and whether each is ASCII (a high byte in the next line must not count).
TEST(TLineReader, LinesOfEveryLengthKnowWhetherTheyAreAscii) {
  for (const TLineEnds ends : {leStrip, leKeep}) {
    std::string bytes;
    std::vector<std::string> want;
    std::vector<bool> want_ascii;
    for (size_t len = 0; len <= 300; ++len) {
      // Where the one high byte goes; len: nowhere.
      std::set<size_t> places = {len};
      if (len > 0) places.insert({0, len / 2, len - 1});
      for (const size_t high : places) {
        std::string line(len, static_cast<char>('a' + len % 26));
        if (high < len) line[high] = '\xE9';
        const std::string end = len % 3 == 0 ? "\r\n" : "\n";
        bytes += line + end;
        want.push_back(ends == leKeep ? line + end : line);
        want_ascii.push_back(high >= len);
      }
    }
    TStringStream s(bytes);
    TLineReader r(s, ends);
    std::vector<std::string> got;
    std::vector<bool> got_ascii;
    std::string_view line;
    while (r.ReadLine(line)) {
      got.emplace_back(line);
      got_ascii.push_back(r.LastLineAscii());
    }
    EXPECT_EQ(got, want) << ends;
    EXPECT_EQ(got_ascii, want_ascii) << ends;
  }
}

TEST(TLineReader, AReadErrorEndsTheLinesAndIsReported) {
  testutil::TempDir dir("linereader");
  struct Case {
    const char* what;
    int fd;
    int error;
  };
  dir.Put("f", "a line\n");
  const Case cases[] = {
#if !defined(_WIN32)  // Windows opens no directory as a file
      {"a directory", ::open(dir.Dir().c_str(), O_RDONLY | O_DIRECTORY), EISDIR},
#endif
      {"a file open for writing only", ::open((dir.Dir() + "/f").c_str(), O_WRONLY | kBinary), EBADF},
  };
  for (const Case& c : cases) {
    ASSERT_GE(c.fd, 0) << c.what;
    TLineReader r(c.fd);
    String line;
    EXPECT_FALSE(r.ReadLine(line)) << c.what;
    EXPECT_EQ(r.Error(), c.error) << c.what;
    ::close(c.fd);
  }
}

}  // namespace
}  // namespace zel
