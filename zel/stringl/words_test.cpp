#include "zel/stringl/words.h"

#include <gtest/gtest.h>

#include "zel/zelbase/csvdelim.h"

namespace zel {
namespace {

TEST(WordSeps, InitialContent) {
  const StringView seps = u"\"#%'()*+,-./:;<=>[\\]{}";
  std::bitset<256> want;
  want.set(0).set(10).set(13).set(32);
  for (Char c : seps) want.set(c);
  EXPECT_EQ(WordSeps.count(), 26u);
  EXPECT_EQ(WordSeps, want);
}

// Restores the process-wide separator set after a test changes it.
class WordSepsChange : public ::testing::Test {
 protected:
  void TearDown() override { WordSeps = saved_; }
  std::bitset<256> saved_ = WordSeps;
};

TEST(CountWords, Table) {
  const struct {
    const char16_t* s;
    int want;
  } cases[] = {
      {u"", 0},       {u"x", 0},          {u"hello", 0},      {u"hello ", 1},
      {u"ab cd", 1},  {u"ab cd.", 2},     {u"a bc ", 1},      {u"a b c ", 0},
      {u"ab\tcd ", 1},  // tab is no separator
      {u"ab!cd;", 1},   // nor is '!'
      {u"(ab)[cd]{ef}<gh>", 4},
      {u"ĀĀ ", 1},      // characters above 255 are never separators
  };
  for (const auto& c : cases) EXPECT_EQ(CountWords(c.s), c.want) << ToUtf8(c.s);
}

TEST_F(WordSepsChange, FunctionsReadTheSetAtCallTime) {
  EXPECT_EQ(CountWords(u"ab!cd!"), 0);
  WordSeps.set(u'!');
  EXPECT_EQ(CountWords(u"ab!cd!"), 2);
  EXPECT_EQ(ExtractWordFromString(u"ab!cd", 5), u"cd");
  WordSeps.reset(u' ');
  EXPECT_EQ(ExtractWordFromString(u"ab cd", 1), u"ab cd");
}

TEST(IsAbbreviation, Table) {
  const struct {
    const char16_t* s;
    bool want;
  } cases[] = {
      {u"GmbH", false}, {u"ABCd", true}, {u"AB12", false}, {u"AB1", true},
      {u"A", false},    {u"", false},    {u"A.B.C.", false}, {u"USA", true},
      {u"NASA-Lab", true},   // a run of 4 capitals against 2 small letters
  };
  for (const auto& c : cases) EXPECT_EQ(IsAbbreviation(c.s), c.want) << ToUtf8(c.s);
}

TEST(ExtractWordFromString, Table) {
  const struct {
    const char16_t* s;
    int pos;
    const char16_t* word;
    int start, end;
  } cases[] = {
      {u"ab,cd", 3, u",", 3, 3},
      {u"ab,cd", 5, u"cd", 4, 5},
      {u"ab,cd", 4, u"cd", 4, 5},
      {u"ab,cd", 1, u"ab", 1, 2},
      {u"ab,cd", 0, u"", 0, 0},
      {u"ab,cd", 6, u"", 0, 0},
      {u"", 1, u"", 0, 0},
      {u"x", 1, u"x", 1, 1},
      {u"one two three", 6, u"two", 5, 7},
      {u"a\U0001F600b c", 3, u"a\U0001F600b", 1, 4},  // a surrogate pair is no separator
  };
  for (const auto& c : cases) {
    int start = -1, end = -1;
    EXPECT_EQ(ExtractWordFromString(c.s, c.pos, start, end), c.word) << ToUtf8(c.s) << " @" << c.pos;
    EXPECT_EQ(start, c.start) << ToUtf8(c.s) << " @" << c.pos;
    EXPECT_EQ(end, c.end) << ToUtf8(c.s) << " @" << c.pos;
    EXPECT_EQ(ExtractWordFromString(c.s, c.pos), c.word);
  }
}

TEST(DetectCSVDelimiter, Table) {
  const struct {
    const char16_t* s;
    TCSVDelimiters want;
  } cases[] = {
      {u"a;b;c,d,e", csvSemicolon},  // two against two: the earlier kind wins
      {u"abc", csvUnknown},
      {u"", csvUnknown},
      {u"a,b,c;d", csvComma},
      {u"a\tb\tc d", csvTab},
      {u"a b,c", csvBlank},
      {u"1:2:3", csvColon},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectCSVDelimiter(c.s), c.want) << ToUtf8(c.s);
}

}  // namespace
}  // namespace zel
