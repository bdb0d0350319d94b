#include "zel/graphics/fonts.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "zel/graphics/bitmap.h"
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

// Whether some installed font has the character.
bool SomeFontHas(char32_t c) {
  FcPattern* pattern = FcPatternCreate();
  FcCharSet* charset = FcCharSetCreate();
  FcCharSetAddChar(charset, c);
  FcPatternAddCharSet(pattern, FC_CHARSET, charset);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  const bool found = fonts != nullptr && fonts->nfont > 0;
  if (fonts != nullptr) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcCharSetDestroy(charset);
  FcPatternDestroy(pattern);
  return found;
}

// The pixels of one text drawn at (4, 4) in a 32-pixel DejaVu Sans.
std::vector<TColor> Drawn(StringView text) {
  TBitmap bmp(80, 60);
  bmp.Canvas().Font().SetHeight(-32);
  bmp.Canvas().Brush().SetStyle(bsClear);
  bmp.Canvas().TextOut(4, 4, text);
  std::vector<TColor> pixels;
  for (int y = 0; y < 60; ++y) pixels.insert(pixels.end(), bmp.ScanLine(y), bmp.ScanLine(y) + 80);
  return pixels;
}

// Characters the font lacks come from installed fonts that have them: no
// character of five scripts and an emoji is drawn as the missing-glyph box
// (the one the font draws for an unassigned code point), the emoji keeps its
// colours, and what is drawn is what the text functions measure.
TEST(FontFallback, EveryScriptDrawsItsGlyphs) {
  const String text = u"\u0141\u00F3d\u017A \u0395\u03BB\u03BB\u03AC\u03B4\u03B1 "
                      u"\u041A\u0438\u0440\u0438\u043B\u043B\u0438\u0446\u0430 \u30E1\u30E2 \U0001F642";
  for (char32_t c : {U'\u30E1', U'\U0001F642'}) {
    if (!SomeFontHas(c)) GTEST_SKIP() << "no installed font has U+" << std::hex << uint32_t{c} << " (scripts/bootstrap installs one)";
  }
  const std::vector<TColor> missing = Drawn(u"\u0378");
  ASSERT_NE(std::count(missing.begin(), missing.end(), clBlack), 0);
  TBitmap probe(1, 1);
  TCanvas& c = probe.Canvas();
  c.Font().SetHeight(-32);
  int64_t sum = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t n = text[i] >= 0xD800 && text[i] < 0xDC00 ? 2 : 1;
    const String one = text.substr(i, n);
    i += n - 1;
    sum += c.TextWidth(one);
    if (one == u" ") continue;
    const std::vector<TColor> glyph = Drawn(one);
    EXPECT_NE(glyph, missing) << ToUtf8(one) << " is the missing-glyph box";
    EXPECT_GT(std::count_if(glyph.begin(), glyph.end(), [](TColor p) { return p != clWhite; }), 10) << ToUtf8(one);
  }
  const std::vector<TColor> emoji = Drawn(u"\U0001F642");
  EXPECT_GT(std::count_if(emoji.begin(), emoji.end(), [](TColor p) { return p != clWhite && p != clBlack; }), 50)
      << "the emoji is drawn in its own colours";
  EXPECT_EQ(c.TextWidth(text), sum);
  TBitmap bmp(1200, 60);
  bmp.Canvas().Font().SetHeight(-32);
  bmp.Canvas().TextOut(3, 0, text);
  EXPECT_EQ(bmp.Canvas().PenPos().X, 3 + sum);
}

// A name no installed font has is reported as the font functions report it,
// on every text function, not drawn in some other font.
TEST(FontFallback, UnknownFontNamesAreReported) {
  TBitmap bmp(20, 20);
  TCanvas& c = bmp.Canvas();
  c.Font().SetName(u"No Such Font Zel");
  const auto expect_reported = [](auto call) {
    try {
      call();
      ADD_FAILURE() << "no exception";
    } catch (const EZELError& e) {
      EXPECT_EQ(e.Message(), u"Font \"No Such Font Zel\" is not installed");
    }
  };
  expect_reported([&] { c.TextWidth(u"a"); });
  expect_reported([&] { c.TextHeight(u"a"); });
  expect_reported([&] { c.TextOut(0, 0, u"a"); });
  EXPECT_EQ(detail::CountColor(bmp, clWhite), 20 * 20);
  // Generic names are resolved by fontconfig's configuration.
  c.Font().SetName(u"sans-serif");
  EXPECT_GT(c.TextWidth(u"a"), 0);
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
