#include "zel/platform/casemap.h"

#include <gtest/gtest.h>
#include <locale.h>

namespace zel {
namespace {

TEST(CaseMap, AsciiFoldingTouchesOnlyAToZ) {
  EXPECT_EQ(UpperCase(u"abc äöü xyz 123"), u"ABC äöü XYZ 123");
  EXPECT_EQ(LowerCase(u"ABC ÄÖÜ XYZ @[`{"), u"abc ÄÖÜ xyz @[`{");
  EXPECT_TRUE(SameText(u"Hello", u"hELLO"));
  EXPECT_FALSE(SameText(u"Ä", u"ä"));
  EXPECT_FALSE(SameText(u"ab", u"abc"));
  EXPECT_EQ(CompareText(u"abc", u"ABD"), -1);
  EXPECT_EQ(CompareText(u"abc", u"AB"), 1);
  EXPECT_EQ(CompareText(u"", u""), 0);
  // Upper-casing first: '_' (0x5F) sorts after 'A'..'Z' but before 'a'.
  EXPECT_LT(CompareText(u"z", u"_"), 0);
  static_assert(AsciiUpper(u'q') == u'Q' && AsciiLower(u'Q') == u'q' && AsciiUpper(u'ä') == u'ä');
}

TEST(CaseMap, LocaleAwareFoldingUsesUnicodeMappings) {
  struct Case { Char lower, upper; };
  const Case cases[] = {
      {u'a', u'A'},           {u'\u00E4', u'\u00C4'},  // ä Ä
      {u'\u0101', u'\u0100'},  // ā Ā
      {u'\u03C3', u'\u03A3'},  // σ Σ
      {u'\u0430', u'\u0410'},  // а А (Cyrillic)
      {u'\u0142', u'\u0141'},  // ł Ł
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnsiUpperChar(c.lower), c.upper) << static_cast<int>(c.lower);
    EXPECT_EQ(AnsiLowerChar(c.upper), c.lower) << static_cast<int>(c.upper);
  }
  EXPECT_EQ(AnsiUpperChar(u'\u00DF'), u'\u00DF');  // ß has no one-character capital
  EXPECT_EQ(AnsiUpperChar(u'1'), u'1');
  EXPECT_EQ(AnsiUpperCase(u"straße äbc"), u"STRAßE ÄBC");
  EXPECT_EQ(AnsiLowerCase(u"ÄÖÜ ABC"), u"äöü abc");
  // Surrogate halves stay as they are, so pairs survive.
  EXPECT_EQ(AnsiUpperCase(u"\U0001F600"), u"\U0001F600");
  EXPECT_TRUE(AnsiSameText(u"Grüße", u"GRÜßE"));
  EXPECT_FALSE(AnsiSameText(u"Grüße", u"GRÜSSE"));
  EXPECT_EQ(AnsiCompareText(u"äb", u"ÄA"), 1);
  EXPECT_EQ(AnsiCompareText(u"a", u"ab"), -1);
}

TEST(CaseMap, IndependentOfTheProcessLocale) {
  const String before = AnsiUpperCase(u"äσа");
  setlocale(LC_ALL, "C");
  EXPECT_EQ(AnsiUpperCase(u"äσа"), before);
  EXPECT_EQ(before, u"ÄΣА");
}

}  // namespace
}  // namespace zel
