#include "zel/stringl/search.h"

#include <gtest/gtest.h>

#include <random>

namespace zel {
namespace {

struct PosCase {
  const char16_t* sub;
  const char16_t* s;
  int start;
  int num;
  bool ignore_case;
  int want;
};

TEST(NumberedPos, Table) {
  const PosCase cases[] = {
      {u"bc", u"abcabc", 1, 1, false, 2},
      {u"bc", u"abcabc", 1, 2, false, 5},
      {u"bc", u"abcabc", 1, 3, false, 0},
      {u"bc", u"abcabc", 3, 1, false, 5},  // the match at 2 began before StartPos
      {u"bc", u"abcabc", 0, 1, false, 2},  // StartPos 0 counts as 1
      {u"bc", u"abcabc", -5, 2, false, 5},
      {u"bc", u"abcabc", 1, 0, false, 0},  // Num below 1
      {u"bc", u"abcabc", 7, 1, false, 0},
      {u"", u"abc", 1, 1, false, 0},
      {u"aa", u"aaaa", 1, 2, false, 3},  // no overlap
      {u"aa", u"aaaa", 2, 1, false, 2},
      {u"aa", u"aaaa", 2, 2, false, 0},
      {u"BC", u"abcaBc", 1, 2, true, 5},
      {u"BC", u"abcaBc", 1, 1, false, 0},
      {u"Ä", u"aä", 1, 1, true, 0},  // folding is ASCII only
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberedPos(c.sub, c.s, c.start, c.num, c.ignore_case), c.want)
        << ToUtf8(c.sub) << " in " << ToUtf8(c.s) << " from " << c.start << " #" << c.num;
  }
}

TEST(NumberedPosBw, Table) {
  const PosCase cases[] = {
      {u"bc", u"abcabc", 6, 1, false, 5},
      {u"bc", u"abcabc", 5, 1, false, 2},  // the match at 5..6 ends behind 5
      {u"bc", u"abcabc", 6, 2, false, 2},
      {u"bc", u"abcabc", 6, 3, false, 0},
      {u"bc", u"abcabc", 99, 1, false, 5},  // clamped to the length
      {u"bc", u"abcabc", 0, 1, false, 0},   // clamped to 1: nothing ends there
      {u"aa", u"aaaa", 4, 2, false, 1},
      {u"aa", u"aaa", 3, 1, false, 2},
      {u"aa", u"aaa", 3, 2, false, 0},  // the second would overlap the first
      {u"BC", u"abcabc", 6, 2, true, 2},
      {u"", u"abc", 3, 1, false, 0},
      {u"a", u"", 1, 1, false, 0},
      {u"abcd", u"abc", 3, 1, false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberedPosBw(c.sub, c.s, c.start, c.num, c.ignore_case), c.want)
        << ToUtf8(c.sub) << " in " << ToUtf8(c.s) << " from " << c.start << " #" << c.num;
  }
}

// The backward search is the forward search on the reversed strings.
TEST(NumberedPosBw, MirrorsTheForwardSearch) {
  const String s = u"abaababaabbaaab";
  for (const String sub : {u"a", u"ab", u"aba", u"ba", u"aab"}) {
    for (int start = 1; start <= static_cast<int>(s.size()); ++start) {
      for (int num = 1; num <= 4; ++num) {
        const String rs(s.rbegin(), s.rend()), rsub(sub.rbegin(), sub.rend());
        const int fwd = NumberedPos(rsub, rs, static_cast<int>(s.size()) - start + 1, num, false);
        const int want = fwd == 0 ? 0 : static_cast<int>(s.size()) - fwd - static_cast<int>(sub.size()) + 2;
        ASSERT_EQ(NumberedPosBw(sub, s, start, num, false), want)
            << ToUtf8(sub) << " from " << start << " #" << num;
      }
    }
  }
}

TEST(Search, PosLastAndCounting) {
  EXPECT_EQ(PosLast(u"bc", u"abcabc"), 5);
  EXPECT_EQ(PosLast(u"aa", u"aaa"), 1);
  EXPECT_EQ(PosLast(u"x", u"abc"), 0);
  EXPECT_EQ(PosLast(u"", u"abc"), 0);

  EXPECT_EQ(CountStringInString(u"aa", u"aaaa", true), 2);
  EXPECT_EQ(CountStringInString(u"aa", u"aaaaa", true), 2);
  EXPECT_EQ(CountStringInString(u"Ab", u"ab AB aB", true), 0);
  EXPECT_EQ(CountStringInString(u"Ab", u"ab AB aB", false), 3);
  EXPECT_EQ(CountStringInString(u"", u"abc", true), 0);

  EXPECT_EQ(CountCharInString(u'a', u"aAbA", true), 1);
  EXPECT_EQ(CountCharInString(u'a', u"aAbA", false), 3);
  EXPECT_EQ(CountCharInString(u'ä', u"äÄ", false), 1);  // ASCII folding only
}

TEST(Search, Tests) {
  EXPECT_FALSE(TestAllChar(u"", u'x'));
  EXPECT_TRUE(TestAllChar(u"xxx", u'x'));
  EXPECT_FALSE(TestAllChar(u"xxy", u'x'));

  EXPECT_EQ(FindFirstNonBlank(u""), 0);
  EXPECT_EQ(FindFirstNonBlank(u"   "), 0);
  EXPECT_EQ(FindFirstNonBlank(u"  \tx"), 3);
  EXPECT_EQ(FindFirstDigit(u"ab7c8"), 3);
  EXPECT_EQ(FindFirstDigit(u"abc"), 0);

  EXPECT_TRUE(EqualAnsiStrings(u"äbc", u"ÄBC"));
  EXPECT_FALSE(EqualAnsiStrings(u"abc", u"abd"));
}

struct SetCase {
  const char16_t* s;
  const char16_t* set;
  bool contains;
  bool other_than;
};

TEST(Search, CharSets) {
  const SetCase cases[] = {
      {u"", u"abc", false, false},
      {u"xyz", u"abc", false, true},
      {u"xaz", u"abc", true, true},
      {u"cab", u"abc", true, false},
      {u"R2D2", u"//dig", true, true},
      {u"2024", u"//dig", true, false},
      {u"Hello", u"//uc//lc", true, false},
      {u"Hello!", u"//uc//lc", true, true},
      {u"hello", u"//uc", false, true},
      {u"a\tb", u"//lc", true, true},
      {u"a\tb", u"//lc//31dwn", true, false},
      {u"\x80\xff", u"//128up", true, false},
      {u"é", u"//lc//128up", true, false},
      {u"/dig", u"//dig", false, true},  // a macro stands for its group only
      {u"/dig", u"//dig/dig", true, false},
      {u"d", u"///dig", false, true},    // "/" then the digits
      {u"€", u"€", true, false},       // above 255: compared exactly
      {u"€", u"//128up", false, true},
      {u"ā", u"a", false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StringContains(c.s, c.set), c.contains) << ToUtf8(c.s) << " / " << ToUtf8(c.set);
    EXPECT_EQ(StringContainsOtherThan(c.s, c.set), c.other_than)
        << ToUtf8(c.s) << " / " << ToUtf8(c.set);
  }
}

// Texts over a two-letter alphabet are full of near-misses and overlaps;
// lengths cross the widths that the search handles in blocks.
TEST(Search, AgreesWithAPlainScan) {
  std::mt19937 rng(3);
  auto random_string = [&](size_t len) {
    String s;
    for (size_t i = 0; i < len; ++i) s += (rng() % 3 == 0) ? u'b' : u'a';
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    const String text = random_string(rng() % 40);
    const String sub = random_string(1 + rng() % 4);
    int count = 0, last = 0;
    String replaced;
    for (size_t i = 0; i < text.size();) {
      if (text.compare(i, sub.size(), sub) == 0) {
        ++count;
        last = static_cast<int>(i) + 1;
        replaced += u"<>";
        i += sub.size();
      } else {
        replaced += text[i++];
      }
    }
    ASSERT_EQ(CountStringInString(sub, text, true), count) << ToUtf8(sub) << " in " << ToUtf8(text);
    ASSERT_EQ(PosLast(sub, text), last) << ToUtf8(sub) << " in " << ToUtf8(text);
    ASSERT_EQ(ReplaceStringInString(text, sub, u"<>", false), replaced);
    const size_t first = text.find(sub);
    ASSERT_EQ(NumberedPos(sub, text, 1, 1, false),
              first == String::npos ? 0 : static_cast<int>(first) + 1);
  }
}

struct ReplaceCase {
  const char16_t* s;
  const char16_t* old_str;
  const char16_t* new_str;
  bool ignore_case;
  const char16_t* want;
};

TEST(ReplaceStringInString, Table) {
  const ReplaceCase cases[] = {
      {u"abcabc", u"bc", u"X", false, u"aXaX"},
      {u"abc", u"", u"X", false, u"abc"},
      {u"", u"a", u"X", false, u""},
      {u"aaaa", u"aa", u"a", false, u"aa"},     // replaced text is not searched again
      {u"aaa", u"a", u"aa", false, u"aaaaaa"},  // nor is the inserted text
      {u"Ab ab AB", u"ab", u"x", true, u"x x x"},
      {u"Ab ab AB", u"ab", u"x", false, u"Ab x AB"},
      {u"a.b.c", u".", u"", false, u"abc"},
      {u"xyz", u"xyz", u"", false, u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceStringInString(c.s, c.old_str, c.new_str, c.ignore_case), c.want)
        << ToUtf8(c.s) << ": " << ToUtf8(c.old_str) << " -> " << ToUtf8(c.new_str);
  }
}

}  // namespace
}  // namespace zel
