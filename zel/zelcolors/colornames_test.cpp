#include "zel/zelcolors/colornames.h"

#include <gtest/gtest.h>

#include <set>

#include "zel/platform/casemap.h"

#include "zel/zelcolors/colormodels.h"

namespace zel {
namespace {

TEST(ColorNames, ObtainColorNameTakesTheFirstEqualEntry) {
  const struct {
    TColor color;
    const char16_t* name;
  } cases[] = {
      {RGBToColor(0x00, 0x00, 0xFF), u"Blue"},      // not Blue1
      {RGBToColor(0x00, 0xFF, 0xFF), u"Aqua"},      // not Cyan
      {RGBToColor(0x80, 0x80, 0x80), u"Gray"},      // not WebGray
      {RGBToColor(0x87, 0xCE, 0xEB), u"SkyBlue1"},
      {RGBToColor(0xA6, 0xCA, 0xF0), u"SkyBlue"},
      {RGBToColor(0x0A, 0x0B, 0x0C), u"000C0B0A"},  // in no table
      {0xFF00000F, u"FF00000F"},                    // a system colour
      {0xFF0000FF, u"FF0000FF"},                    // whole value: not Red
      {RGBToColor(0xA0, 0xA0, 0xA4), u"MedGray"},
      {RGBToColor(0x66, 0x33, 0x99), u"RebeccaPurple"},
      {RGBToColor(0x9A, 0xCD, 0x32), u"OliveDrab3"},  // before YellowGreen
  };
  for (const auto& c : cases) EXPECT_EQ(ObtainColorName(c.color), c.name) << ToUtf8(c.name);
}

TEST(ColorNames, NamedColourTable) {
  ASSERT_EQ(AllZELColors.size(), 466u);
  EXPECT_EQ(AllZELColorNames[1], u"Black");
  EXPECT_EQ(AllZELColorNames[19], u"MedGray");
  EXPECT_EQ(AllZELColorNames[20], u"AliceBlue");
  EXPECT_EQ(AllZELColorNames[466], u"YellowGreen");
  EXPECT_EQ(AllZELColors[16], 0xFFFFFFu);               // White
  EXPECT_EQ(AllZELColors[18], RGBToColor(0xFF, 0xFB, 0xF0));  // Cream
  // Values from the X11 database: numbered variants, names with blanks there.
  const struct {
    int index;
    const char16_t* name;
    TColor value;
  } samples[] = {
      {43, u"Blue1", RGBToColor(0, 0, 255)},
      {AllZELColors.High(), u"YellowGreen", RGBToColor(154, 205, 50)},
  };
  for (const auto& s : samples) {
    EXPECT_EQ(AllZELColorNames[s.index], s.name);
    EXPECT_EQ(AllZELColors[s.index], s.value) << ToUtf8(s.name);
  }
  std::set<StringView> names;
  for (int i = 1; i <= 466; ++i) {
    EXPECT_EQ(AllZELColors[i] >> 24, 0u) << i;
    EXPECT_TRUE(names.insert(AllZELColorNames[i]).second) << "duplicate " << i;
    // The extended part is in alphabetical order (case-insensitive), with
    // numbered variants after their base name.
    if (i > 20) {
      EXPECT_LT(LowerCase(AllZELColorNames[i - 1]), LowerCase(AllZELColorNames[i])) << i;
    }
  }
  // The entries valued by hand rather than by the database.
  const auto value_of = [](StringView name) {
    for (int i = 1; i <= 466; ++i) {
      if (AllZELColorNames[i] == name) return AllZELColors[i];
    }
    return TColor(0xFFFFFFFF);
  };
  EXPECT_EQ(value_of(u"Bronze"), RGBToColor(0x99, 0x88, 0x77));
  EXPECT_EQ(value_of(u"Carbon"), RGBToColor(0x22, 0x22, 0x22));
  EXPECT_EQ(value_of(u"WebMaroon"), RGBToColor(0x80, 0, 0));
  EXPECT_EQ(value_of(u"NavyBlue"), RGBToColor(0, 0, 0x80));
  EXPECT_EQ(value_of(u"LightGoldenRod"), RGBToColor(0xEE, 0xDD, 0x82));
  EXPECT_EQ(value_of(u"Gray"), value_of(u"WebGray"));
}

TEST(ColorNames, OtherTablesAndPalettes) {
  ASSERT_EQ(X11Colors.size(), 145u);
  EXPECT_EQ(X11Colors[1], RGBToColor(0xF0, 0xF8, 0xFF));    // AliceBlue
  EXPECT_EQ(X11Colors[126], RGBToColor(0xA6, 0xCA, 0xF0));  // SkyBlue
  EXPECT_EQ(X11Colors[145], RGBToColor(0x9A, 0xCD, 0x32));  // YellowGreen
  ASSERT_EQ(PredefinedColors.size(), 47u);
  EXPECT_EQ(PredefinedColors[18], RGBToColor(0xA6, 0xCA, 0xF0));
  EXPECT_EQ(PredefinedColors[20], RGBToColor(0xA0, 0xA0, 0xA4));
  EXPECT_EQ(PredefinedColors[21], 0xFF00000Au);  // raw values
  EXPECT_EQ(PredefinedColors[30], 0x20000000u);
  EXPECT_EQ(PredefinedColors[41], 0x1FFFFFFFu);
  EXPECT_EQ(PredefinedColors[47], 0xFF000008u);

  EXPECT_EQ(ColorArray_Rainbow.front(), RGBToColor(0x20, 0x00, 0x40));
  EXPECT_EQ(ColorArray_Rainbow.back(), RGBToColor(0x40, 0x00, 0x00));
  EXPECT_EQ(ColorArray_Circle.front(), ColorArray_Circle.back());
  EXPECT_EQ(ColorArray_Geo1.back(), RGBToColor(0xFC, 0xFA, 0xF0));
  EXPECT_EQ(ColorArray_Geo2[5], RGBToColor(0xAC, 0xBB, 0x90));
  EXPECT_EQ(ColorArray_Geo3[7], RGBToColor(0xF4, 0xED, 0x74));
  EXPECT_EQ(ColorArray_MorgenStemning[3], RGBToColor(0xC2, 0x1B, 0x71));
  EXPECT_EQ(ColorArray_Contrast[10], RGBToColor(0x18, 0xCD, 0xC5));
  EXPECT_EQ(ColorArray_Contrast.size(), 16u);
  EXPECT_EQ(std::set<TColor>(ColorArray_Contrast.begin(), ColorArray_Contrast.end()).size(), 16u);
}

}  // namespace
}  // namespace zel
