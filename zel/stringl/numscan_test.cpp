#include "zel/stringl/numscan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "zel/univconst/univconst.h"

namespace zel {
namespace {

struct IntCase {
  const char16_t* text;
  int start;
  int64_t value;
  int end_pos;
};

TEST(ScanDecInteger, ReadsSignDigitsAndStopsOnTheFirstOtherCharacter) {
  const IntCase cases[] = {
      {u"  -42x", 1, -42, 6},   {u"", 1, 0, 1},          {u"+7", 1, 7, 3},
      {u"abc", 1, 0, 1},        {u"x 12", 2, 12, 5},     {u"-", 1, 0, 2},
      {u"   ", 1, 0, 3},        // blanks skipped only up to the last character
      {u"12 34", 3, 34, 6},     // starts on the blank between the numbers
      {u"2147483647", 1, 2147483647, 11},
      {u"-2147483648", 1, -2147483648LL, 12},
      {u"4294967297", 1, 1, 11},  // 32-bit wrap-around, never undefined
  };
  for (const auto& c : cases) {
    int pos = c.start;
    EXPECT_EQ(ScanDecInteger(c.text, pos), c.value) << std::u16string(c.text).size();
    EXPECT_EQ(pos, c.end_pos);
  }
}

TEST(ScanHexInteger, DollarOnlyAtTheVeryStartAndEitherCase) {
  const IntCase cases[] = {
      {u"$1F", 1, 31, 4},     {u" $1F", 1, 0, 2},       {u"ff", 1, 255, 3},
      {u"1g", 1, 1, 2},       {u"", 1, 0, 1},           {u"FFFFFFFF", 1, 0xFFFFFFFF, 9},
      {u"1FFFFFFFF", 1, 0xFFFFFFFF, 10},  // the top nibble wraps away
      {u"x$10", 2, 0, 2},     // '$' not at position 1 stops the scan
  };
  for (const auto& c : cases) {
    int pos = c.start;
    EXPECT_EQ(ScanHexInteger(c.text, pos), static_cast<uint32_t>(c.value)) << c.start;
    EXPECT_EQ(pos, c.end_pos);
  }
}

TEST(ScanFloat, StateTableCases) {
  struct Case {
    const char16_t* text;
    bool allow_exp;
    int sep_mode;
    double value;
    int end_pos;
  };
  const Case cases[] = {
      {u"1,5", true, 3, 1.5, 4},     {u"12.", true, 3, 12, 4},
      {u"1e3", true, 3, 1000, 4},    {u"--1", true, 3, 0, 2},
      {u"1.5x", true, 3, 1.5, 4},    {u"  -.5", true, 3, -0.5, 6},
      {u".", true, 3, 0, 2},         {u"1,5", true, 1, 1, 2},
      {u"1,5", true, 2, 1.5, 4},     {u"1.5", true, 2, 1, 2},
      {u"1e3", false, 3, 1, 2},      {u"2E-2;", true, 3, 0.02, 5},
      {u"1e", true, 3, 1, 3},        {u"1e+x", true, 3, 1, 4},
      {u"1e 3", true, 3, 0, 3},      {u"1..2", true, 3, 0, 3},
      {u"e5", true, 3, 0, 1},        {u"", true, 3, 0, 1},
      {u"7 8", true, 3, 7, 2},       {u"0.1", true, 3, 0.1, 4},
      {u"+3", true, 3, 3, 3},
  };
  for (const auto& c : cases) {
    int pos = 1;
    EXPECT_EQ(ScanFloat(c.text, c.allow_exp, c.sep_mode, pos), c.value)
        << std::u16string(c.text).size() << " chars, mode " << c.sep_mode;
    EXPECT_EQ(pos, c.end_pos) << c.value;
  }
}

TEST(ScanFloat, HugeExponentsAreCutAndClamped) {
  const double max = static_cast<double>(uc_MaxDouble);
  int pos = 1;
  EXPECT_EQ(ScanFloat(u"1e999999999999", true, 3, pos), max);
  EXPECT_EQ(pos, 15);  // every exponent digit is consumed
  pos = 1;
  EXPECT_EQ(ScanFloat(u"-1e400", true, 3, pos), -max);
  pos = 1;
  EXPECT_EQ(ScanFloat(u"1e-99999", true, 3, pos), 0.0);
  pos = 1;
  EXPECT_EQ(ScanFloat(u"1.7976931348623157e308", true, 3, pos), max);
  // Exponent digits are taken while those taken so far amount to at most
  // 4200: "4301" is taken whole (430 <= 4200), a fifth digit no more.  A
  // mantissa of 4300 leading zeros shows which exponent was used.
  const String tiny_one = u"0." + String(4300, u'0') + u"1e";
  for (const char16_t* exponent : {u"4301", u"43010", u"430199"}) {
    const String text = tiny_one + exponent;
    pos = 1;
    EXPECT_EQ(ScanFloat(text, true, 3, pos), 1.0) << ToUtf8(exponent);
    EXPECT_EQ(pos, static_cast<int>(text.size()) + 1);
  }
  pos = 1;
  EXPECT_EQ(ScanFloat(u"1e-42090", true, 3, pos), 0.0);
  pos = 1;
  EXPECT_EQ(ScanFloat(u"1e-4210000000000000000000000000000", true, 3, pos), 0.0);
  pos = 1;
  EXPECT_EQ(ScanFloat(u"4.9e-0000324", true, 3, pos), std::numeric_limits<double>::denorm_min());
}

TEST(ScanFloat, DetailedResultTellsFailureAndLargeExponentApart) {
  struct Case {
    const char16_t* text;
    bool ok;
    bool over_4200;
  };
  const Case cases[] = {{u"0", true, false},    {u"--1", false, false}, {u"", false, false},
                        {u"1e4200", true, false}, {u"1e4201", true, true}, {u"12abc", true, false},
                        {u"1e-99999", true, true}};
  for (const auto& c : cases) {
    int pos = 1;
    const FloatScanResult r = ScanFloatDetailed(c.text, true, 1, pos);
    EXPECT_EQ(r.ok, c.ok) << std::u16string(c.text).size();
    EXPECT_EQ(r.exponent_over_4200, c.over_4200) << std::u16string(c.text).size();
  }
}

TEST(ScanFloat, ConversionIsCorrectlyRounded) {
  int pos = 1;
  EXPECT_EQ(ScanFloat(u"0.30000000000000004", true, 3, pos), 0.30000000000000004);
  pos = 1;
  EXPECT_EQ(ScanFloat(u"123456789012345678901234567890", true, 3, pos), 1.2345678901234568e29);
}

TEST(HexDigits, ClampsTheDigitCount) {
  EXPECT_EQ(HexDigits(0x1F, 4), u"001F");
  EXPECT_EQ(HexDigits(0x1F, 0), u"F");
  EXPECT_EQ(HexDigits(255, 1), u"F");
  EXPECT_EQ(HexDigits(0xDEADBEEF, 9), u"DEADBEEF");
  EXPECT_EQ(HexDigits(0xABCDEF12, -3), u"2");
  EXPECT_EQ(HexDigits(0xabcdef12, 8), u"ABCDEF12");
}

}  // namespace
}  // namespace zel
