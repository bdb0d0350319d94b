#include "zel/streams/streamsearch.h"

#include <gtest/gtest.h>

#include <string>

#include "zel/platform/filestream.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

std::string Rest(TStringStream& s) {
  return std::string(s.DataBytes().substr(static_cast<size_t>(s.Position())));
}

TEST(FindInStream, StopsAfterTheByteOrAtTheEnd) {
  TStringStream s(std::string("ab\0cd\0", 6));
  EXPECT_TRUE(FindInStream(s, 0));
  EXPECT_EQ(s.Position(), 3);
  EXPECT_TRUE(FindInStream(s, 0));
  EXPECT_EQ(s.Position(), 6);
  EXPECT_FALSE(FindInStream(s, 0));
  s.SetPosition(0);
  EXPECT_FALSE(FindInStream(s, 'z'));
  EXPECT_EQ(s.Position(), 6);
}

TEST(ReadStreamUntil, MatchesWithoutCaseAndStopsRightAfter) {
  TStringStream s("head: Value END of it END");
  s.SetPosition(6);
  int err = 5;
  EXPECT_EQ(ReadStreamUntil(s, u"end", err), u"Value END");
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Rest(s), " of it END");
  EXPECT_EQ(ReadStreamUntil(s, u"eNd", err), u" of it END");
  EXPECT_EQ(Rest(s), "");
}

TEST(ReadStreamUntil, AcrossBlocksAndWhenNotFound) {
  // The match straddles the 256-byte block boundary.
  std::string bytes(254, 'x');
  bytes += "MARKrest";
  TStringStream s(bytes);
  int err = 5;
  EXPECT_EQ(ReadStreamUntil(s, u"mark", err).size(), 258u);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(Rest(s), "rest");

  TStringStream none(std::string(600, 'y'));
  none.SetPosition(10);
  EXPECT_EQ(ReadStreamUntil(none, u"zz", err), String(590, u'y'));
  EXPECT_EQ(err, -1);
  EXPECT_EQ(none.Position(), 600);

  TStringStream empty("abc");
  EXPECT_EQ(ReadStreamUntil(empty, u"", err), u"abc");
  EXPECT_EQ(err, -1);
}

TEST(CountLinesInStream, CountsLfFromThePosition) {
  const struct {
    const char* bytes;
    int lines;
  } cases[] = {{"a\nb", 1}, {"a\nb\n", 2}, {"", 0}, {"\r\r", 0}, {"\n\n\n", 3}};
  for (const auto& c : cases) {
    TStringStream s{std::string(c.bytes)};
    EXPECT_EQ(CountLinesInStream(s), c.lines) << c.bytes;
    EXPECT_EQ(s.Position(), s.Size());
  }
  testutil::TempDir dir("countlines");
  std::string big;
  for (int i = 0; i < 30000; ++i) big += "line\n";
  dir.Put("f", big);
  TFileStream f(dir.Path("f"), fmOpenRead);
  f.SetPosition(5);
  EXPECT_EQ(CountLinesInStream(f), 29999);
}

String g_seen_command;
void Reverse(String Command, String& Substring) {
  g_seen_command = Command;
  Substring.assign(Substring.rbegin(), Substring.rend());
}

TEST(SearchAndReplace, ReplacementsAndModifiers) {
  const struct {
    const char* source;
    const char16_t* search;
    const char16_t* replace;
    bool ignore_case;
    int start, max;
    const char16_t* brackets;
    const char* result;
    int count;
  } cases[] = {
      {"a cat, a Cat", u"cat", u"dog", false, 0, 0, u"", "a dog, a Cat", 1},
      {"a cat, a Cat", u"cat", u"dog", true, 0, 0, u"", "a dog, a dog", 2},
      {"a cat, a Cat", u"CAT", u"[{match}]", true, 0, 0, u"{}", "a [cat], a [Cat]", 2},
      {"ab ab ab", u"ab", u"{upper}{count}", false, 0, 0, u"{}", "AB1 AB2 AB3", 3},
      {"ab ab ab", u"ab", u"x", false, 1, 0, u"", "ab x x", 2},
      {"ab ab ab", u"ab", u"x", false, 0, 2, u"", "x x ab", 2},
      {"ab ab ab", u"ab", u"x", false, 100, 0, u"", "ab ab ab", 0},
      {"AB", u"ab", u"%lower%%%", true, 0, 0, u"%", "ab%", 1},
      {"AB", u"ab", u"{lower", true, 0, 0, u"{}", "{lower", 1},    // unclosed: literal
      {"AB", u"ab", u"{what}", true, 0, 0, u"{}", "{what}", 1},    // unknown, no handler
      {"aaaa", u"aa", u"b", false, 0, 0, u"", "bb", 2},            // no overlaps
      {"abc", u"", u"x", false, 0, 0, u"", "abc", 0},
      {"x\xE9y", u"\u00E9", u"\u0141", false, 0, 0, u"", "xAy", 1},  // low bytes
  };
  for (const auto& c : cases) {
    TStringStream src{std::string(c.source)};
    src.SetPosition(1);
    TMemoryStream dest;
    dest.WriteBuffer("old stuff", 9);
    EXPECT_EQ(SearchAndReplace(src, dest, c.search, c.replace, c.ignore_case, c.start, c.max,
                               c.brackets, nullptr),
              c.count)
        << c.source << " " << ToUtf8(c.replace);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(dest.Memory()),
                          static_cast<size_t>(dest.Size())),
              c.result)
        << c.source << " " << ToUtf8(c.replace);
    EXPECT_EQ(dest.Position(), 0);
    EXPECT_EQ(src.Position(), 1);
  }
}

TEST(SearchAndReplace, UnknownModifierGoesToTheHandlerAndInPlaceWorks) {
  TStringStream s("say Hello, hello");
  EXPECT_EQ(SearchAndReplace(s, s, u"hello", u"<<rev>>", true, 0, 0, u"<>", &Reverse), 2);
  EXPECT_EQ(g_seen_command, u"<rev");  // the first '>' closes the command
  EXPECT_EQ(s.DataBytes(), "say olleH>, olleh>");
  EXPECT_EQ(SearchAndReplace(s, s, u"olle", u"{Rev}", false, 0, 0, u"{}", &Reverse), 2);
  EXPECT_EQ(g_seen_command, u"Rev");
  EXPECT_EQ(s.DataBytes(), "say elloH>, elloh>");
}

}  // namespace
}  // namespace zel
