#include "zel/stringl/valuetext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace zel {
namespace {

TEST(BoolToStr, EveryMode) {
  const struct { int mode; const char16_t *t, *f; } cases[] = {
      {0, u"TRUE", u"FALSE"}, {1, u"T", u"F"},     {2, u".T.", u".F."}, {3, u"1", u"0"},
      {4, u"-1", u"0"},       {5, u"FF", u"00"},   {6, u"YES", u"NO"},  {7, u"GOOD", u"BAD"},
      {8, u"TRUE", u"FALSE"}, {-1, u"TRUE", u"FALSE"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BoolToStr(true, c.mode), c.t) << c.mode;
    EXPECT_EQ(BoolToStr(false, c.mode), c.f) << c.mode;
  }
  EXPECT_EQ(BinString(true, u"on", u"off"), u"on");
  EXPECT_EQ(BinString(false, u"on", u"off"), u"off");
}

TEST(TriState, TextBothWays) {
  const struct { int mode; const char16_t *t, *f, *u; } modes[] = {
      {0, u"true", u"false", u""}, {1, u"1", u"-1", u"0"},
      {2, u"yes", u"no", u"unknown"}, {3, u"true", u"false", u""},
  };
  for (const auto& m : modes) {
    EXPECT_EQ(TriStateToStr(tsTrue, m.mode), m.t) << m.mode;
    EXPECT_EQ(TriStateToStr(tsFalse, m.mode), m.f) << m.mode;
    EXPECT_EQ(TriStateToStr(tsUndefined, m.mode), m.u) << m.mode;
  }
  const struct { const char16_t* text; TTriState t; } parsed[] = {
      {u" Yes ", tsTrue},  {u"TRUE", tsTrue},   {u"1", tsTrue},       {u"+1", tsTrue},
      {u"no", tsFalse},    {u"False", tsFalse}, {u"-1", tsFalse},     {u"0", tsUndefined},
      {u"", tsUndefined},  {u"yess", tsUndefined}, {u"\tyes", tsUndefined},  // tab is no blank
  };
  for (const auto& p : parsed) EXPECT_EQ(StrToTriState(p.text), p.t) << ToUtf8(p.text);
}

TEST(TimeString, EveryFormat) {
  const struct { double secs; int format; const char16_t* text; } cases[] = {
      {3725.5, 0, u"01:02:05.50"},   {3725.5, 1, u"01:02:05"},   {3725.5, 2, u" 1h02"},
      {3725.5, 3, u" 1h02'05\""},    {3725.5, 4, u"01:02"},      {3725.5, 6, u""},
      {13.5 * 3600, 5, u" 1:30p"},   {300, 5, u"12:05a"},        {12 * 3600, 5, u"12:00p"},
      {11 * 3600 + 59 * 60, 5, u"11:59a"},
      {-10, 0, u"00:00:00.00"},      {std::nan(""), 0, u"00:00:00.00"},
      {360061, 1, u"100:01:01"},     {45000, 2, u"12h30"},
      // Hours are not cut to 16 bits: 70000 hours stay 70000.
      {70000.0 * 3600, 4, u"70000:00"},
      {1e300, 4, u"1000000000000000000:00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TimeString(c.secs, static_cast<uint8_t>(c.format)), c.text)
        << c.secs << " format " << c.format;
  }
}

TEST(SortableNumericString, SeparatorsLineUp) {
  EXPECT_EQ(SortableNumericString(u" 3.25 ", u'.', 4), u"  3.25");
  EXPECT_EQ(SortableNumericString(u"123.5", u'.', 4), u"123.5");
  EXPECT_EQ(SortableNumericString(u"1234.5", u'.', 4), u"1234.5");
  EXPECT_EQ(SortableNumericString(u"12", u'.', 3), u"   12");
  EXPECT_EQ(SortableNumericString(u"1,5", u',', 3), u" 1,5");
  EXPECT_EQ(SortableNumericString(u"1.5", u'.', -2), u"1.5");
}

TEST(CreateParList, FrameAndCut) {
  const std::vector<int32_t> v = {1, 2, 3};
  const struct { bool add_comma; int max_num; bool brackets; const char16_t* text; } cases[] = {
      {false, 0, true, u"[1,2,3]"},   {false, 2, true, u"[1,2,...]"},
      {false, 2, false, u"1,2,..."},  {true, 0, true, u"[1,2,3],"},
      {true, 1, false, u"1,...,"},    {false, 3, true, u"[1,2,3]"},
      {false, 5, true, u"[1,2,3]"},   {false, -1, false, u"1,2,3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CreateParList(v, c.add_comma, c.max_num, c.brackets), c.text);
    EXPECT_EQ(CreateParList(std::span<const int32_t>(v), c.add_comma, c.max_num, c.brackets),
              c.text);
  }
  const TIntArray none;
  EXPECT_EQ(CreateParList(none, false, 0, true), u"[]");
  EXPECT_EQ(CreateParList(none, false, 0, false), u"");
  EXPECT_EQ(CreateParList(none, true, 0, false), u",");
  EXPECT_EQ(CreateParList(none, true, 0, true), u"[],");
}

TEST(CreateParList, BooleansAndDoubles) {
  const bool b[] = {true, false, true};
  EXPECT_EQ(CreateParList(std::span<const bool>(b), false, 2, true), u"[TRUE,FALSE,...]");
  const TDoubleArray d = {0.5, 123.46, 4567.8, 0};
  EXPECT_EQ(CreateParList(d, false, 0, 4, true), u"[0.500,123.5,4.568E+03,0.000]");
  EXPECT_EQ(CreateParList(std::span<const double>(d), true, 1, 3, false), u"0.50,...,");
}

// A one-dimensional array of variants [low..low+n-1] holding first, first+1, ...
Variant Range(int low, int n, int first) {
  Variant a = VarArrayCreate({low, low + n - 1}, varVariant);
  for (int i = 0; i < n; ++i) a.Put({low + i}, Variant(int32_t{first + i}));
  return a;
}

TEST(ConvertVariant, ValuesByTypeCode) {
  const struct { Variant v; const char16_t* text; } cases[] = {
      {Null(), u"NULL"},
      {Variant(int32_t{42}), u"42"},
      {Variant(int8_t{-5}), u"-5"},
      {Variant(int16_t{-300}), u"-300"},
      {Variant(uint8_t{200}), u"200"},
      {Variant(uint16_t{65535}), u"65535"},
      {Variant(uint32_t{4000000000u}), u"4000000000"},
      {Variant(int64_t{-9000000000}), u"-9000000000"},
      {Variant(std::numeric_limits<uint64_t>::max()), u"18446744073709551615"},
      {Variant(2.5), u" 2.500E+00"},
      {Variant(0.5f), u" 5.000E-01"},
      {Variant(1e200), u"**********"},
      {Variant(true), u"TRUE"},
      {Variant(u"abc"), u"abc"},
      {VarFromAnsiString(std::string_view("x y")), u"x y"},
      {Variant(), u"(unknown type: 0)"},
      {VarFromCurrency(12345), u"(unknown type: 6)"},
      {VarFromDateTime(1.5), u"(unknown type: 7)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConvertVariant(c.v), c.text) << c.v.VarType();
  }
}

TEST(ConvertVariant, OneLevelArrays) {
  EXPECT_EQ(ConvertVariant(VarArrayOf({Variant(int32_t{1}), Variant(u"b"), Variant(true)})),
            u"Array[0,2]:\r\n1,b,TRUE");
  EXPECT_EQ(ConvertVariant(Range(0, 12, 0)), u"Array[0,11]:\r\n0,1,2,3,4,5,6,7,8,9,10,11");
  EXPECT_EQ(ConvertVariant(Range(5, 14, 0)),
            u"Array[5,18]:\r\n0,1,2,3,4,5,6,7,8,9,10,11...");
  EXPECT_EQ(ConvertVariant(VarArrayCreate({0, -1}, varVariant)), u"undefined array");
  EXPECT_EQ(ConvertVariant(VarArrayCreate({-3, -1}, varInteger)), u"undefined array");
  EXPECT_EQ(ConvertVariant(VarArrayCreate({1, 0}, varInteger)), u"Array[1,0]:\r\n");
  // A typed array: every element has the array's type.
  Variant typed = VarArrayCreate({1, 2}, varDouble);
  typed.Put({2}, Variant(4567.8));
  EXPECT_EQ(ConvertVariant(typed), u"Array[1,2]:\r\n 0.000E+00, 4.568E+03");
  // A multi-dimensional array is shown along its first dimension.
  Variant grid = VarArrayCreate({1, 2, 0, 1}, varInteger);
  grid.Put({1, 0}, Variant(int32_t{7}));
  grid.Put({1, 1}, Variant(int32_t{8}));
  grid.Put({2, 0}, Variant(int32_t{9}));
  EXPECT_EQ(ConvertVariant(grid), u"Array[1,2]:\r\n7,9");
}

TEST(ConvertVariant, TwoLevelsAreLinesOfTheSecondIndex) {
  const Variant v = VarArrayOf({Range(0, 2, 1), Range(0, 2, 3)});
  EXPECT_EQ(ConvertVariant(v), u"Array[0,1][0,1]:\r\n1,3\r\n2,4\r\n");
  // Thirteen columns and eleven lines: both are cut.
  Variant big = VarArrayCreate({0, 12}, varVariant);
  for (int i = 0; i <= 12; ++i) big.Put({i}, Range(0, 11, 100 * i));
  String want = u"Array[0,12][0,10]:\r\n";
  for (int j = 0; j < 10; ++j) {
    for (int i = 0; i < 12; ++i) want += (i ? u"," : u"") + S(std::to_string(100 * i + j));
    want += u"...\r\n";
  }
  want += u" ......";
  EXPECT_EQ(ConvertVariant(big), want);
  // Ragged nesting: what is missing is written empty.
  EXPECT_EQ(ConvertVariant(VarArrayOf({Range(0, 2, 1), Variant(int32_t{5}), Range(1, 1, 9)})),
            u"Array[0,2][0,1]:\r\n1,,\r\n2,,9\r\n");
}

TEST(ConvertVariant, ThreeLevelsAreLayers) {
  // V[0][j][k] = 10 j + k, j in 0..1, k in 0..1.
  const Variant v = VarArrayOf({VarArrayOf({Range(0, 2, 0), Range(0, 2, 10)})});
  EXPECT_EQ(ConvertVariant(v),
            u"Array[0,0][0,1][0,1]:\r\nlayer 0:\r\n0\r\n10\r\nlayer 1:\r\n1\r\n11\r\n");
  // Four layers and twelve lines: both cut.
  Variant lines = VarArrayCreate({0, 11}, varVariant);
  for (int j = 0; j <= 11; ++j) lines.Put({j}, Range(0, 4, 10 * j));
  const String text = ConvertVariant(VarArrayOf({lines}));
  String want = u"Array[0,0][0,11][0,3]:\r\n";
  for (int k = 0; k < 3; ++k) {
    want += u"layer " + S(std::to_string(k)) + u":\r\n";
    for (int j = 0; j < 10; ++j) want += S(std::to_string(10 * j + k)) + u"\r\n";
    want += u" ......\r\n";
  }
  want += u" ... more layers";
  EXPECT_EQ(text, want);
  // A fourth level is written by its type code.
  const Variant deep = VarArrayOf({VarArrayOf({VarArrayOf({Range(0, 1, 0)})})});
  EXPECT_EQ(ConvertVariant(deep), u"Array[0,0][0,0][0,0]:\r\nlayer 0:\r\n(unknown type: 12)\r\n");
}

TEST(StringIx, ExactOrAsciiCaseInsensitive) {
  EXPECT_EQ(StringIx(u"b", {u"a", u"b", u"b"}), 2);
  EXPECT_EQ(StringIx(u"B", {u"a", u"b"}), 0);
  EXPECT_EQ(StringIx(u"B", false, {u"a", u"b"}), 2);
  EXPECT_EQ(StringIx(u"B", true, {u"a", u"b"}), 0);
  EXPECT_EQ(StringIx(u"Ä", false, {u"ä"}), 0);  // ASCII folding only
  EXPECT_EQ(StringIx(u"x", {}), 0);
  const std::vector<String> list = {u"one", u"Two"};
  EXPECT_EQ(StringIx(u"Two", list), 2);
  EXPECT_EQ(StringIx(u"two", list), 0);
  EXPECT_EQ(StringIx(u"two", false, list), 2);
}

}  // namespace
}  // namespace zel
