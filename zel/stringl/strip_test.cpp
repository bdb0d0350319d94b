#include "zel/stringl/strip.h"

#include <gtest/gtest.h>

#include "zel/stringl/charclass.h"

namespace zel {
namespace {

TEST(CharClass, EachClassKnowsOnlyItsCharacters) {
  for (unsigned c = 0; c < 0x10000; ++c) {
    const Char ch = static_cast<Char>(c);
    const bool digit = c >= '0' && c <= '9';
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const bool hex = digit || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    const bool umlaut = StringView(u"äöüÄÖÜß").find(ch) != StringView::npos;
    ASSERT_EQ(IsDigit(ch), digit) << c;
    ASSERT_EQ(IsLetter(ch), letter) << c;
    ASSERT_EQ(IsDigitLetter(ch), digit || letter) << c;
    ASSERT_EQ(IsHexChar(ch), hex) << c;
    ASSERT_EQ(IsUmlaut(ch), umlaut) << c;
  }
}

struct StripCase {
  const char16_t* in;
  const char16_t* lt;        // StripLTBlanks
  const char16_t* leading;   // StripLeadingBlanks
  const char16_t* trailing;  // StripTrailingBlanks
};

TEST(Strip, Blanks) {
  const StripCase cases[] = {
      {u"", u"", u"", u""},
      {u" ", u"", u" ", u" "},
      {u"   ", u"", u" ", u" "},
      {u"a", u"a", u"a", u"a"},
      {u"  a b  ", u"a b", u"a b  ", u"  a b"},
      {u"\ta ", u"\ta", u"\ta ", u"\ta"},  // a tab is no blank
      {u" \t ", u"\t", u"\t ", u" \t"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StripLTBlanks(c.in), c.lt) << '"' << ToUtf8(c.in) << '"';
    EXPECT_EQ(StripLeadingBlanks(c.in), c.leading) << '"' << ToUtf8(c.in) << '"';
    EXPECT_EQ(StripTrailingBlanks(c.in), c.trailing) << '"' << ToUtf8(c.in) << '"';
  }
}

TEST(Strip, Chars) {
  EXPECT_EQ(StripLeadingChars(u'x', u"xxx"), u"");
  EXPECT_EQ(StripTrailingChars(u'x', u"xxx"), u"x");
  EXPECT_EQ(StripLeadingChars(u'0', u"007"), u"7");
  EXPECT_EQ(StripTrailingChars(u'0', u"1.500"), u"1.5");
  EXPECT_EQ(StripLeadingChars(u'x', u""), u"");
  EXPECT_EQ(StripTrailingChars(u'x', u""), u"");
  EXPECT_EQ(StripTrailingChars(u'x', u"axbx"), u"axb");
}

TEST(Strip, Ensure) {
  EXPECT_EQ(EnsureTrailingBkSlash(u""), u"");
  EXPECT_EQ(EnsureTrailingBkSlash(u"dir"), u"dir\\");
  EXPECT_EQ(EnsureTrailingBkSlash(u"dir\\"), u"dir\\");
  EXPECT_EQ(EnsureTrailingChar(u'/', u""), u"");
  EXPECT_EQ(EnsureTrailingChar(u'/', u"a"), u"a/");
  EXPECT_EQ(EnsureTrailingChar(u'/', u"a/"), u"a/");
  EXPECT_EQ(EnsureLeadingChar(u'#', u""), u"");
  EXPECT_EQ(EnsureLeadingChar(u'#', u"1"), u"#1");
  EXPECT_EQ(EnsureLeadingChar(u'#', u"#1"), u"#1");
}

}  // namespace
}  // namespace zel
