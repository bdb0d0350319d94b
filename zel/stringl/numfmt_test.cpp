#include "zel/stringl/numfmt.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace zel {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct Case {
  double x;
  int a, b;  // the two integer arguments of the function under test
  const char16_t* text;
};

TEST(Strff, FixedScientificAndZeroPadding) {
  const Case cases[] = {
      {1.5, 8, 2, u"    1.50"},         {1.5, -8, 2, u"00001.50"},
      {-1.5, -8, 2, u"-0001.50"},       {-12.5, -8, 2, u"-0012.50"},
      {3.25, -8, 2, u"00003.25"},       {-1.5, 2, 2, u"-1.50"},  // grows past the width
      {2.5, 4, 0, u"   2"},             {0.125, 0, 2, u"0.12"},  // ties to even
      {4567.8, 10, -2, u" 4.568E+03"},  {-4567.8, 10, -2, u"-4.568E+03"},
      {4567.8, -10, -2, u"04.568E+03"}, {0, 10, -2, u" 0.000E+00"},
      {9.9996, 10, -2, u" 1.000E+01"},  {1e99, 10, -2, u" 1.000E+99"},
      {1e150, 10, -2, u"**********"},   {1e-150, 10, -2, u"**********"},
      {1e-100, 10, -2, u"**********"},  {1.5, 3, -2, u" 1.5E+00"},  // narrowest field: 8
      {4567.8, 12, -1, u" 4.568E+0003"},  {4567.8, 12, -5, u" 4.568E+0003"},
      {kNaN, 6, 2, u"   NAN"},          {kInf, 5, -2, u"  INF"},
      {-kInf, -6, 1, u"  -INF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(strff(c.x, c.a, c.b), c.text) << c.x << " " << c.a << " " << c.b;
  }
  // strff(x, n + 6, -2) shows n significant digits for every n.
  for (int n = 1; n <= 19; ++n) {
    const String s = strff(1.0L / 3, n + 6, -2);
    EXPECT_EQ(s.size(), static_cast<size_t>(std::max(n, 2) + 6)) << n;
    EXPECT_EQ(s.substr(s.size() - 4), u"E-01");
  }
  // Extended values beyond the double range keep their precision.
  EXPECT_EQ(strff(1.0L / 3, 0, 20), u"0.33333333333333333334");
  // Extreme widths and decimals are capped, never overflowed.
  EXPECT_EQ(strff(1, INT_MIN, 0).size(), 10000u);
  EXPECT_EQ(strff(1, INT_MAX, -2).size(), 9998u);  // the 10000 of the conversion, less two
  EXPECT_EQ(strff(1, 0, INT_MAX).size(), 10002u);
}

TEST(StrffForcePlus, PlusTakesTheBlankOrTheZeroOrGrows) {
  const Case cases[] = {
      {1.5, 8, 2, u"   +1.50"},  {1.5, 1, 2, u"+1.50"},   {1.5, -8, 2, u"+0001.50"},
      {0, 1, 0, u"+0"},          {0.5, 1, 2, u"+0.50"},   {-1.5, 8, 2, u"   -1.50"},
      {-1.5, -8, 2, u"-0001.50"}, {4567.8, 10, -2, u"+4.568E+03"},
      {4567.8, -10, -2, u"+4.568E+03"}, {0.5, -6, 2, u"+00.50"},
      {kInf, 5, 0, u" +INF"},    {kNaN, 5, 0, u"  NAN"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(strffForcePlus(c.x, c.a, c.b), c.text) << c.x << " " << c.a << " " << c.b;
  }
}

TEST(FormatData, FixedInsideTheRowLimitsElseScientific) {
  const Case cases[] = {
      {999999999, 12, 0, u"   999999999"},
      {1e9, 12, 0, u" 1.00000000000E+09"},    // above the upper limit
      {0.5, 10, 0, u" 5.000000000E-01"},      // below the lower limit 1
      {0, 10, 3, u"     0.000"},             // zero is always fixed
      {999999.99, 12, 2, u"   999999.99"},   {1000000, 12, 2, u" 1.00000000000E+06"},
      {0.01, 8, 2, u"    0.01"},             {0.009, 8, 2, u" 9.0000000E-03"},
      {-0.5, 10, 1, u"      -0.5"},          {0.5, 12, 8, u"  0.50000000"},
      {1.0, 12, 8, u" 1.00000000000E+00"},   {1e-8, 12, 8, u"  0.00000001"},
      {1.5, 4, 9, u" 1.500E+00"},            {1.5, 4, -1, u" 1.500E+00"},
      {kNaN, 4, 2, u"       NAN"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatData(c.x, c.a, c.b), c.text) << c.x << " " << c.a << " " << c.b;
  }
}

TEST(SigDigStr, SignificantDigitsInTheField) {
  const Case cases[] = {
      {123456, 10, 3, u"    123456"},      // integer digits are kept
      {0, 8, 3, u"    0.00"},              {3.14159, 8, 3, u"    3.14"},
      {1234567, 5, 3, u" 1.23E+06"},       // more digits than the field
      {0.000123456, 10, 3, u"  0.000123"}, {0.000123456, 8, 3, u" 1.23E-04"},
      {-2.5, 6, 2, u"  -2.5"},             {1000, 8, 4, u"    1000"},
      {kInf, 4, 3, u"      INF"},
      // Just below 10^15, where log10 rounds to 15: fifteen integer digits.
      {999999999999999.0, 20, 16, u"   999999999999999.0"},
      {1e15, 20, 16, u"    1000000000000000"}, {0.1, 8, 3, u"   0.100"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SigDigStr(c.x, c.a, c.b), c.text) << c.x << " " << c.a << " " << c.b;
  }
  EXPECT_EQ(SigDigStr(3.14159, 8, 3, true), u"3.14");
  EXPECT_EQ(SigDigStr(3.14159, 8, 3, false), u"    3.14");
}

TEST(AutoFormatData, CompactTextByMagnitude) {
  const Case cases[] = {
      {4567.8, 4, 0, u"4.568E+03"},  {123.46, 4, 0, u"123.5"},   {0.5, 4, 0, u"0.500"},
      {0.05, 4, 0, u"5.000E-02"},    {0.1, 4, 0, u"0.100"},      {0, 3, 0, u"0.00"},
      {-0.5, 3, 0, u"-0.50"},        {999, 4, 0, u"999.0"},
      {123.46, 1, 0, u"1.2E+02"},    {123.46, 2, 0, u"1.2E+02"},  // NSig 1 acts as 2
      {1.0 / 3, 20, 0, u"0.333333333333333"},  {1.0 / 3, 16, 0, u"0.333333333333333"},
      {kNaN, 4, 0, u"NAN"},          {-kInf, 4, 0, u"-INF"},
      // Decided by the exact value, not by a logarithm rounded onto a whole
      // number: 0.1 lies just above 1/10, the others just below a power of ten.
      {999.9999999999999, 4, 0, u"1000.0"},  {1000.0, 4, 0, u"1.000E+03"},
      {0.09999999999999999, 4, 0, u"1.000E-01"}, {-0.1, 3, 0, u"-0.10"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AutoFormatData(c.x, c.a), c.text) << c.x << " " << c.a;
  }
  EXPECT_EQ(AutoFormatData(123.46, 4, true), u"123,5");
  EXPECT_EQ(AutoFormatData(4567.8, 4, true), u"4,568E+03");
  EXPECT_EQ(AutoFormatData(123.46, 4, false), u"123.5");
}

}  // namespace
}  // namespace zel
