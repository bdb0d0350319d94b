#include "zel/zelcolors/colormodels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "zel/platform/random.h"
#include "zel/testutil/tempdir.h"

namespace zel {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct ToModelCase {
  int r, g, b;
  double h, s, x;  // hue, saturation, lightness/value/intensity
};

using ToModel = void (*)(int, int, int, double&, double&, double&);

void ExpectConversions(ToModel convert, std::initializer_list<ToModelCase> cases) {
  for (const auto& c : cases) {
    double h, s, x;
    convert(c.r, c.g, c.b, h, s, x);
    EXPECT_NEAR(h, c.h, 1e-9) << c.r << ',' << c.g << ',' << c.b;
    EXPECT_NEAR(s, c.s, 1e-12) << c.r << ',' << c.g << ',' << c.b;
    EXPECT_NEAR(x, c.x, 1e-12) << c.r << ',' << c.g << ',' << c.b;
  }
}

TEST(ColorModels, RGBtoHSL) {
  ExpectConversions(&RGBtoHSL, {
      {255, 0, 0, 0, 1, 0.5},       {0, 0, 255, 240, 1, 0.5},
      {0, 255, 0, 120, 1, 0.5},     {255, 0, 255, 300, 1, 0.5},
      {128, 128, 128, 0, 0, 128 / 255.0}, {0, 0, 0, 0, 0, 0},
      {255, 255, 255, 0, 0, 1},     {255, 255, 0, 60, 1, 0.5},   // red wins the tie
      {300, -5, 0, 0, 1, 0.5},      // clamped to (255, 0, 0)
      {255, 128, 0, 30.117647058823529, 1, 0.5},
  });
  double h, s, l;
  ColorToHSL(0x12FF0000, h, s, l);  // the top byte is ignored: pure blue
  EXPECT_DOUBLE_EQ(h, 240);
}

TEST(ColorModels, RGBtoHSVandHSIMarkGreysAsUndefined) {
  ExpectConversions(&RGBtoHSV, {
      {128, 128, 128, -1, 0, 128 / 255.0}, {0, 0, 0, 0, 0, 0},
      {255, 255, 0, 60, 1, 1},  // red and green tie: red is marked
      {0, 255, 255, 180, 1, 1}, // green and blue tie: green is marked
      {255, 0, 128, 329.88235294117646, 1, 1},
      {510, 0, 0, 0, 1, 2},     // not clamped
  });
  ExpectConversions(&RGBtoHSI, {
      {128, 128, 128, -1, 0, 128 / 255.0}, {0, 0, 0, 0, 0, 0},
      {255, 0, 0, 0, 1, 1 / 3.0},  {30, 60, 90, 210, 0.5, 60 / 255.0},
  });
  // Extreme components neither overflow nor divide by zero.
  double h, s, v;
  RGBtoHSV(INT32_MAX, INT32_MIN, 0, h, s, v);
  EXPECT_NEAR(h, 330, 1e-6);  // (green - blue) / delta is about -1/2
  EXPECT_NEAR(s, 2, 1e-6);
}

struct FromModelCase {
  double h, s, x;
  TColor expected;
};

TEST(ColorModels, HSVtoRGBHueRules) {
  const FromModelCase cases[] = {
      {0, 0, 0.5, 0x808080},     // 127.5 goes to the even 128
      {360, 1, 1, 0x0000FF},     // 360 counts as 0
      {-10, 1, 1, 0x0000FF},     // so does a negative hue
      {-1, 0.5, 1, 0x8080FF},    // the undefined hue of a grey too
      {kNaN, 1, 1, 0x0000FF},
      {120, 1, 1, 0x00FF00},     {240, 1, 1, 0xFF0000},
      {300, 2, 0.5, 0x800080},   // saturation clamped to 1
      {60, 1, kNaN, 0x000000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HSVtoColor(c.h, c.s, c.x), c.expected) << c.h << ' ' << c.s << ' ' << c.x;
  }
}

TEST(ColorModels, HSLandHSIHueNormalisation) {
  // One step of +-360; what then still lies outside [0, 360) is reduced
  // modulo 360.
  const double pairs[][2] = {{-30, 330}, {390, 30}, {360, 0}, {720, 0},
                             {750, 30}, {-400, 320}, {-360, 0}, {1e6, std::fmod(1e6, 360)}};
  for (const auto& p : pairs) {
    EXPECT_EQ(HSLtoColor(p[0], 1, 0.5), HSLtoColor(p[1], 1, 0.5)) << p[0];
    EXPECT_EQ(HSLtoColor(p[0], 0.6, 0.3), HSLtoColor(p[1], 0.6, 0.3)) << p[0];
    EXPECT_EQ(HSItoColor(p[0], 0.7, 0.4), HSItoColor(p[1], 0.7, 0.4)) << p[0];
  }
  EXPECT_EQ(HSLtoColor(330, 1, 0.5), 0x8000FFu);  // FF0080
  EXPECT_EQ(HSLtoColor(kNaN, 1, 0.5), 0x0000FFu);
  EXPECT_EQ(HSLtoColor(INFINITY, 1, 0.5), 0x0000FFu);
  EXPECT_EQ(HSItoColor(0, 1, 1), 0x0000FFu);  // limited to 1 per component
}

// Every model converts back to the same colour, over a grid of colours.
TEST(ColorModels, RoundTrips) {
  for (int r = 0; r < 256; r += 15) {
    for (int g = 0; g < 256; g += 15) {
      for (int b = 0; b < 256; b += 15) {
        const TColor c = RGBToColor(r, g, b);
        double h, s, x;
        ColorToHSL(c, h, s, x);
        ASSERT_EQ(HSLtoColor(h, s, x), c) << r << ',' << g << ',' << b;
        ColorToHSV(c, h, s, x);
        ASSERT_EQ(HSVtoColor(h, s, x), c) << r << ',' << g << ',' << b;
        ColorToHSI(c, h, s, x);
        ASSERT_EQ(HSItoColor(h, s, x), c) << r << ',' << g << ',' << b;
        double cy, m, y, k;
        RGBtoCMY(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), cy,
                 m, y);
        CMYtoCMYK(cy, m, y, k);
        CMYKtoCMY(cy, m, y, k);
        uint8_t r2, g2, b2;
        CMYtoRGB(cy, m, y, r2, g2, b2);
        ASSERT_EQ(RGBToColor(r2, g2, b2), c) << r << ',' << g << ',' << b;
      }
    }
  }
}

TEST(ColorModels, CMYandCMYK) {
  double c = 0.2, m = 0.5, y = 0.7, k;
  CMYtoCMYK(c, m, y, k);
  EXPECT_DOUBLE_EQ(k, 0.2);
  EXPECT_NEAR(c, 0, 1e-15);
  EXPECT_NEAR(m, 0.3, 1e-15);
  EXPECT_NEAR(y, 0.5, 1e-15);
  c = 1.5, m = -1, y = 0.5;
  CMYtoCMYK(c, m, y, k);
  EXPECT_EQ(k, 0);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(m, 0);
  EXPECT_EQ(y, 0.5);
  CMYKtoCMY(c, m, y, 0.7);  // clamped after adding black
  EXPECT_EQ(c, 1);
  EXPECT_DOUBLE_EQ(m, 0.7);
  EXPECT_EQ(y, 1);
  uint8_t r, g, b;
  CMYtoRGB(-3, 0.5, kNaN, r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 128);  // 127.5 to even
  EXPECT_EQ(b, 255);
  RGBtoCMY(0, 255, 51, c, m, y);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(m, 0);
  EXPECT_DOUBLE_EQ(y, 0.8);
}

TEST(ColorModels, GrayAndDistance) {
  EXPECT_EQ(RGBtoGray(255, 255, 255), 255);
  EXPECT_EQ(RGBtoGray(100, 0, 0), 30);
  EXPECT_EQ(RGBtoGray(0, 100, 0), 59);
  EXPECT_EQ(RGBtoGray(0, 0, 100), 11);
  EXPECT_EQ(RGBtoGray(135, 206, 235), 188);  // 40.5 + 121.54 + 25.85 = 187.89
  EXPECT_EQ(ColorToGray(0xFF0000FF), 76);     // top byte ignored: 76.5 to even
  EXPECT_EQ(RGBtoGrayColor(100, 0, 0), 0x1E1E1Eu);
  EXPECT_EQ(ColorToGrayColor(0x00FFFFFF), 0x00FFFFFFu);
  EXPECT_EQ(RGBColorDistance(0x000000, 0xFFFFFF), 1.0);
  EXPECT_EQ(RGBColorDistance(0x123456, 0xFF123456), 0.0);
  EXPECT_DOUBLE_EQ(RGBColorDistance(0x0000FF, 0x000000), std::sqrt(1 / 3.0));
  EXPECT_DOUBLE_EQ(RGBColorDistance(0x0A0B0C, 0x000000), std::sqrt(365 / 195075.0));
}

TEST(ColorModels, Interpolation) {
  EXPECT_EQ(InterpolateColor(0x000000, 0xFFFFFF, 0.5), 0x7F7F7Fu);  // 127.5 truncated
  EXPECT_EQ(InterpolateColor(0x112233, 0x445566, 2), 0x445566u);
  EXPECT_EQ(InterpolateColor(0x112233, 0x445566, -1), 0x112233u);
  EXPECT_EQ(InterpolateColor(0x112233, 0x445566, kNaN), 0x445566u);
  EXPECT_EQ(InterpolateColor(0xFF112233, 0xFF445566, 0), 0x112233u);  // top byte 0
  // A fraction of 1/3 gives 84 out of 255, not 85: truncated after an
  // exact product.
  EXPECT_EQ(InterpolateColor(0x000000, 0x0000FF, 1 / 3.0), 0x000054u);
  EXPECT_EQ(InterpolateColor(0x0000FF, 0x000000, 0.5), 0x00007Fu);  // 127.5 down
  EXPECT_EQ(Interpolate3Colors(0x102030, 0x405060, 0x708090, 0.5), 0x405060u);
  EXPECT_EQ(Interpolate3Colors(0x102030, 0x405060, 0x708090, 0), 0x102030u);
  EXPECT_EQ(Interpolate3Colors(0x102030, 0x405060, 0x708090, 7), 0x708090u);
  EXPECT_EQ(Interpolate3Colors(0x000000, 0x0000FF, 0x000000, 0.25), 0x00007Fu);
  EXPECT_EQ(Interpolate3Colors(0x000000, 0x000000, 0x0000FF, 0.75), 0x00007Fu);
  EXPECT_EQ(MeanColor(0x000000, 0xFFFFFF), 0x7F7F7Fu);
  EXPECT_EQ(ReverseRGBColor(0xAA123456), 0x00563412u);
  EXPECT_EQ(InvertColor(0xAA123456), 0x00EDCBA9u);
}

TEST(ColorModels, HexText) {
  EXPECT_EQ(ColorToHexStr(0x0000FF), u"000000FF");
  EXPECT_EQ(ColorToHexStr(0xFF00000F), u"FF00000F");
  const struct {
    const char16_t* text;
    TColor value;
  } cases[] = {
      {u"  $0000FF  ", 0x0000FF}, {u"12G4", 0x12},       {u"", 0},
      {u"   ", 0},                {u"$", 0},             {u"xyz", 0},
      {u"$ 1f", 0x1F},            {u"ff00000f", 0xFF00000F},
      {u"1234567890", 0x34567890},  // wraps modulo 2^32
      {u"$$12", 0},               {u"12 34", 0x12},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HexStrToColor(c.text), c.value) << ToUtf8(c.text);
  }
  for (TColor c : {0u, 0x87CEEBu, 0xFFFFFFFFu, 0x20000000u}) {
    EXPECT_EQ(HexStrToColor(ColorToHexStr(c)), c);
  }
}

TEST(ColorModels, WebHexText) {
  EXPECT_EQ(ColorToWebHex(0x0000FF), u"#FF0000");  // red comes first
  EXPECT_EQ(ColorToWebHex(0xFFEBCE87), u"#87CEEB");  // the top byte is not shown
  const struct {
    const char16_t* text;
    TColor value;
  } good[] = {
      {u"#FF0000", 0x0000FF}, {u"#87ceeb", 0xEBCE87}, {u"87CeEb", 0xEBCE87},
      {u"#000000", 0},        {u"#f0a", 0xAA00FF},    {u"F0A", 0xAA00FF},
  };
  for (const auto& c : good) {
    TColor got = 0x12345678;
    EXPECT_TRUE(TryWebHexToColor(c.text, got)) << ToUtf8(c.text);
    EXPECT_EQ(got, c.value) << ToUtf8(c.text);
  }
  for (const char16_t* text : {u"", u"#", u"#12345", u"#1234567", u" #123456", u"#123456 ", u"##123456",
                               u"#12345G", u"#-12345", u"$123456", u"#12 456", u"#ＡＢＣ"}) {
    TColor got = 0x12345678;
    EXPECT_FALSE(TryWebHexToColor(text, got)) << ToUtf8(text);
    EXPECT_EQ(got, 0x12345678u) << ToUtf8(text);
  }
  for (TColor c : {0u, 0x87CEEBu, 0xFFFFFFu, 0x010203u}) {
    TColor back = 0xFFFFFFFF;
    EXPECT_TRUE(TryWebHexToColor(ColorToWebHex(c), back));
    EXPECT_EQ(back, c);
  }
}

TEST(ColorModels, Wavelength) {
  EXPECT_EQ(WavelengthToColor(550, 1), RGBToColor(146, 255, 0));
  EXPECT_EQ(WavelengthToColor(720, 1), RGBToColor(210, 0, 0));  // 210.375
  EXPECT_EQ(WavelengthToColor(379, 1), 0u);
  EXPECT_EQ(WavelengthToColor(780, 1), 0u);
  EXPECT_EQ(WavelengthToColor(-5, 1), 0u);
  EXPECT_EQ(WavelengthToColor(380, 1), RGBToColor(76, 0, 76));  // factor 0.3: 76.5 to even
  EXPECT_EQ(WavelengthToColor(440, 1), RGBToColor(0, 0, 255));
  EXPECT_EQ(WavelengthToColor(500, 1), RGBToColor(0, 255, 128));  // 127.5 to even
  EXPECT_EQ(WavelengthToColor(600, 1), RGBToColor(255, 177, 0));  // 176.54
  EXPECT_EQ(WavelengthToColor(550, 0.5), RGBToColor(193, 255, 0));  // sqrt(4/7)
  // A negative gamma cannot push a component past 255.
  EXPECT_EQ(WavelengthToColor(720, -1), RGBToColor(255, 0, 0));
  EXPECT_EQ(WavelengthToColor(550, kNaN), 0u);
}

TEST(ColorModels, RandomColorsDrawBlueFirst) {
  SetRandSeed(77);
  const int b = Random(256), g = Random(256), r = Random(256);
  SetRandSeed(77);
  EXPECT_EQ(RandomColor(), RGBToColor(r, g, b));
  SetRandSeed(78);
  const int b2 = 10 + Random(11), g2 = 200 + Random(56), r2 = 5;
  SetRandSeed(78);
  EXPECT_EQ(RandomColor(5, 5, 200, 255, 10, 20), RGBToColor(r2, g2, b2));
  for (int i = 0; i < 200; ++i) {
    const TColor c = RandomColor(0, 255, 100, 101, 7, 9);
    EXPECT_TRUE(GetGValue(c) >= 100 && GetGValue(c) <= 101);
    EXPECT_TRUE(GetBValue(c) >= 7 && GetBValue(c) <= 9);
  }
  EXPECT_EQ(GetRValue(RandomColor(9, 3, 0, 0, 0, 0)), 9);  // low above high: low
}

// --- beside Python's colorsys -------------------------------------------------

// Runs tools/colorsys_ref.py over `requests` and returns its answer lines,
// each split into numbers.
std::vector<std::vector<double>> AskColorsys(const std::vector<std::string>& requests) {
  const auto script = std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "tools" /
                      "colorsys_ref.py";
  testutil::TempDir dir("colorsys");
  std::string text;
  for (const auto& r : requests) text += r + "\n";
  dir.Put("in.txt", text);
  const std::string command = "python3 '" + script.string() + "' < '" + dir.Dir() +
                              "/in.txt' > '" + dir.Dir() + "/out.txt'";
  if (std::system(command.c_str()) != 0) return {};
  std::istringstream in(dir.Bytes("out.txt"));
  std::vector<std::vector<double>> answers;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::vector<double> values;
    for (double v; fields >> v;) values.push_back(v);
    answers.push_back(values);
  }
  return answers;
}

TEST(ColorModels, MatchPythonColorsys) {
  std::mt19937 gen(20261210);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_real_distribution<double> unit(0, 1), degrees(0, 360);
  std::vector<int> rgb;
  std::vector<double> hsx;
  std::vector<std::string> requests;
  for (int i = 0; i < 3000; ++i) {
    int c[3] = {byte(gen), byte(gen), byte(gen)};
    if (i % 10 == 0) c[1] = c[2] = c[0];        // greys
    if (i % 10 == 1) c[1] = c[0];               // ties for the maximum
    rgb.insert(rgb.end(), c, c + 3);
    requests.push_back("rgb " + std::to_string(c[0]) + " " + std::to_string(c[1]) + " " +
                       std::to_string(c[2]));
  }
  char buf[128];
  for (int i = 0; i < 3000; ++i) {
    const double h = i % 7 == 0 ? 60.0 * (i % 6) : degrees(gen);  // sector edges too
    const double s = i % 11 == 0 ? 0 : unit(gen);
    const double x = unit(gen);
    hsx.insert(hsx.end(), {h, s, x});
    std::snprintf(buf, sizeof buf, "hsv %.17g %.17g %.17g", h, s, x);
    requests.push_back(buf);
    std::snprintf(buf, sizeof buf, "hsl %.17g %.17g %.17g", h, s, x);
    requests.push_back(buf);
  }
  const auto answers = AskColorsys(requests);
  if (answers.empty()) GTEST_SKIP() << "python3 with colorsys is not available";
  ASSERT_EQ(answers.size(), requests.size());

  for (size_t i = 0; i < 3000; ++i) {
    const int r = rgb[3 * i], g = rgb[3 * i + 1], b = rgb[3 * i + 2];
    const auto& py = answers[i];
    ASSERT_EQ(py.size(), 6u);
    double h, s, v;
    RGBtoHSV(r, g, b, h, s, v);
    // colorsys gives a grey hue 0 where this library marks it undefined.
    if (py[1] == 0) {
      EXPECT_EQ(h, r == 0 ? 0 : -1) << r << ',' << g << ',' << b;
    } else {
      EXPECT_NEAR(h, py[0], 1e-9) << r << ',' << g << ',' << b;
    }
    EXPECT_NEAR(s, py[1], 1e-12) << r << ',' << g << ',' << b;
    EXPECT_NEAR(v, py[2], 1e-12) << r << ',' << g << ',' << b;
    double l;
    RGBtoHSL(r, g, b, h, s, l);
    EXPECT_NEAR(h, py[3], 1e-9) << r << ',' << g << ',' << b;
    EXPECT_NEAR(l, py[4], 1e-12) << r << ',' << g << ',' << b;
    EXPECT_NEAR(s, py[5], 1e-9) << r << ',' << g << ',' << b;
  }
  // colorsys answers fractions; this library rounds 255 times them to whole
  // components, so each component lies within one half of colorsys' value.
  for (size_t i = 0; i < 3000; ++i) {
    const double h = hsx[3 * i], s = hsx[3 * i + 1], x = hsx[3 * i + 2];
    int out[3];
    HSVtoRGB(h, s, x, out[0], out[1], out[2]);
    const auto& py_hsv = answers[3000 + 2 * i];
    for (int k = 0; k < 3; ++k) {
      EXPECT_LE(std::fabs(out[k] - py_hsv[k]), 0.5 + 1e-9) << "hsv " << h << ' ' << s << ' ' << x;
    }
    HSLtoRGB(h, s, x, out[0], out[1], out[2]);
    const auto& py_hsl = answers[3000 + 2 * i + 1];
    for (int k = 0; k < 3; ++k) {
      EXPECT_LE(std::fabs(out[k] - py_hsl[k]), 0.5 + 1e-9) << "hsl " << h << ' ' << s << ' ' << x;
    }
  }
}

}  // namespace
}  // namespace zel
