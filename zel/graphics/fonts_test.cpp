#include "zel/graphics/fonts.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "zel/graphics/bitmap.h"
#include "zel/graphics/internal/lsan_suppressions.h"
#include "zel/graphics/internal/pixelart.h"
#include "zel/graphics/screen.h"
#include "zel/testutil/tempdir.h"
#include "zel/zelbase/errors.h"

namespace zel {
namespace {

// A bitmap font of one glyph, "A" (8 x 8, ascent 7), in the plain-text
// BDF format; fontconfig reads its format as "BDF".
constexpr char kBdf[] = R"(STARTFONT 2.1
FONT -zel-ZelTestBitmap-Medium-R-Normal--8-80-75-75-C-80-ISO10646-1
SIZE 8 75 75
FONTBOUNDINGBOX 8 8 0 -1
STARTPROPERTIES 4
FAMILY_NAME "ZelTestBitmap"
FONT_ASCENT 7
FONT_DESCENT 1
DEFAULT_CHAR 65
ENDPROPERTIES
CHARS 1
STARTCHAR A
ENCODING 65
SWIDTH 500 0
DWIDTH 8 0
BBX 8 8 0 -1
BITMAP
18
24
42
7E
42
42
42
00
ENDCHAR
ENDFONT
)";

// Registers the BDF font with fontconfig once for the whole test program.
class BitmapFontTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new testutil::TempDir("bdf");
    dir_->Put("zeltest.bdf", kBdf);
    registered_ = FcConfigAppFontAddFile(
                      nullptr, reinterpret_cast<const FcChar8*>((dir_->Dir() + "/zeltest.bdf").c_str())) ==
                  FcTrue;
  }
  static void TearDownTestSuite() {
    FcConfigAppFontClear(nullptr);
    delete dir_;
    dir_ = nullptr;
  }
  static testutil::TempDir* dir_;
  static bool registered_;
};
testutil::TempDir* BitmapFontTest::dir_ = nullptr;
bool BitmapFontTest::registered_ = false;

TEST_F(BitmapFontTest, TrueTypeOnlyForTrueTypeOutlines) {
  ASSERT_TRUE(registered_);
  const std::vector<String> fonts = Screen().Fonts();
  EXPECT_TRUE(std::binary_search(fonts.begin(), fonts.end(), String(u"DejaVu Sans")));
  EXPECT_TRUE(std::binary_search(fonts.begin(), fonts.end(), String(u"ZelTestBitmap")));
  EXPECT_TRUE(FontIsTrueType(u"DejaVu Sans"));
  EXPECT_TRUE(FontIsTrueType(u"dejavu sans"));  // names compare without case
  EXPECT_FALSE(FontIsTrueType(u"ZelTestBitmap"));
  try {
    FontIsTrueType(u"No Such Font Zel");
    ADD_FAILURE() << "no exception";
  } catch (const EZELError& e) {
    EXPECT_EQ(e.Message(), u"Font \"No Such Font Zel\" is not installed");
  }
}

TEST_F(BitmapFontTest, BitmapFontGlyphIsDrawnPixelForPixel) {
  ASSERT_TRUE(registered_);
  TBitmap bmp(12, 10);
  TCanvas& c = bmp.Canvas();
  c.Font().SetName(u"ZelTestBitmap");
  c.Font().SetHeight(-8);
  c.Brush().SetStyle(bsClear);
  EXPECT_EQ(c.TextWidth(u"A"), 8);
  EXPECT_EQ(c.TextHeight(u"A"), 8);
  c.TextOut(2, 1, u"A");
  EXPECT_EQ(detail::Art(bmp, 0, 0, 12, 10, {{clBlack, 'X'}}),
            (std::vector<std::string>{"............", ".....XX.....", "....X..X....", "...X....X...",
                                      "...XXXXXX...", "...X....X...", "...X....X...", "...X....X...",
                                      "............", "............"}));
}

TEST(SetCanvasFontSizeScaled, SizeAtTheScreenResolution) {
  const struct {
    int ppi, size, height;
  } cases[] = {{96, 10, -13}, {300, 10, -13}, {600, 12, -16}, {72, 9, -12}};
  for (const auto& c : cases) {
    TBitmap bmp(1, 1);
    TFont& font = bmp.Canvas().Font();
    font.SetPixelsPerInch(c.ppi);
    SetCanvasFontSizeScaled(bmp.Canvas(), c.size);
    EXPECT_EQ(font.Height(), c.height) << c.ppi;
    EXPECT_EQ(font.PixelsPerInch(), c.ppi);
  }
}

}  // namespace
}  // namespace zel
