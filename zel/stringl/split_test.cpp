#include "zel/stringl/split.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(Triggers, ExtractAfterAndBefore) {
  EXPECT_EQ(ExtractAfterTrigger(u"a: b: c", u":", false), u" b: c");
  EXPECT_EQ(ExtractAfterTrigger(u"a: b: c", u":", true), u"b: c");
  EXPECT_EQ(ExtractAfterTrigger(u"a: b", u"=", true), u"");
  EXPECT_EQ(ExtractAfterTrigger(u"a: b", u"", false), u"");
  EXPECT_EQ(ExtractAfterTrigger(u"aXb", u"x", false), u"");  // case-sensitive
  EXPECT_EQ(ExtractBeforeTrigger(u" a : b: c", u":", false), u" a ");
  EXPECT_EQ(ExtractBeforeTrigger(u" a : b: c", u":", true), u"a");
  EXPECT_EQ(ExtractBeforeTrigger(u"a: b", u"=", false), u"");
  EXPECT_EQ(ExtractBeforeTrigger(u"=>x", u"=>", false), u"");
}

TEST(SplitString, Cases) {
  String left = u"old", right = u"old";
  SplitString(u"key = value", u"=", true, left, right);
  EXPECT_EQ(left, u"key");
  EXPECT_EQ(right, u"value");
  SplitString(u"key = value", u"=", false, left, right);
  EXPECT_EQ(left, u"key ");
  EXPECT_EQ(right, u" value");
  SplitString(u"a::b::c", u"::", false, left, right);
  EXPECT_EQ(left, u"a");
  EXPECT_EQ(right, u"b::c");
  SplitString(u"key value", u"=", true, left, right);
  EXPECT_EQ(left, u"");
  EXPECT_EQ(right, u"");
}

// An output may be the very string that is split (read through a view of
// it); long texts make the strings live on the heap.
TEST(SplitString, OutputMayBeTheInput) {
  String s = u"a long key = a value long enough for the heap", right;
  SplitString(s, u"=", true, s, right);
  EXPECT_EQ(s, u"a long key");
  EXPECT_EQ(right, u"a value long enough for the heap");
  String left;
  s = u"a long key = a value long enough for the heap";
  SplitString(s, u"=", false, left, s);
  EXPECT_EQ(left, u"a long key ");
  EXPECT_EQ(s, u" a value long enough for the heap");
}

TEST(ExtractSubString, Table) {
  const struct {
    const char16_t* s;
    int index;
    const char16_t* delim;
    const char16_t* want;
  } cases[] = {
      {u"a;b;;c", 0, u";", u"a"},  {u"a;b;;c", 1, u";", u"b"},
      {u"a;b;;c", 2, u";", u""},   {u"a;b;;c", 3, u";", u"c"},
      {u"a;b;;c", 4, u";", u""},   {u"a;b;;c", -1, u";", u""},
      {u";x", 0, u";", u""},       {u";x", 1, u";", u"x"},
      {u"", 0, u";", u""},         {u"abc", 0, u";", u"abc"},
      {u"a;", 1, u";", u""},  // the delimiter ends the string
      {u"a::b::c", 2, u"::", u"c"},
      {u"a::b", 1, u"::", u"b"},
      {u"a;b\0;c", 2, u";", u""},  // code 0 ends the string
      {u"a;b", 0, u"", u""},
      {u"xaby", 1, u"ab", u"y"},
      {u"abABx", 1, u"ab", u""},  // the field begins with "AB": empty
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractSubString(c.s, c.index, c.delim), c.want)
        << ToUtf8(c.s) << " #" << c.index;
  }
  // A literal with a code-0 character needs its full length.
  const String with_nul(u"a;b\0;c", 6);
  EXPECT_EQ(ExtractSubString(with_nul, 1, u";"), u"b");
  EXPECT_EQ(ExtractSubString(with_nul, 2, u";"), u"");
}

TEST(Tokenize, Plain) {
  TOpenStringArray tokens{u"stale"};
  EXPECT_EQ(Tokenize(u"a,,b", u",", tokens), 3);
  EXPECT_EQ(tokens, (TOpenStringArray{u"a", u"", u"b"}));
  EXPECT_EQ(Tokenize(u"", u",", tokens), 1);
  EXPECT_EQ(tokens, (TOpenStringArray{u""}));
  EXPECT_EQ(Tokenize(u"a,b", u"", tokens), 1);
  EXPECT_EQ(tokens, (TOpenStringArray{u"a,b"}));
  EXPECT_EQ(Tokenize(u",a,", u",", tokens), 3);
  EXPECT_EQ(tokens, (TOpenStringArray{u"", u"a", u""}));
  EXPECT_EQ(Tokenize(u"a<>b<>", u"<>", tokens), 3);
  EXPECT_EQ(tokens, (TOpenStringArray{u"a", u"b", u""}));
}

// The text may be one of the tokens the array already holds.
TEST(Tokenize, TextMayBeATokenOfTheArray) {
  TOpenStringArray tokens{u"a first token,a second token,a third token"};
  EXPECT_EQ(Tokenize(tokens[0], u",", tokens), 3);
  EXPECT_EQ(tokens, (TOpenStringArray{u"a first token", u"a second token", u"a third token"}));
  tokens = {u"x", u"a first\\, token,a second token"};
  EXPECT_EQ(Tokenize(tokens[1], u",", u'\\', tokens), 2);
  EXPECT_EQ(tokens, (TOpenStringArray{u"a first, token", u"a second token"}));
}

TEST(Tokenize, AtMostAThousandTokens) {
  String s;
  for (int i = 0; i < 1200; ++i) s += u"x,";
  TOpenStringArray tokens;
  EXPECT_EQ(Tokenize(s, u",", tokens), 1000);
  ASSERT_EQ(tokens.size(), 1000u);
  EXPECT_EQ(tokens[998], u"x");
  // After 999 cuts the remainder, delimiters included, is the last token.
  String rest;
  for (int i = 999; i < 1200; ++i) rest += u"x,";
  EXPECT_EQ(tokens[999], rest);
}

TEST(Tokenize, Escaped) {
  const struct {
    const char16_t* s;
    const char16_t* delim;
    Char esc;
    TOpenStringArray want;
  } cases[] = {
      {u"a\\,b,c", u",", u'\\', {u"a,b", u"c"}},
      {u"a\\\\b,c", u",", u'\\', {u"a\\b", u"c"}},  // a doubled escape is one
      {u"a\\,\\,b", u",", u'\\', {u"a,,b"}},
      {u"a,\\,b", u",", u'\\', {u"a", u",b"}},
      {u"", u",", u'\\', {u""}},
      {u"a\\::b::c", u"::", u'\\', {u"a::b", u"c"}},
      // Only the one character before the delimiter is looked at.
      {u"a\\\\,b", u",", u'\\', {u"a,b"}},
      // Cutting compares case-sensitively, unescaping ignores ASCII case.
      {u"1xA2xa3", u"A", u'x', {u"1A2A3"}},
  };
  for (const auto& c : cases) {
    TOpenStringArray tokens;
    EXPECT_EQ(Tokenize(c.s, c.delim, c.esc, tokens), static_cast<int>(c.want.size())) << ToUtf8(c.s);
    EXPECT_EQ(tokens, c.want) << ToUtf8(c.s);
  }
}

// Reads all lines of `s` in `mode`.
std::vector<String> Lines(StringView s, int mode) {
  std::vector<String> lines;
  int pos = 1;
  bool end = false;
  while (!end) lines.push_back(ReadLnString(s, pos, end, mode));
  return lines;
}

TEST(ReadLnString, CrLfInModeFour) {
  const String s = u"ab\r\ncd";
  int pos = 1;
  bool end = true;
  EXPECT_EQ(ReadLnString(s, pos, end, 4), u"ab");
  EXPECT_EQ(pos, 5);
  EXPECT_FALSE(end);
  EXPECT_EQ(ReadLnString(s, pos, end, 4), u"cd");
  EXPECT_TRUE(end);
  EXPECT_EQ(pos, 7);
}

TEST(ReadLnString, Modes) {
  using V = std::vector<String>;
  const String s = u"a\rb\nc\r\nd\n\re\tf";
  EXPECT_EQ(Lines(s, 0), (V{u"ab", u"c", u"d", u"ef"}));
  EXPECT_EQ(Lines(s, 1), (V{u"a", u"bc", u"d", u"ef"}));
  EXPECT_EQ(Lines(s, 2), (V{u"a", u"b", u"c", u"", u"d", u"", u"ef"}));
  EXPECT_EQ(Lines(s, 3), (V{u"abcd", u"ef"}));
  EXPECT_EQ(Lines(s, 4), (V{u"abc", u"def"}));
  EXPECT_EQ(Lines(s, 9), (V{u"abcdef"}));
  EXPECT_EQ(Lines(u"", 2), (V{u""}));
  EXPECT_EQ(Lines(u"x\n", 0), (V{u"x"}));  // no empty line after the last break
}

TEST(ReadLnString, OutOfRangeStart) {
  int pos = 0;
  bool end = false;
  EXPECT_EQ(ReadLnString(u"ab\ncd", pos, end, 0), u"ab");
  EXPECT_EQ(pos, 4);
  pos = 50;
  EXPECT_EQ(ReadLnString(u"ab", pos, end, 0), u"");
  EXPECT_TRUE(end);
  EXPECT_EQ(pos, 50);
}

TEST(ParseQuotedName, StateMachine) {
  const struct {
    const char16_t* in;
    Char quote;
    const char16_t* name;
    TQuotedStrState state;
    int consumed;  // characters taken before the first false
  } cases[] = {
      {u"  'Bob''s' x", u'\'', u"Bob's", vsEnd, 10},
      {u"plain rest", u'"', u"plain", vsEnd, 5},
      {u"\"a b\"", u'"', u"a b", vsQuote, 5},
      {u"\"open", u'"', u"open", vs1stQuote, 5},
      {u"\"\"", u'"', u"", vsQuote, 2},
      {u"word", u'"', u"word", vsNormal, 4},
      {u"   ", u'"', u"", vsStart, 3},
  };
  for (const auto& c : cases) {
    String name;
    TQuotedStrState st = vsStart;
    int consumed = 0;
    for (Char ch : StringView(c.in)) {
      if (!ParseQuotedName(ch, c.quote, name, st)) break;
      ++consumed;
    }
    EXPECT_EQ(name, c.name) << ToUtf8(c.in);
    EXPECT_EQ(st, c.state) << ToUtf8(c.in);
    EXPECT_EQ(consumed, c.consumed) << ToUtf8(c.in);
  }
  String name = u"x";
  TQuotedStrState st = vsEnd;
  EXPECT_FALSE(ParseQuotedName(u'y', u'"', name, st));
  EXPECT_EQ(name, u"x");
}

TEST(ExtractParam, Table) {
  const struct {
    const char16_t* s;
    int index;
    Char delim, quote;
    const char16_t* want;
  } cases[] = {
      {u"7, \"a, b\", x", 1, u',', u'"', u"7"},
      {u"7, \"a, b\", x", 2, u',', u'"', u"a, b"},
      {u"7, \"a, b\", x", 3, u',', u'"', u"x"},
      {u"7, \"a, b\", x", 4, u',', u'"', u"?"},
      {u"7, \"a, b\", x", 0, u',', u'"', u"?"},
      {u"7, \"a, b\", x", 2, u',', 0, u"\"a"},  // no quoting
      {u"a,,c", 2, u',', u'"', u"?"},            // empty: the default
      {u"a, \" \" ,c", 2, u',', u'"', u" "},     // blanks inside quotes stay
      {u"'it''s';b", 1, u';', u'\'', u"it's"},
      {u"", 1, u',', u'"', u"?"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractParam(c.s, c.index, c.delim, c.quote, u"?"), c.want)
        << ToUtf8(c.s) << " #" << c.index;
  }
}

}  // namespace
}  // namespace zel
