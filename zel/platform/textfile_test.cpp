#include "zel/platform/textfile.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <fcntl.h>
#include <unistd.h>
#if defined(_WIN32)
#include <io.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>

#include "zel/platform/exceptions.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

// A pipe of descriptors, and whether a descriptor is open, on either host.
int MakePipe(int fds[2]) {
#if defined(_WIN32)
  return _pipe(fds, 4096, _O_BINARY);
#else
  return pipe(fds);
#endif
}

bool IsOpenFd(int fd) {
#if defined(_WIN32)
  return _get_osfhandle(fd) != -1;
#else
  return fcntl(fd, F_GETFD) != -1;
#endif
}

class TextFileTest : public ::testing::Test, protected testutil::TempDir {
 protected:
  TextFileTest() : TempDir("text") {}
  std::vector<String> Lines(const std::string& name) {
    TextFile f(Path(name));
    f.Reset();
    std::vector<String> lines;
    String line;
    while (!f.Eof()) {
      f.ReadLn(line);
      lines.push_back(line);
    }
    return lines;
  }
};

TEST_F(TextFileTest, WritesUtf8WithWidthsAndCrLf) {
  TextFile f;
  f.AssignFile(Path("out.txt"));
  EXPECT_FALSE(f.IsOpen());
  f.Rewrite();
  EXPECT_TRUE(f.IsOpen());
  f.Write(u"Grüße");
  f.Write(u"ab", 4);
  f.Write(u'x');
  f.Write(u'y', 3);
  f.WriteLn();
  f.Write(42, 5);
  f.Write(-7);
  f.Write(uint64_t{18446744073709551615u}, 1);
  f.WriteLn(u"|");
  f.Write(3.14159, 8, 2);
  f.Write(-2.5, 12);
  f.Write(1.0);
  f.WriteLn();
  f.Close();
  EXPECT_FALSE(f.IsOpen());
  EXPECT_EQ(Bytes("out.txt"),
            "Gr\xC3\xBC\xC3\x9F" "e  abx  y\r\n"
            "   42-718446744073709551615|\r\n"
            "    3.14-2.500E+0000 1.0000000000000000E+0000\r\n");
}

TEST_F(TextFileTest, ReadsEveryKindOfLineEnd) {
  Put("in.txt", "a\r\nb\nc\rd\r\n\r\nlast");
  EXPECT_EQ(Lines("in.txt"), (std::vector<String>{u"a", u"b", u"c", u"d", u"", u"last"}));
  Put("end.txt", "x\r\n");
  EXPECT_EQ(Lines("end.txt"), (std::vector<String>{u"x"}));
  Put("empty.txt", "");
  EXPECT_TRUE(Lines("empty.txt").empty());
  TextFile f(Path("end.txt"));
  f.Reset();
  f.ReadLn();
  String line = u"junk";
  f.ReadLn(line);  // at the end: empty, no error
  EXPECT_EQ(line, u"");
}

TEST_F(TextFileTest, LineEndsAcrossTheBufferBoundary) {
  // A line that spans the 64 KiB buffer, and a CR LF split between two reads.
  std::string big(65535, 'x');
  Put("big.txt", big + "\r\nnext\r" + std::string(70000, 'y') + "\nz");
  const auto lines = Lines("big.txt");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].size(), 65535u);
  EXPECT_EQ(lines[1], u"next");
  EXPECT_EQ(lines[2], String(70000, u'y'));
  EXPECT_EQ(lines[3], u"z");
}

TEST_F(TextFileTest, InvalidUtf8ReadsAsWindows1252) {
  // A BOM, valid UTF-8, an old 8-bit e-acute and euro sign, a cut sequence.
  Put("mixed.txt", "\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F" "e caf\xE9 \x80 \xE2\x82\r\n");
  EXPECT_EQ(Lines("mixed.txt"), (std::vector<String>{u"Grüße café € \u00E2\u201A"}));
}

TEST_F(TextFileTest, ReadCharGivesLineEndsPairsAndCtrlZ) {
  Put("chars.txt", "a\xC3\xA9\r\n\xE9\xF0\x9F\x98\x80" "b");
  TextFile f(Path("chars.txt"));
  f.Reset();
  String got;
  while (!f.Eof()) {
    Char c;
    f.Read(c);
    got += c;
  }
  EXPECT_EQ(got, u"a\u00E9\r\n\u00E9\U0001F600b");
  Char c = u'?';
  f.Read(c);
  EXPECT_EQ(c, Char{0x1A});
  f.Close();
  // Eoln sees the line end without consuming it.
  f.Reset();
  f.Read(c);
  EXPECT_FALSE(f.Eoln());
  f.Read(c);
  EXPECT_TRUE(f.Eoln());
}

TEST_F(TextFileTest, ReadIntegerSkipsWhitespaceAndRejectsBadText) {
  Put("nums.txt", "  12\r\n\t-7 $1F\r\n3 rest of line\r\n12x\r\n");
  TextFile f(Path("nums.txt"));
  f.Reset();
  int32_t a = 0, b = 0, c = 0, d = 0;
  f.Read(a);
  f.Read(b);
  f.Read(c);
  f.Read(d);
  EXPECT_EQ(a, 12);
  EXPECT_EQ(b, -7);
  EXPECT_EQ(c, 31);
  EXPECT_EQ(d, 3);
  String rest;
  f.ReadLn(rest);
  EXPECT_EQ(rest, u" rest of line");
  int32_t e = 5;
  try {
    f.Read(e);
    FAIL();
  } catch (const EInOutError& err) {
    EXPECT_EQ(err.ErrorCode(), ioInvalidNumber);
  }
  EXPECT_EQ(e, 0);
  f.ReadLn();
  f.Read(e);  // at the end of the file: 0, no error
  EXPECT_EQ(e, 0);
}

TEST_F(TextFileTest, ErrorsThrowOrSetIOResult) {
  TextFile f;
  try {
    f.Reset();
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), ioFileNotAssigned);
  }
  f.AssignFile(Path("missing.txt"));
  try {
    f.Reset();
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), ENOENT);
    EXPECT_EQ(e.Message(), u"Cannot open file \"" + Path("missing.txt") +
                               u"\". No such file or directory");
  }
  EXPECT_THROW(f.Append(), EInOutError);  // Append does not create
  String line;
  try {
    f.ReadLn(line);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), ioFileNotOpen);
  }

  f.SetIOChecks(false);
  f.Reset();
  EXPECT_TRUE(f.Eof());       // a pending code blocks the file
  EXPECT_EQ(f.IOResult(), ENOENT);
  EXPECT_EQ(f.IOResult(), 0);  // read once
  f.Rewrite();
  EXPECT_EQ(f.IOResult(), 0);
  f.ReadLn(line);
  EXPECT_EQ(f.IOResult(), ioNotOpenForInput);
  f.Write(u"kept");
  f.Close();
  f.Reset();
  f.Write(u"x");
  EXPECT_EQ(f.IOResult(), ioNotOpenForOutput);
  int32_t n = 1;
  f.Read(n);
  EXPECT_EQ(f.IOResult(), ioInvalidNumber);
  f.Close();
  EXPECT_EQ(Bytes("missing.txt"), "kept");
}

TEST_F(TextFileTest, AppendEraseAndRename) {
  Put("log.txt", "one\r\n");
  TextFile f(Path("log.txt"));
  f.Append();
  f.WriteLn(u"two");
  f.Close();
  EXPECT_EQ(Bytes("log.txt"), "one\r\ntwo\r\n");
  f.Rename(Path("log2.txt"));
  EXPECT_EQ(f.FileName(), Path("log2.txt"));
  EXPECT_FALSE(std::filesystem::exists(Dir() + "/log.txt"));
  EXPECT_EQ(Lines("log2.txt"), (std::vector<String>{u"one", u"two"}));
  f.Reset();
  f.Erase();  // closes first
  EXPECT_FALSE(f.IsOpen());
  EXPECT_FALSE(std::filesystem::exists(Dir() + "/log2.txt"));
  try {
    f.Erase();
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), ENOENT);
  }
}

TEST_F(TextFileTest, SurrogatePairSplitAcrossWritesStaysOneCharacter) {
  const String face = u"\U0001F600";
  TextFile f(Path("pair.txt"));
  f.Rewrite();
  f.Write(face[0]);
  f.Write(face[1]);
  f.Write(u'\xD800');  // a lone high half at the close
  f.Close();
  EXPECT_EQ(Bytes("pair.txt"), "\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST_F(TextFileTest, ReadCharThenReadLnKeepsTheLowHalf) {
  Put("pair.txt", "\xF0\x9F\x98\x80z\n");
  TextFile f(Path("pair.txt"));
  f.Reset();
  Char c;
  f.Read(c);
  String rest;
  f.ReadLn(rest);
  EXPECT_EQ(String(1, c) + rest, u"\U0001F600z");
}

TEST_F(TextFileTest, ResetOfStandardInputReadsNothingYet) {
  // An interactive program resets its input, then writes a prompt: Reset
  // must not wait for input.  A non-blocking empty pipe makes any read fail
  // at once instead of hanging the test.
#if defined(_WIN32)
  GTEST_SKIP() << "Windows has no non-blocking pipe: a read by Reset would hang the test";
#else
  int in_pipe[2];
  ASSERT_EQ(pipe(in_pipe), 0);
  ASSERT_EQ(fcntl(in_pipe[0], F_SETFL, O_NONBLOCK), 0);
  const int saved_in = dup(STDIN_FILENO);
  dup2(in_pipe[0], STDIN_FILENO);
  String line;
  {
    TextFile in(u"");
    EXPECT_NO_THROW(in.Reset());
    // The byte-order mark is still skipped at the first read.
    ASSERT_EQ(write(in_pipe[1], "\xEF\xBB\xBFhi\n", 6), 6);
    close(in_pipe[1]);
    in.ReadLn(line);
    EXPECT_TRUE(in.Eof());
  }
  dup2(saved_in, STDIN_FILENO);
  close(saved_in);
  close(in_pipe[0]);
  EXPECT_EQ(line, u"hi");
#endif
}

TEST_F(TextFileTest, EmptyNameMeansStandardInputAndOutput) {
  int in_pipe[2], out_pipe[2];
  ASSERT_EQ(MakePipe(in_pipe), 0);
  ASSERT_EQ(MakePipe(out_pipe), 0);
  ASSERT_EQ(write(in_pipe[1], "abc\r\n42", 7), 7);
  close(in_pipe[1]);
  const int saved_in = dup(STDIN_FILENO), saved_out = dup(STDOUT_FILENO);
  dup2(in_pipe[0], STDIN_FILENO);
  dup2(out_pipe[1], STDOUT_FILENO);
  String line;
  int32_t n = 0;
  {
    TextFile in(u"");
    in.Reset();
    in.ReadLn(line);
    in.Read(n);
    EXPECT_TRUE(in.Eof());
    in.Close();
    TextFile out(u"");
    out.Rewrite();
    out.WriteLn(u"out");
    out.Close();
  }
  dup2(saved_in, STDIN_FILENO);
  dup2(saved_out, STDOUT_FILENO);
  close(saved_in);
  close(saved_out);
  close(in_pipe[0]);
  close(out_pipe[1]);
  char buf[16] = {};
  EXPECT_EQ(read(out_pipe[0], buf, sizeof buf), 5);
  close(out_pipe[0]);
  EXPECT_EQ(std::string(buf), "out\r\n");
  EXPECT_EQ(line, u"abc");
  EXPECT_EQ(n, 42);
  // Closing left the standard descriptors open.
  EXPECT_TRUE(IsOpenFd(STDIN_FILENO));
  EXPECT_TRUE(IsOpenFd(STDOUT_FILENO));
}

}  // namespace
}  // namespace zel
