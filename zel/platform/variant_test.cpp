#include "zel/platform/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "zel/platform/datetime.h"

namespace zel {
namespace {

TEST(Variant, TypeCodesOfEachConstructor) {
  struct Case { Variant v; TVarType type; };
  const Case cases[] = {
      {Variant(), 0},                       {Null(), 1},
      {Variant(int16_t{1}), 2},             {Variant(int32_t{1}), 3},
      {Variant(1.5f), 4},                   {Variant(1.5), 5},
      {VarFromCurrency(15000), 6},          {VarFromDateTime(45000.5), 7},
      {Variant(true), 11},                  {Variant(int8_t{-1}), 16},
      {Variant(uint8_t{1}), 17},            {Variant(uint16_t{1}), 18},
      {Variant(uint32_t{1}), 19},           {Variant(int64_t{1}), 20},
      {Variant(uint64_t{1}), 21},           {VarFromAnsiString("abc"), 256},
      {Variant(String(u"abc")), 258},       {Variant(u"abc"), 258},
      {VarArrayCreate({0, 2}, varVariant), 0x200C},
      {VarArrayCreate({0, 2}, varInteger), 0x2003},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.v.VarType(), c.type) << ToUtf8(VarTypeName(c.type));
    EXPECT_EQ(VarType(c.v) & varTypeMask, c.type & varTypeMask);
  }
  EXPECT_TRUE(VarIsNull(Null()));
  EXPECT_TRUE(VarIsEmpty(Variant()));
  EXPECT_FALSE(VarIsNull(Variant()));
}

// SetInt64 leaves what assigning Variant(v) leaves, from every kind of value.
TEST(Variant, SetInt64IsAssignmentOfTheInteger) {
  for (const Variant& from : {Variant(), Null(), Variant(int32_t{7}), Variant(uint64_t{9}), Variant(2.5),
                              Variant(true), Variant(String(u"long enough to sit on the heap")),
                              VarArrayOf({Variant(int32_t{1})})}) {
    Variant v = from;
    v.SetInt64(-42);
    EXPECT_EQ(v.VarType(), varInt64);
    EXPECT_EQ(v.AsInt64(), -42);
    EXPECT_TRUE(v == Variant(int64_t{-42}));
    EXPECT_FALSE(v.IsArray());
    EXPECT_EQ(v.AsString(), u"-42");
  }
}

TEST(Variant, ConversionsToInteger) {
  EXPECT_EQ(VarToInt64(Variant(int8_t{-5})), -5);
  EXPECT_EQ(VarToInt64(Variant(uint32_t{4000000000u})), 4000000000LL);
  EXPECT_EQ(VarToInt64(Variant(2.5)), 2);   // halves to even
  EXPECT_EQ(VarToInt64(Variant(3.5)), 4);
  EXPECT_EQ(VarToInt64(Variant(-2.5f)), -2);
  EXPECT_EQ(VarToInt64(VarFromCurrency(25000)), 2);  // 2.5
  EXPECT_EQ(VarToInt64(VarFromCurrency(-35000)), -4);
  EXPECT_EQ(VarToInt64(VarFromCurrency(12345)), 1);
  EXPECT_EQ(VarToInt64(Variant(true)), 1);
  EXPECT_EQ(VarToInt64(Variant()), 0);
  EXPECT_EQ(VarToInt64(Variant(u" 42 ")), 42);
  EXPECT_EQ(VarToInt64(Variant(u"7.5")), 8);
  EXPECT_EQ(Variant(int64_t{-9}).AsInt64(), -9);
  EXPECT_THROW(VarToInt64(Variant(u"abc")), EVariantError);
  EXPECT_THROW(VarToInt64(Null()), EVariantError);
  EXPECT_THROW(VarToInt64(Variant(std::nan(""))), EVariantError);
  EXPECT_THROW(VarToInt64(Variant(1e19)), EVariantError);
  EXPECT_THROW(VarToInt64(Variant(uint64_t{1} << 63)), EVariantError);
  EXPECT_THROW(VarToInt64(VarArrayOf({Variant(1)})), EVariantError);
  try {
    VarToInt64(Variant(u"abc"));
  } catch (const EVariantError& e) {
    EXPECT_EQ(e.Message(), u"Could not convert variant of type (UnicodeString) into type (Int64)");
  }
}

TEST(Variant, NarrowingChecksTheRange) {
  EXPECT_EQ(VarToInt32(Variant(int64_t{2147483647})), 2147483647);
  EXPECT_EQ(VarToInt32(Variant(int64_t{-2147483647 - 1})), INT32_MIN);
  EXPECT_THROW(VarToInt32(Variant(int64_t{2147483648})), EVariantError);
  EXPECT_THROW(VarToInt32(Variant(3e9)), EVariantError);
  EXPECT_THROW(Variant(uint32_t{4000000000u}).AsInt32(), EVariantError);
  EXPECT_EQ(VarAsType(Variant(300), varSmallint).VarType(), varSmallint);
  EXPECT_THROW(VarAsType(Variant(300), varByte), EVariantError);
  EXPECT_THROW(VarAsType(Variant(-1), varUInt64), EVariantError);
  // UInt64 takes the whole unsigned range, beyond the signed one.
  EXPECT_EQ(VarAsType(Variant(u"18446744073709551615"), varUInt64), Variant(UINT64_MAX));
  EXPECT_EQ(VarAsType(Variant(u"$FFFFFFFFFFFFFFFF"), varUInt64), Variant(UINT64_MAX));
  EXPECT_EQ(VarAsType(Variant(1e19), varUInt64), Variant(uint64_t{10000000000000000000u}));
  EXPECT_EQ(VarAsType(Variant(u"12"), varUInt64), Variant(uint64_t{12}));
  EXPECT_THROW(VarAsType(Variant(u"18446744073709551616"), varUInt64), EVariantError);
  EXPECT_THROW(VarAsType(Variant(u"-$1"), varUInt64), EVariantError);
  EXPECT_THROW(VarAsType(Variant(-0.6), varUInt64), EVariantError);
  EXPECT_THROW(VarAsType(Variant(1.9e19), varUInt64), EVariantError);
  EXPECT_THROW(VarAsType(Variant(1e300), varSingle), EVariantError);
  EXPECT_EQ(VarAsType(Variant(u"12"), varWord), Variant(uint16_t{12}));
  EXPECT_EQ(VarAsType(Variant(1.25), varCurrency), VarFromCurrency(12500));
}

TEST(Variant, ConversionsToDoubleAndBool) {
  EXPECT_EQ(VarToDouble(VarFromCurrency(12345)), 1.2345);
  EXPECT_EQ(VarToDouble(Variant(u"2.5e1")), 25);
  EXPECT_EQ(VarToDouble(Variant(uint64_t{1} << 63)), 9223372036854775808.0);
  EXPECT_EQ(VarToDouble(Variant(1.5f)), 1.5);
  EXPECT_THROW(VarToDouble(Variant(u"2,5")), EVariantError);
  EXPECT_THROW(VarToDouble(Null()), EVariantError);
  EXPECT_TRUE(VarToBool(Variant(-3)));
  EXPECT_FALSE(VarToBool(Variant(0.0)));
  EXPECT_TRUE(VarToBool(Variant(u"TRUE")));
  EXPECT_FALSE(VarToBool(Variant(u"false")));
  EXPECT_TRUE(VarToBool(Variant(u"2")));
  EXPECT_FALSE(VarToBool(Variant()));
  EXPECT_THROW(VarToBool(Variant(u"yes")), EVariantError);
  EXPECT_THROW(VarToBool(Null()), EVariantError);
}

TEST(Variant, DisplayText) {
  struct Case { Variant v; const char16_t* text; };
  const Case cases[] = {
      {Variant(), u""},                  {Null(), u""},
      {Variant(-42), u"-42"},            {Variant(uint64_t{18446744073709551615u}), u"18446744073709551615"},
      {Variant(0.1), u"0.1"},            {Variant(0.1f), u"0.1"},
      {Variant(1e20), u"1E20"},          {VarFromCurrency(125000), u"12.5"},
      {VarFromCurrency(-5), u"-0.0005"}, {VarFromCurrency(30000), u"3"},
      {Variant(true), u"True"},          {Variant(false), u"False"},
      {VarFromDateTime(EncodeDate(2024, 3, 5)), u"2024-03-05"},
      {VarFromDateTime(EncodeDate(2024, 3, 5) + 0.5), u"2024-03-05 12:00:00"},
      {VarFromAnsiString("caf\xE9"), u"café"},
      {VarFromAnsiString(u"\u0141x"), u"?x"},
      {Variant(u"text"), u"text"},
  };
  for (const Case& c : cases) EXPECT_EQ(VarToStr(c.v), c.text) << ToUtf8(c.text);
  EXPECT_THROW(VarToStr(VarArrayOf({})), EVariantError);
}

TEST(Variant, ArraysWithBoundsAndTypedElements) {
  Variant m = VarArrayCreate({1, 3, -1, 0}, varVariant);
  EXPECT_EQ(VarArrayDimCount(m), 2);
  EXPECT_EQ(VarArrayLowBound(m, 1), 1);
  EXPECT_EQ(VarArrayHighBound(m, 1), 3);
  EXPECT_EQ(VarArrayLowBound(m, 2), -1);
  EXPECT_EQ(VarArrayHighBound(m, 2), 0);
  EXPECT_THROW(VarArrayLowBound(m, 3), EVariantError);
  for (int i = 1; i <= 3; ++i) {
    for (int j = -1; j <= 0; ++j) VarArrayPut(m, Variant(i * 10 + j), {i, j});
  }
  for (int i = 1; i <= 3; ++i) {
    for (int j = -1; j <= 0; ++j) EXPECT_EQ(VarArrayGet(m, {i, j}).AsInt64(), i * 10 + j);
  }
  EXPECT_TRUE(VarArrayGet(VarArrayCreate({0, 1}, varVariant), {0}).IsEmpty());
  EXPECT_THROW(m.Get({4, 0}), EVariantError);
  EXPECT_THROW(m.Get({1}), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, 1, 2}, varVariant), EVariantError);
  EXPECT_THROW(VarArrayCreate({5, 3}, varVariant), EVariantError);
  EXPECT_THROW(VarArrayCreate({0, 1}, varNull), EVariantError);
  EXPECT_EQ(VarArrayHighBound(VarArrayCreate({0, -1}, varVariant), 1), -1);  // empty

  Variant typed = VarArrayCreate({0, 1}, varInteger);
  EXPECT_EQ(typed[0], Variant(int32_t{0}));
  typed.Put({1}, Variant(u"17"));
  EXPECT_EQ(typed[1], Variant(int32_t{17}));
  EXPECT_THROW(typed.Put({0}, Variant(int64_t{1} << 40)), EVariantError);
  // Text elements start empty, not as the text of zero.
  for (const TVarType t : {varUString, varString}) {
    const Variant texts = VarArrayCreate({0, 1}, t);
    EXPECT_EQ(texts[0].VarType(), t);
    EXPECT_EQ(texts[1].AsString(), u"");
  }
  EXPECT_FALSE(VarArrayCreate({0, 0}, varBoolean)[0].AsBool());
}

TEST(Variant, NestedArraysAndValueSemantics) {
  Variant rows = VarArrayCreate({0, 1}, varVariant);
  rows.Put({0}, VarArrayOf({Variant(1), Variant(2)}));
  rows.Put({1}, VarArrayOf({Variant(3), Variant(u"four")}));
  EXPECT_EQ(rows[1][1].AsString(), u"four");
  EXPECT_TRUE(rows[0].IsArray());

  Variant copy = rows;
  EXPECT_EQ(copy, rows);
  copy.Put({0}, Variant(0));
  EXPECT_TRUE(rows[0].IsArray());  // the original is untouched
  EXPECT_FALSE(copy == rows);

  Variant moved = std::move(copy);
  EXPECT_EQ(moved[0], Variant(0));
  EXPECT_FALSE(Variant(int32_t{1}) == Variant(1.0));
  EXPECT_TRUE(Variant(u"a") == Variant(String(u"a")));
  EXPECT_TRUE(Null() == Null());
  EXPECT_FALSE(Variant(std::nan("")) == Variant(std::nan("")));
}

}  // namespace
}  // namespace zel
