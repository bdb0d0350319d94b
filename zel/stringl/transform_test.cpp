#include "zel/stringl/transform.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(Transform, RemoveAndReplace) {
  EXPECT_EQ(ReplaceCharInString(u"a.b.c", u'.', u','), u"a,b,c");
  EXPECT_EQ(RemoveCharInString(u"a.b..c", u'.'), u"abc");
  EXPECT_EQ(RemoveMultiChars(u"a,,,b,c", u','), u"a,b,c");
  EXPECT_EQ(RemoveMultiChars(u",,a,,", u','), u",a,");
  EXPECT_EQ(RemoveMultiChars(u"aaxaa", u'a'), u"axa");
  EXPECT_EQ(RemoveControlChars(String(u"a\tb\r\n") + u'\0' + u"c\x7f"), u"abc\x7f");
  EXPECT_EQ(ReverseString(u"abc"), u"cba");
  EXPECT_EQ(ReverseString(u""), u"");
  // An emoji (a surrogate pair) stays whole; a lone surrogate stays as it is.
  EXPECT_EQ(ReverseString(u"a\U0001F600b"), u"b\U0001F600a");
  EXPECT_EQ(ReverseString(u"\U0001F600\U0001F680"), u"\U0001F680\U0001F600");
  EXPECT_EQ(ReverseString(u"x\xD800"), u"\xD800x");
}

TEST(Transform, MultiCharClampsTheCount) {
  const struct { int n; size_t size; } cases[] = {{0, 1}, {-5, 1}, {1, 1}, {7, 7}, {255, 255},
                                                  {300, 255}};
  for (const auto& c : cases) EXPECT_EQ(MultiChar(u'x', c.n), String(c.size, u'x')) << c.n;
}

TEST(Transform, CaseChanges) {
  EXPECT_EQ(ChangeCase(u"aBc"), u"AbC");
  EXPECT_EQ(ChangeCase(u"äÖ1-ß"), u"Äö1-ß");
  // Every ASCII character: only the letters change (the neighbours of A-Z
  // and a-z, such as @ [ ` {, stay).
  String ascii, swapped;
  for (Char c = 0; c < 0x80; ++c) {
    ascii += c;
    swapped += c >= u'a' && c <= u'z' ? static_cast<Char>(c - 32) : c >= u'A' && c <= u'Z' ? static_cast<Char>(c + 32) : c;
  }
  EXPECT_EQ(ChangeCase(ascii), swapped);
  const struct { const char16_t *in, *out; } caps[] = {
      {u"hello world-wide", u"Hello World-Wide"},
      {u"jean-paul", u"Jean-Paul"},
      {u"2nd place", u"2nd Place"},                // digits glue to the letters after them
      {u"über alles", u"über Alles"},              // a non-ASCII first letter stays
      {u"a\u20acb", u"A\u20acb"},                  // the euro sign does not start a word
      {u"x\u00a0y", u"X\u00a0y"},                  // nor does any code above 127
      {u"x_y.z", u"X_Y.Z"},
  };
  for (const auto& c : caps) EXPECT_EQ(CapitalizeString(c.in), c.out) << ToUtf8(c.in);
}

TEST(Transform, ExpandDiphthongs) {
  const struct { const char16_t *in, *out; } cases[] = {
      {u"Äpfel", u"Aepfel"},  {u"ÄRGER", u"AERGER"}, {u"Straße", u"Strasse"},
      {u"Ö", u"OE"},          {u"Öl", u"Oel"},       {u"Über", u"Ueber"},
      {u"äöü", u"aeoeue"},    {u"5µm", u"5um"},      {u"ÜÄ", u"UEAE"},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandDiphthongs(c.in), c.out) << ToUtf8(c.in);
}

TEST(Transform, ReduceToSafeSets) {
  EXPECT_EQ(ReduceStringToAZ09(u"ä-1"), u"__1");
  EXPECT_EQ(ReduceStringToAZ09(u"Az09 z"), u"Az09_z");
  EXPECT_EQ(ReduceStringToFN83CompliantChars(u"a b?c"), u"a_b_c");
  EXPECT_EQ(ReduceStringToFN83CompliantChars(u"!#$%&'()-.@^_`{}~Az9"), u"!#$%&'()-.@^_`{}~Az9");
  EXPECT_EQ(ReduceStringToFN83CompliantChars(u"\"*+,/:;<=>?[\\]|\x7f\t\u00e4\u20ac"),
            String(19, u'_'));
}

TEST(Transform, WidthsAndAbbreviation) {
  EXPECT_EQ(LeftString(u"ab", 4), u"ab  ");
  EXPECT_EQ(LeftString(u"abcdef", 3), u"abc");
  EXPECT_EQ(RightString(u"abcdef", 3), u"abc");  // cut on the right, not 'def'
  EXPECT_EQ(RightString(u"ab", 4), u"  ab");
  EXPECT_EQ(CenterString(u"ab", 5), u" ab  ");
  EXPECT_EQ(CenterString(u"ab", 6), u"  ab  ");
  EXPECT_EQ(CenterString(u"abcdef", 3), u"abc");
  EXPECT_EQ(LeftString(u"", 0), u"");
  // A cut through a surrogate pair drops the whole pair.
  EXPECT_EQ(LeftString(u"ab\U0001F600", 3), u"ab ");
  EXPECT_EQ(RightString(u"ab\U0001F600", 3), u"ab ");
  EXPECT_EQ(CenterString(u"a\U0001F600c", 2), u"a ");
  EXPECT_EQ(AbbrevString(u"a\U0001F600cdef", 4), u"a..");
  EXPECT_EQ(LeftString(u"ab\U0001F600", 4), u"ab\U0001F600");
  const struct { const char16_t* s; int max; const char16_t* out; } abbrev[] = {
      {u"abcdef", 5, u"abc.."}, {u"abcdef", 6, u"abcdef"}, {u"abcdef", 3, u"a.."},
      {u"abcdef", 2, u".."},    {u"abcdef", -4, u".."},    {u"ab", 2, u"ab"},
  };
  for (const auto& c : abbrev) EXPECT_EQ(AbbrevString(c.s, c.max), c.out) << c.max;
}

}  // namespace
}  // namespace zel
