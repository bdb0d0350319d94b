#include "zel/zelcolors/colorarray.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "zel/platform/exceptions.h"
#include "zel/testutil/filesizelimit.h"
#include "zel/testutil/tempdir.h"
#include "zel/zelbase/errors.h"
#include "zel/zelcolors/colormodels.h"
#include "zel/zelcolors/colornames.h"

namespace zel {
namespace {

constexpr TColor kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0x0000FF;

// A palette with a change counter.
struct Palette {
  TColorArray pal{nullptr};
  int changes = 0;
  explicit Palette(std::vector<TColor> colors = {}) {
    if (!colors.empty()) {
      pal.SetSize(static_cast<int>(colors.size()));
      for (size_t i = 0; i < colors.size(); ++i) pal.SetColorElem(static_cast<int>(i + 1), colors[i]);
    }
    pal.SetOnChange([this](TObject* sender) {
      EXPECT_EQ(sender, &pal);
      ++changes;
    });
  }
  std::vector<TColor> Colors() const {
    std::vector<TColor> v;
    for (int i = 1; i <= pal.Size(); ++i) v.push_back(pal.ColorElem(i));
    return v;
  }
};

TEST(ColorArray, NewPaletteIsABackedUpRainbow) {
  Palette p;
  EXPECT_EQ(p.pal.Size(), 1000);
  EXPECT_EQ(p.pal.ColorElem(1), ColorArray_Rainbow.front());  // 200040
  EXPECT_EQ(p.pal.ColorElem(1000), ColorArray_Rainbow.back());  // 400000
  EXPECT_EQ(p.pal.ColorElem(100), ColorArray_Rainbow[1]);       // a base colour exactly
  const auto colors = p.Colors();
  p.pal.Fill(kRed);
  p.pal.Restore();
  EXPECT_EQ(p.Colors(), colors);
  EXPECT_EQ(p.changes, 2);
}

TEST(ColorArray, ElementAccessAndResize) {
  Palette p({0x11, 0x22, 0x33});
  EXPECT_EQ(p.pal.ColorElem(0), 0x11u);
  EXPECT_EQ(p.pal.ColorElem(-7), 0x11u);
  EXPECT_EQ(p.pal.ColorElem(3 + 5), 0x33u);
  p.pal.SetColorElem(0, 0x99);
  p.pal.SetColorElem(4, 0x99);
  EXPECT_EQ(p.changes, 0);
  EXPECT_EQ(p.Colors(), (std::vector<TColor>{0x11, 0x22, 0x33}));

  EXPECT_FALSE(p.pal.Resize(0));
  EXPECT_FALSE(p.pal.Resize(-1));
  EXPECT_TRUE(p.pal.Resize(3));
  EXPECT_EQ(p.changes, 0);
  EXPECT_TRUE(p.pal.Resize(2));
  EXPECT_TRUE(p.pal.Resize(4));  // grows with black, keeps 1 and 2
  EXPECT_EQ(p.Colors(), (std::vector<TColor>{0x11, 0x22, 0, 0}));
  EXPECT_EQ(p.changes, 2);
  p.pal.SetSize(0);
  p.pal.SetSize(4);
  EXPECT_EQ(p.changes, 2);
  p.pal.SetSize(5);
  EXPECT_EQ(p.pal.Size(), 5);
  // The backup follows the size: a restore after growing gives black there.
  p.pal.Fill(0x77);
  p.pal.Restore();
  EXPECT_EQ(p.pal.ColorElem(5), 0u);
}

struct FillCase {
  int size, levels;
  std::vector<TColor> base, expected;
};

TEST(ColorArray, FillByInterpolation) {
  const FillCase cases[] = {
      // fractions 0.5 and 1; 127.5 truncated
      {2, 0, {kBlack, kWhite}, {0x7F7F7F, kWhite}},
      // quantised positions k = 0, 2, 4, 4
      {4, 2, {kBlack, kWhite}, {kBlack, 0x7F7F7F, kWhite, kWhite}},
      // 1/3 of 255 truncates to 84, not 85
      {3, 0, {kBlack, kWhite}, {0x545454, 0xA9A9A9, kWhite}},
      {3, 0, {kRed}, {kRed, kRed, kRed}},
      // more base colours than entries: fractions above 1 are clamped, and
      // position k = 0 (index -1) takes the first base colour
      {2, 2, {0x10, 0x20, 0x30, 0x40}, {0x20, 0x30}},
      {2, 1, {0x10, 0x20, 0x30, 0x40}, {0x10, 0x30}},
      {1, 0, {0x10, 0x20}, {0x20}},
  };
  for (const auto& c : cases) {
    Palette p;
    p.pal.SetSize(c.size);
    p.changes = 0;
    p.pal.FillByInterpolation(c.levels, c.base);
    EXPECT_EQ(p.Colors(), c.expected) << c.size << " entries, levels " << c.levels;
    EXPECT_EQ(p.changes, 1);
  }
  Palette p({1, 2});
  p.pal.FillByInterpolation(0, {});
  EXPECT_EQ(p.Colors(), (std::vector<TColor>{1, 2}));
}

TEST(ColorArray, LogTransform) {
  std::vector<TColor> ramp;
  for (TColor i = 1; i <= 10; ++i) ramp.push_back(i);
  Palette p(ramp);
  p.pal.LogTransform(0);
  EXPECT_EQ(p.Colors(), ramp);
  p.pal.LogTransform(1);  // k = nint(ln(i) * 10 / ln 10) + 1
  EXPECT_EQ(p.Colors(), (std::vector<TColor>{1, 4, 6, 7, 8, 9, 9, 10, 10, 10}));
  Palette clamped(ramp);
  clamped.pal.LogTransform(5);  // Gamma clamped to 1
  EXPECT_EQ(clamped.Colors(), p.Colors());
  Palette one({0x42});
  one.pal.LogTransform(1);
  EXPECT_EQ(one.Colors(), std::vector<TColor>{0x42});
  EXPECT_EQ(p.changes, 2);
}

TEST(ColorArray, Transformations) {
  Palette p({0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F});
  p.pal.MirrorColors();
  EXPECT_EQ(p.Colors(), (std::vector<TColor>{0x0D0E0F, 0x0A0B0C, 0x070809, 0x040506, 0x010203}));
  p.pal.ReverseRGB();
  EXPECT_EQ(p.pal.ColorElem(1), 0x0F0E0Du);
  p.pal.InvertColors();
  EXPECT_EQ(p.pal.ColorElem(1), 0xF0F1F2u);
  EXPECT_EQ(p.changes, 3);
  p.pal.Backup();
  EXPECT_EQ(p.changes, 3);
}

TEST(ColorArray, ColorToIndex) {
  Palette p({kBlack, 0x808080, kWhite, 0x808080});
  double d = -1;
  EXPECT_EQ(p.pal.ColorToIndex(0x7F7F7F, d), 2);  // the first of equally near entries
  EXPECT_NEAR(d, std::sqrt(3.0 / 195075), 1e-15);
  EXPECT_EQ(p.pal.ColorToIndex(kWhite, d), 3);
  EXPECT_EQ(d, 0);
  Palette black({kBlack, kBlack});
  EXPECT_EQ(black.pal.ColorToIndex(kWhite, d), 1);
  EXPECT_EQ(d, 1.0);
}

TEST(ColorArray, CopyFrom) {
  Palette src({1, 2, 3, 4, 5});
  Palette dst({0, 0, 0, 0});
  dst.pal.CopyFrom(nullptr, 1, 5, 1);
  EXPECT_EQ(dst.changes, 0);
  dst.pal.CopyFrom(&src.pal, 4, 2, 3);  // swapped to 2..4; 4 lands outside
  EXPECT_EQ(dst.Colors(), (std::vector<TColor>{0, 0, 2, 3}));
  dst.pal.CopyFrom(&src.pal, -3, 0, 1);  // lo raised to 1, hi set to 1
  EXPECT_EQ(dst.Colors(), (std::vector<TColor>{1, 0, 2, 3}));
  dst.pal.CopyFrom(&src.pal, 5, 99, 2);  // both limited to 5
  EXPECT_EQ(dst.Colors(), (std::vector<TColor>{1, 5, 2, 3}));
  dst.pal.CopyFrom(&src.pal, 1, 5, 0x7FFFFFFE);  // far outside, no overflow
  EXPECT_EQ(dst.Colors(), (std::vector<TColor>{1, 5, 2, 3}));
  EXPECT_EQ(dst.changes, 4);
  // Within one palette, overlapping ranges move intact.
  src.pal.CopyFrom(&src.pal, 1, 3, 2);
  EXPECT_EQ(src.Colors(), (std::vector<TColor>{1, 1, 2, 3, 5}));
  src.pal.CopyFrom(&src.pal, 3, 5, 1);
  EXPECT_EQ(src.Colors(), (std::vector<TColor>{2, 3, 5, 3, 5}));
}

TEST(ColorArray, AssignAndIsEqual) {
  Palette a({1, 2, 3});
  a.pal.Backup();
  a.pal.SetColorElem(1, 9);
  a.pal.SetName(u"A");
  Palette b;
  b.pal.SetName(u"B");
  EXPECT_FALSE(b.pal.IsEqual(a.pal));
  b.pal.Assign(&a.pal);
  EXPECT_TRUE(b.pal.IsEqual(a.pal));
  EXPECT_EQ(b.changes, 0);
  EXPECT_EQ(b.pal.Name(), u"B");
  ASSERT_TRUE(b.pal.OnChange());  // b keeps its own handler
  b.pal.Restore();                // the backup was copied too
  EXPECT_EQ(b.Colors(), (std::vector<TColor>{1, 2, 3}));
  EXPECT_EQ(b.changes, 1);
  EXPECT_FALSE(b.pal.IsEqual(a.pal));
  // Backups do not count for equality.
  a.pal.Restore();
  a.pal.Fill(7);
  a.pal.SetColorElem(1, 1);
  Palette c({1, 7, 7});
  EXPECT_TRUE(c.pal.IsEqual(a.pal));
  // Other classes are refused, both ways.
  TComponent other(nullptr);
  EXPECT_THROW(b.pal.Assign(&other), EConvertError);
  EXPECT_THROW(other.Assign(&b.pal), EConvertError);
}

// --- the palette file ---------------------------------------------------------

TEST(ColorArray, StoreOnFileWritesTheFormat) {
  testutil::TempDir dir("colorarray");
  Palette p({kBlack, kRed, kWhite});
  ASSERT_TRUE(p.pal.StoreOnFile(1, 3, dir.Path("a.pal")));
  EXPECT_EQ(dir.Bytes("a.pal"), "1 3\r\n00000000\r\n000000FF\r\n00FFFFFF\r\n");
  Palette seven({1, 2, 3, 4, 5, 6, 0xFF00000F});
  ASSERT_TRUE(seven.pal.StoreOnFile(10, 5, dir.Path("b.pal")));  // swapped, then limited
  EXPECT_EQ(dir.Bytes("b.pal"), "5 7\r\n00000005\r\n00000006\r\nFF00000F\r\n");
  ASSERT_TRUE(seven.pal.StoreOnFile(-4, 1, dir.Path("c.pal")));
  EXPECT_EQ(dir.Bytes("c.pal"), "1 1\r\n00000001\r\n");
  EXPECT_FALSE(seven.pal.StoreOnFile(1, 7, dir.Path("missing/dir.pal")));
  EXPECT_FALSE(seven.pal.StoreOnFile(1, 7, u""));
  EXPECT_EQ(seven.changes, 0);
  // A save that cannot be completed (a size limit, as on a full disk)
  // fails and leaves the old file.
  Palette big(std::vector<TColor>(500, kRed));
  {
    testutil::FileSizeLimit limit(100);
    if (!limit.Active()) GTEST_SKIP() << limit.WhyNot();
    EXPECT_FALSE(big.pal.StoreOnFile(1, 500, dir.Path("a.pal")));
  }
  EXPECT_EQ(dir.Bytes("a.pal"), "1 3\r\n00000000\r\n000000FF\r\n00FFFFFF\r\n");
  EXPECT_EQ(dir.EntryCount(), 3u);
}

TEST(ColorArray, LoadFromFileRoundTrip) {
  testutil::TempDir dir("colorarray");
  Palette p;
  p.pal.SetSize(37);
  p.pal.FillByInterpolation(5, ColorArray_Geo2);
  p.pal.SetColorElem(2, 0xFF000005);
  ASSERT_TRUE(p.pal.StoreOnFile(1, 37, dir.Path("geo.pal")));
  Palette q;
  q.changes = 0;
  ASSERT_TRUE(q.pal.LoadFromFile(dir.Path("geo.pal"), true));
  EXPECT_TRUE(q.pal.IsEqual(p.pal));
  EXPECT_EQ(q.changes, 1 + 37 + 1);  // resize, each entry, the end
}

struct ReadCase {
  const char* name;
  std::string text;
  bool adjust;
  bool result;
  std::vector<TColor> expected;  // the palette afterwards (4 entries before)
  int changes;
};

TEST(ColorArray, ReadFromOpenTextFile) {
  const std::vector<TColor> before = {0xA, 0xB, 0xC, 0xD};
  const ReadCase cases[] = {
      {"all", "1 4\n1\n2\n3\n4\n", false, true, {1, 2, 3, 4}, 5},
      {"blanks, '$', trailing text, case", "2  3 rest\n  $ff x\nAbc\n", false, true,
       {0xA, 0xFF, 0xABC, 0xD}, 3},
      {"reversed header reads nothing", "3 2\n1\n", false, true, before, 1},
      {"last beyond the size", "1 5\n1\n", false, false, before, 1},
      {"no integers", "x 5\n1\n", false, false, before, 0},
      {"one integer only", "1\n", false, false, before, 0},
      {"sign without digits", "1 -\n", false, false, before, 0},
      {"empty file", "", false, false, before, 0},
      {"end of file leaves the rest", "1 4\n5\n6", false, true, {5, 6, 0xC, 0xD}, 3},
      {"positions below 1 consume lines", "-1 2\n1\n2\n3\n4\n", false, true,
       {3, 4, 0xC, 0xD}, 3},
      {"empty line reads 0", "1 2\n\n7\n", false, true, {0, 7, 0xC, 0xD}, 3},
      {"adjust grows", "1 6\n1\n2\n3\n4\n5\n6\n", true, true, {1, 2, 3, 4, 5, 6}, 8},
      {"adjust shrinks", "2 2\n9\n", true, true, {0xA, 9}, 3},
      {"adjust to 0 fails the size test", "1 0\n", true, true, before, 1},
      {"adjust to a negative size", "-5 -1\n", true, true, before, 1},
  };
  testutil::TempDir dir("colorarray");
  for (const auto& c : cases) {
    Palette p(before);
    dir.Put("in.pal", c.text);
    TextFile f(dir.Path("in.pal"));
    f.Reset();
    EXPECT_EQ(p.pal.ReadFromOpenTextFile(f, c.adjust), c.result) << c.name;
    EXPECT_EQ(p.Colors(), c.expected) << c.name;
    EXPECT_EQ(p.changes, c.changes) << c.name;
  }
  Palette p(before);
  EXPECT_FALSE(p.pal.LoadFromFile(dir.Path("absent.pal"), true));
  EXPECT_FALSE(p.pal.LoadFromFile(u"", true));
  EXPECT_EQ(p.Colors(), before);
}

}  // namespace
}  // namespace zel
