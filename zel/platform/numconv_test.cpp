#include "zel/platform/numconv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "zel/platform/exceptions.h"

namespace zel {
namespace {

TEST(IntToStr, AllWidths) {
  EXPECT_EQ(IntToStr(int32_t{-2147483647 - 1}), u"-2147483648");
  EXPECT_EQ(IntToStr(int64_t{-9223372036854775807 - 1}), u"-9223372036854775808");
  EXPECT_EQ(IntToStr(uint32_t{4294967295u}), u"4294967295");
  EXPECT_EQ(IntToStr(uint64_t{18446744073709551615u}), u"18446744073709551615");
  EXPECT_EQ(IntToStr(0), u"0");
}

TEST(StrToInt, AcceptedForms) {
  struct Case { const char16_t* text; int32_t value; };
  const Case cases[] = {
      {u"0", 0},          {u"-0", 0},           {u"+17", 17},
      {u" \t42 ", 42},    {u"-2147483648", INT32_MIN}, {u"2147483647", INT32_MAX},
      {u"$1F", 31},       {u"0x1f", 31},        {u"$FFFFFFFF", -1},
      {u"-$10", -16},     {u"007", 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StrToInt(c.text), c.value) << ToUtf8(c.text);
  }
  EXPECT_EQ(StrToInt64(u"-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(StrToInt64(u"$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64(u"4294967296"), 4294967296LL);
}

TEST(StrToInt, RejectedFormsRaiseWithTheText) {
  const char16_t* bad[] = {u"", u"  ", u"-", u"1.5", u"12a", u"2147483648", u"-2147483649",
                           u"$", u"$100000000", u"1 2", u"\u0661", u"0x"};
  for (const char16_t* text : bad) {
    int32_t v = 77;
    EXPECT_FALSE(TryStrToInt(text, v)) << ToUtf8(text);
    EXPECT_EQ(v, 77);
    EXPECT_EQ(StrToIntDef(text, -5), -5);
  }
  try {
    StrToInt(u"12a");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'12a' is not a valid integer value");
  }
  EXPECT_THROW(StrToInt64(u"9223372036854775808"), EConvertError);
}

TEST(StrToFloat, AcceptedAndRejectedForms) {
  struct Case { const char16_t* text; double value; };
  const Case good[] = {{u"2.5e3", 2500}, {u" -.5 ", -0.5}, {u"5.", 5}, {u"1E-2", 0.01},
                       {u"+0", 0},       {u"1e-400", 0},   {u"0.1", 0.1}};
  for (const Case& c : good) EXPECT_EQ(StrToFloat(c.text), c.value) << ToUtf8(c.text);
  EXPECT_TRUE(std::isinf(StrToFloat(u"-inf")));
  EXPECT_LT(StrToFloat(u"-Infinity"), 0);
  EXPECT_TRUE(std::isnan(StrToFloat(u"NaN")));
  const char16_t* bad[] = {u"", u".", u"1,5", u"1e", u"1e+", u"0x10", u"1e400", u"--1", u"e5",
                           u"1.5x"};
  for (const char16_t* text : bad) {
    double v = 3;
    EXPECT_FALSE(TryStrToFloat(text, v)) << ToUtf8(text);
    EXPECT_EQ(v, 3);
  }
  try {
    StrToFloat(u"1,5");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"'1,5' is not a valid floating point value");
  }
  long double x = 0;
  EXPECT_TRUE(TryStrToExtended(u"1e4000", x));  // within the extended range
  EXPECT_GT(x, 1e308L);
  EXPECT_EQ(StrToFloatDef(u"?", 1.25), 1.25);
}

TEST(FloatToStr, ShortestTextInFixedOrExponentForm) {
  struct Case { double value; const char16_t* text; };
  const Case cases[] = {
      {0.1, u"0.1"},         {-2.5, u"-2.5"},      {100, u"100"},
      {1e20, u"1E20"},       {1.5e-7, u"1.5E-7"},  {0.00001, u"0.00001"},
      {123456789012345.0, u"123456789012345"},     {1e15, u"1E15"},
      {0.0, u"0"},           {-0.0, u"0"},         {1.0 / 3, u"0.3333333333333333"},
      {5e-324, u"5E-324"},   {1.7976931348623157e308, u"1.7976931348623157E308"},
      {std::numeric_limits<double>::infinity(), u"INF"},
      {-std::numeric_limits<double>::infinity(), u"-INF"},
      {std::nan(""), u"NAN"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << c.value;
  EXPECT_EQ(SingleToStr(0.1f), u"0.1");
}

TEST(FloatToStr, EveryDoubleReadsBack) {
  std::mt19937_64 rng(7);
  for (int i = 0; i < 20000; ++i) {
    const uint64_t bits = rng();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    if (!std::isfinite(d)) continue;
    const String text = FloatToStr(d);
    ASSERT_EQ(StrToFloat(text), d) << ToUtf8(text);
    // Shortest: one digit fewer no longer reads back (checked via %.*g).
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.*g", 16, d);
    if (std::strtod(buf, nullptr) != d) {
      size_t digits = 0;
      for (Char c : text) {
        if (c == u'E') break;
        if (c >= u'0' && c <= u'9') ++digits;
      }
      ASSERT_GE(digits, 17u) << ToUtf8(text);
    }
  }
}

TEST(FloatToText, FixedPoint) {
  struct Case { long double x; int width, precision; const char16_t* text; };
  const Case cases[] = {
      {1.5L, 8, 2, u"    1.50"},   {-1.5L, 8, 2, u"   -1.50"},  {1.5L, 1, 2, u"1.50"},
      {0.5L, 0, 0, u"0"},          {2.5L, 0, 0, u"2"},          {3.5L, 0, 0, u"4"},
      {0.125L, 0, 2, u"0.12"},     {0.375L, 0, 2, u"0.38"},     {2.675L, 0, 2, u"2.67"},
      {-0.001L, 6, 2, u" -0.00"},  {-0.0L, 5, 1, u"  0.0"},     {999999999.0L, 12, 0, u"   999999999"},
      {0.1L, 0, 25, u"0.1000000000000000000013553"},
      {1e20L, 0, 0, u"100000000000000000000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FloatToText(c.x, c.width, c.precision), c.text)
        << static_cast<double>(c.x) << " " << c.width << " " << c.precision;
  }
}

TEST(FloatToText, Scientific) {
  struct Case { long double x; int width; const char16_t* text; };
  const Case cases[] = {
      {4567.8L, 12, u" 4.568E+0003"},  {-4567.8L, 12, u"-4.568E+0003"},
      {0.0L, 10, u" 0.0E+0000"},       {-0.0L, 11, u" 0.00E+0000"},
      {1.5e-150L, 13, u" 1.5000E-0150"},
      {9.96L, 10, u" 1.0E+0001"},      // rounding carries into the exponent
      {1.25L, 11, u" 1.25E+0000"},     {1.35L, 10, u" 1.4E+0000"},
      {1e4000L, 10, u" 1.0E+4000"},
      {1.0L, 5, u" 1.0E+0000"},        // widths below 10 act as 10
      {1.0L, 30, u"    1.000000000000000000E+0000"},  // at most 18 further digits
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FloatToText(c.x, c.width, -1), c.text) << static_cast<double>(c.x) << " " << c.width;
  }
  EXPECT_EQ(FloatToText(1.0L, 12, -3), FloatToText(1.0L, 12, -1));
}

TEST(FloatToText, InfinityAndNaN) {
  const long double inf = std::numeric_limits<long double>::infinity();
  EXPECT_EQ(FloatToText(inf, 6, 2), u"   INF");
  EXPECT_EQ(FloatToText(-inf, 10, -1), u"      -INF");
  EXPECT_EQ(FloatToText(std::nanl(""), 0, 3), u"NAN");
}

// Values that are doubles take a faster road than other long doubles; both
// must give printf's exact, correctly rounded digits.  Ties (0.125, 2.5,
// 1e23 - 2^23 ...) and random bit patterns over the whole range.
TEST(FloatToText, DoublesMatchPrintfDigits) {
  std::vector<double> values = {0.125, 0.375, 2.5, 3.5, 0.5, 1.5, 1e23, 8.5e-5, 5e-324,
                                1.7976931348623157e308, 999999999.5, 0.045, 1.005};
  std::mt19937_64 rng(7);
  for (int i = 0; i < 3000; ++i) {
    uint64_t bits = rng();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    if (std::isfinite(d)) values.push_back(d);
    values.push_back(static_cast<double>(static_cast<int64_t>(rng() % 2000000) - 1000000) / 1024);
  }
  char buf[512];
  for (double d : values) {
    for (int precision : {0, 1, 2, 5, 17}) {
      if (std::fabs(d) > 1e100) continue;  // long fixed texts: covered by the cases above
      snprintf(buf, sizeof buf, "%*.*f", 12, precision, d);
      // printf keeps the sign of a value that rounds to zero, as FloatToText does.
      ASSERT_EQ(ToUtf8(FloatToText(d, 12, precision)), buf) << d << " precision " << precision;
    }
    for (int width : {10, 14, 27}) {
      snprintf(buf, sizeof buf, "%.*e", std::min(width - 9, 18), d);
      std::string text(buf);  // [-]d.ddde(+|-)xx[x]
      const size_t e = text.find('e');
      std::string exponent = text.substr(e + 2);
      exponent.insert(0, 4 - exponent.size(), '0');
      std::string want = (d < 0 ? "" : " ") + text.substr(0, e) + "E" + text[e + 1] + exponent;
      if (d == 0) want = " " + text.substr(text[0] == '-' ? 1 : 0, e - (text[0] == '-' ? 1 : 0)) +
                         "E+0000";
      ASSERT_EQ(ToUtf8(FloatToText(d, width, -1)), want) << d << " width " << width;
    }
  }
}

}  // namespace
}  // namespace zel
