#include "zel/filesys/textfiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "zel/platform/exceptions.h"
#include "zel/platform/hostfs.h"
#include "zel/testutil/filesizelimit.h"
#include "zel/testutil/symlink.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

using Lines = std::vector<String>;

// The lines of a file as `TextFile` reads them one by one: the reference
// the block readers must agree with.
Lines ReadAllLines(const String& name) {
  TextFile f(name);
  f.Reset();
  Lines lines;
  String line;
  while (!f.Eof()) {
    f.ReadLn(line);
    lines.push_back(line);
  }
  return lines;
}

// Text made of short and long lines with every kind of line end, a byte-order
// mark now and then, UTF-8 and stray 8-bit bytes.
std::string RandomText(std::mt19937& rng, size_t lines) {
  static const char* const kEnds[] = {"\n", "\r\n", "\r", "\r\r\n", "\n\r"};
  static const char* const kWords[] = {"a", "word", "gr\xC3\xBC\xC3\x9F", "\xE9t\xE9", "", "x y"};
  std::string text = rng() % 4 == 0 ? "\xEF\xBB\xBF" : "";
  for (size_t i = 0; i < lines; ++i) {
    const size_t words = rng() % 50 == 0 ? 5000 : rng() % 4;
    for (size_t w = 0; w < words; ++w) text += kWords[rng() % 6];
    if (i + 1 < lines || rng() % 2) text += kEnds[rng() % 5];
  }
  return text;
}

TEST(TextFiles, BlockReadersAgreeWithTheLineReader) {
  testutil::TempDir dir("textfiles");
  std::mt19937 rng(13);
  std::vector<std::string> texts = {"", "\xEF\xBB\xBF", "\n", "\r", "\r\n", "a", "a\n", "a\r\nb",
                                    "\n\n\r\r", "\xEF\xBB\xBF\r\n"};
  for (int i = 0; i < 60; ++i) texts.push_back(RandomText(rng, rng() % 200));
  for (const std::string& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text.substr(0, 40)));
    dir.Put("t.txt", text);
    const String name = dir.Path("t.txt");
    const Lines all = ReadAllLines(name);
    const int64_t total = static_cast<int64_t>(all.size());
    EXPECT_EQ(CountLinesInTextFile(name, nullptr), total);
    TextFile f(name);
    EXPECT_EQ(CountLinesInTextFile(f, nullptr), total);
    for (int n : {1, 2, 7, 150, 400}) {
      const Lines want(all.end() - std::min<int64_t>(n, total), all.end());
      EXPECT_EQ(ReadLastLinesOfFile(name, n), want) << n;
      Lines padded(static_cast<size_t>(n) - want.size());
      padded.insert(padded.end(), want.begin(), want.end());
      int64_t count = -1;
      EXPECT_EQ(ReadLastNLinesOfTextFile(name, n, count), padded) << n;
      EXPECT_EQ(count, total);
      count = -1;
      EXPECT_EQ(ReadLastNLinesOfTextFile(f, n, count), padded) << n;
      EXPECT_EQ(count, total);
    }
  }
}

TEST(TextFiles, LineEndsSplitAcrossReadBlocks) {
  testutil::TempDir dir("textfiles");
  // CR LF pairs and lone CRs at every offset around the 16 KiB and 256 KiB
  // block edges of the tail and count readers.
  for (size_t edge : {size_t{1} << 14, size_t{1} << 18}) {
    for (size_t shift = edge - 2; shift <= edge + 1; ++shift) {
      for (const char* end : {"\r\n", "\r", "\n"}) {
        std::string text(shift, 'x');
        text += end;
        text += "last\r\nline";
        dir.Put("t.txt", text);
        const String name = dir.Path("t.txt");
        EXPECT_EQ(CountLinesInTextFile(name, nullptr), 3) << shift;
        EXPECT_EQ(ReadLastLinesOfFile(name, 2), (Lines{u"last", u"line"})) << shift;
        EXPECT_EQ(ReadLastLinesOfFile(name, 3)[0], String(shift, u'x')) << shift;
      }
    }
  }
}

TEST(TextFiles, LastLinesExamples) {
  testutil::TempDir dir("textfiles");
  dir.Put("five.txt", "1\r\n2\r\n3\r\n4\r\n5\r\n");
  dir.Put("two.txt", "1\n2");
  int64_t count = 0;
  EXPECT_EQ(ReadLastNLinesOfTextFile(dir.Path("five.txt"), 3, count), (Lines{u"3", u"4", u"5"}));
  EXPECT_EQ(count, 5);
  EXPECT_EQ(ReadLastNLinesOfTextFile(dir.Path("two.txt"), 3, count), (Lines{u"", u"1", u"2"}));
  EXPECT_EQ(count, 2);
  EXPECT_TRUE(ReadLastNLinesOfTextFile(dir.Path("five.txt"), 0, count).empty());
  EXPECT_EQ(count, 5);
  EXPECT_TRUE(ReadLastNLinesOfTextFile(dir.Path("five.txt"), -4, count).empty());

  // The open-file variant leaves the file at its start.
  TextFile f(dir.Path("five.txt"));
  ReadLastNLinesOfTextFile(f, 2, count);
  String line;
  f.ReadLn(line);
  EXPECT_EQ(line, u"1");

  EXPECT_THROW(ReadLastNLinesOfTextFile(dir.Path("missing.txt"), 3, count), EInOutError);
  EXPECT_THROW(ReadLastLinesOfFile(dir.Path("missing.txt"), 3), EInOutError);
}

std::vector<double> g_progress;
void RecordProgress(TObject* sender, double count, double zero) {
  EXPECT_EQ(sender, nullptr);
  EXPECT_EQ(zero, 0);
  g_progress.push_back(count);
}

TEST(TextFiles, CountReportsEveryThousandLines) {
  testutil::TempDir dir("textfiles");
  struct Case {
    int lines;
    std::vector<double> calls;
  } const cases[] = {
      {2500, {1000, 2000}},
      {999, {}},
      {3000, {1000, 2000, 3000}},  // the last line counts, with or without its end
  };
  for (const auto& c : cases) {
    for (const char* last_end : {"\n", ""}) {
      std::string text;
      for (int i = 1; i <= c.lines; ++i) text += std::to_string(i) + (i < c.lines ? "\r\n" : last_end);
      dir.Put("n.txt", text);
      g_progress.clear();
      EXPECT_EQ(CountLinesInTextFile(dir.Path("n.txt"), &RecordProgress), c.lines);
      EXPECT_EQ(g_progress, c.calls);
      g_progress.clear();
      TextFile f(dir.Path("n.txt"));
      EXPECT_EQ(CountLinesInTextFile(f, &RecordProgress), c.lines);
      EXPECT_EQ(g_progress, c.calls);
    }
  }
  // Blocks of many lines report each thousand they pass.
  dir.Put("many.txt", std::string(300000, '\n'));
  g_progress.clear();
  EXPECT_EQ(CountLinesInTextFile(dir.Path("many.txt"), &RecordProgress), 300000);
  ASSERT_EQ(g_progress.size(), 300u);
  for (size_t k = 0; k < g_progress.size(); ++k) EXPECT_EQ(g_progress[k], 1000.0 * (k + 1));
}

TEST(TextFiles, EnsureCRLF) {
  testutil::TempDir dir("textfiles");
  const struct {
    std::string in, out;
  } cases[] = {
      {"a\rb", "a\r\nb"},         {"a\nb", "a\nb"},
      {"a\r\nb", "a\r\nb"},       {"a\r", "a\r\n"},
      {"\r\r", "\r\n\r"},         {"\r\rx", "\r\n\rx"},  // a CR's follower is not examined
      {"", ""},                   {"\xFF\xFE\r\x80", "\xFF\xFE\r\n\x80"},
      {std::string(1 << 18, 'x') + "\rz", std::string(1 << 18, 'x') + "\r\nz"},
      {std::string((1 << 18) - 1, 'x') + "\rz", std::string((1 << 18) - 1, 'x') + "\r\nz"},
      {std::string((1 << 18) - 1, 'x') + "\r\r", std::string((1 << 18) - 1, 'x') + "\r\n\r"},
      {std::string((1 << 18) - 1, 'x') + "\r\nz", std::string((1 << 18) - 1, 'x') + "\r\nz"},
  };
  for (const auto& c : cases) {
    dir.Put("in.txt", c.in);
    EnsureCRLFInFile(dir.Path("in.txt"), dir.Path("out.txt"));
    SCOPED_TRACE(testing::PrintToString(c.in.substr(c.in.size() > 8 ? c.in.size() - 8 : 0)));
    EXPECT_TRUE(dir.Bytes("out.txt") == c.out);
    EXPECT_TRUE(dir.Bytes("in.txt") == c.in);
    // In place.
    EnsureCRLFInFile(dir.Path("in.txt"), dir.Path("in.txt"));
    EXPECT_TRUE(dir.Bytes("in.txt") == c.out);
  }
  EXPECT_THROW(EnsureCRLFInFile(dir.Path("missing"), dir.Path("out.txt")), EInOutError);
}

TEST(TextFiles, EnsureCRLFKeepsPermissionsLinksAndNoTemporaryFile) {
#if defined(_WIN32)
  GTEST_SKIP() << "POSIX permission bits and a link made without privilege: Windows has neither";
#else
  testutil::TempDir dir("textfiles");
  dir.Put("script.sh", "#!/bin/sh\recho hi\r");
  ASSERT_EQ(chmod((dir.Dir() + "/script.sh").c_str(), 0751), 0);
  ASSERT_EQ(symlink("script.sh", (dir.Dir() + "/link.sh").c_str()), 0);
  EnsureCRLFInFile(dir.Path("link.sh"), dir.Path("link.sh"));
  EXPECT_EQ(dir.Bytes("script.sh"), "#!/bin/sh\r\necho hi\r\n");
  struct stat st;
  ASSERT_EQ(lstat((dir.Dir() + "/link.sh").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat((dir.Dir() + "/script.sh").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0751u);
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Dir())) ++entries;
  EXPECT_EQ(entries, 2);
#endif
}

TEST(TextFiles, FailedRewriteLeavesTheOriginalUntouched) {
  testutil::TempDir dir("textfiles");
  const std::string original = std::string(100000, 'x') + "\r" + std::string(100000, 'y');
  dir.Put("big.txt", original);
  {
    // Writes past 50000 bytes fail: the rewrite stops half way.
    testutil::FileSizeLimit limit(50000);
    if (!limit.Active()) GTEST_SKIP() << limit.WhyNot();
    try {
      EnsureCRLFInFile(dir.Path("big.txt"), dir.Path("big.txt"));
      ADD_FAILURE() << "the failed write was not reported";
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), EFBIG);
    }
  }
  EXPECT_TRUE(dir.Bytes("big.txt") == original);
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Dir())) ++entries;
  EXPECT_EQ(entries, 1) << "the temporary file must be removed";
}

TEST(TextFiles, AppendCreatesThenAppends) {
  testutil::TempDir dir("textfiles");
  AppendToTextFile(dir.Path("log.txt"), u"first");
  TStringList more;
  more.Add(u"second");
  more.Add(u"dritte Zeile \u00fc");
  AppendToTextFile(dir.Path("log.txt"), more);
  EXPECT_EQ(dir.Bytes("log.txt"), "first\r\nsecond\r\ndritte Zeile \xC3\xBC\r\n");
  // A directory cannot be appended to, and is not replaced by a file.
  EXPECT_THROW(AppendToTextFile(FromUtf8(dir.Dir()), u"x"), EInOutError);
  EXPECT_THROW(AppendToTextFile(dir.Path("no/such/dir.txt"), u"x"), EInOutError);
  // A new file that cannot be written whole does not appear at all.
  {
    testutil::FileSizeLimit limit(100);
    if (!limit.Active()) GTEST_SKIP() << limit.WhyNot();
    EXPECT_THROW(AppendToTextFile(dir.Path("new.txt"), String(500, u'x')), EInOutError);
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Dir() + "/new.txt"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Dir()), {}), 1);
}

TEST(TextFiles, SearchingText) {
  testutil::TempDir dir("textfiles");
  dir.Put("t.txt", "hello world\r\nHello World\nsecond WORLD line\n\xC3\x84RGER \xC3\xA4rger\n");
  const String name = dir.Path("t.txt");
  EXPECT_EQ(DetectStringInFile(name, u"world", false, 100), 7);
  EXPECT_EQ(DetectStringInFile(name, u"world", false, 5), 0);
  EXPECT_EQ(DetectStringInFile(name, u"World", false, 100), 11 + 7);
  EXPECT_EQ(DetectStringInFile(name, u"WORLD", true, 100), 7);
  EXPECT_EQ(DetectStringInFile(name, u"second", false, 22), 0);   // lines 1-2 fill the limit
  EXPECT_EQ(DetectStringInFile(name, u"second", false, 23), 23);
  EXPECT_EQ(DetectStringInFile(name, u"absent", false, 1000), 0);
  EXPECT_EQ(DetectStringInFile(name, u"", false, 1000), 0);

  String line = u"stale";
  int64_t number = -1;
  EXPECT_EQ(FindFirstMatchInTextFile(name, u"WORLD", true, line), 7);
  EXPECT_EQ(line, u"hello world");
  EXPECT_EQ(FindFirstMatchInTextFile(name, u"World", false, line, number), 7);
  EXPECT_EQ(line, u"Hello World");
  EXPECT_EQ(number, 2);
  // Locale-aware folding: Ä and ä are the same letter.
  EXPECT_EQ(FindFirstMatchInTextFile(name, u"\u00e4rger", true, line, number), 1);
  EXPECT_EQ(number, 4);
  EXPECT_EQ(FindFirstMatchInTextFile(name, u"absent", true, line, number), 0);
  EXPECT_EQ(line, u"");
  EXPECT_EQ(number, 0);
  EXPECT_THROW(FindFirstMatchInTextFile(dir.Path("missing"), u"x", true, line), EInOutError);
  EXPECT_THROW(DetectStringInFile(dir.Path("missing"), u"x", true, 9), EInOutError);
}

TEST(TextFiles, ReadsWords) {
  testutil::TempDir dir("textfiles");
  for (const char* text : {"  abc\tdef", "  abc\tdef\r\n", "\r\n abc \x01 def  "}) {
    dir.Put("w.txt", text);
    TextFile f(dir.Path("w.txt"));
    f.Reset();
    EXPECT_EQ(ReadNextWordInTextFile(f), u"abc");
    EXPECT_EQ(ReadNextWordInTextFile(f), u"def");
    EXPECT_EQ(ReadNextWordInTextFile(f), u"");
    EXPECT_EQ(ReadNextWordInTextFile(f), u"");
  }
}

TEST(TextFiles, TypeFromTheFirstBytes) {
  const struct {
    std::string bytes;
    TTextfileType type;
  } cases[] = {
      {"\xEF\xBB\xBFx", tftUTF8},
      {std::string("\xFF\xFE\0\0", 4), tftUnicode4_le},
      {std::string("\0\0\xFE\xFF", 4), tftUnicode4_be},
      {"\xFF\xFE" "a\0", tftUnicode_le},
      {"\xFF\xFE", tftUnicode4_le},  // the missing bytes count as 0
      {"\xFE\xFF", tftUnicode_be},
      {"{\\rtf1", tftRTF},
      {"{\\r", tftRTF},
      {"{\\", tftUnknown},
      {"\xEF\xBB", tftUnknown},
      {"", tftUnknown},
      {"plain", tftUnknown},
  };
  testutil::TempDir dir("textfiles");
  for (const auto& c : cases) {
    dir.Put("f", c.bytes);
    EXPECT_EQ(CheckTextFileType(dir.Path("f")), c.type) << testing::PrintToString(c.bytes);
  }
  EXPECT_THROW(CheckTextFileType(dir.Path("missing")), EInOutError);
  EXPECT_THROW(CheckTextFileType(FromUtf8(dir.Dir())), EInOutError);
}

TEST(TextFiles, FileDetectSearchesDepthFirstWithoutFollowingLinks) {
  testutil::TempDir dir("textfiles");
  testutil::TempDir outside("textfiles_outside");
  const std::string d = dir.Dir();
  for (const char* sub : {"a", "a/deep", "b", ".hidden"}) ASSERT_TRUE(CreateDir(dir.Path(sub)));
  ASSERT_TRUE(CreateDir(outside.Path("x")));
  dir.Put("top.txt", "");
  dir.Put("a/deep/Found.CSV", "");
  dir.Put("b/found.csv", "");
  dir.Put(".hidden/secret.dat", "");
  dir.Put(".dotfile.dat", "");
  outside.Put("x/only.bin", "");
  // A loop back to the top and a link to a directory with the only match.
  // (Where the host makes no links, see zel/testutil/symlink.h, the search
  // runs over the tree without them.)
  const bool links = testutil::MakeSymLink(FromUtf8(d), dir.Path("a/loop")) &&
                     testutil::MakeSymLink(outside.Path("x"), dir.Path("b/escape")) &&
                     testutil::MakeSymLink(dir.Path("top.txt"), dir.Path("b/filelink.lnk"));
#if !defined(_WIN32)
  ASSERT_TRUE(links);
#endif

  const String base = FromUtf8(d);
  EXPECT_EQ(FileDetect(base + u"/TOP.TXT"), base + u"/top.txt");
  EXPECT_EQ(FileDetect(base + u"\\*.csv"), base + u"/a/deep/Found.CSV");
  EXPECT_EQ(FileDetect(base + u"/b/*.CSV"), base + u"/b/found.csv");
  EXPECT_EQ(FileDetect(base + u"/*.lnk"), links ? base + u"/b/filelink.lnk" : u"");
  EXPECT_EQ(FileDetect(base + u"/*.dat"), u"");
  EXPECT_EQ(FileDetect(base + u"/only.bin"), u"");
  EXPECT_EQ(FileDetect(base + u"/nothing*"), u"");
  EXPECT_EQ(FileDetect(base + u"/missing/dir/*"), u"");
  EXPECT_EQ(FileDetect(base + u"/"), u"");
}

}  // namespace
}  // namespace zel
