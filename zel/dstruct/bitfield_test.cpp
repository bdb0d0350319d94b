#include "zel/dstruct/bitfield.h"

#include <gtest/gtest.h>

#include "zel/platform/random.h"

namespace zel {
namespace {

TEST(BitFld, HoldsSizePlusOneBits) {
  TBitFld b(nullptr);
  EXPECT_EQ(b.Size(), 1000);
  EXPECT_EQ(b.Bytes().size(), 1000u / 8 + 2);
  EXPECT_EQ(b.FirstTrueBit(), -1);
  b.SetBit(1000, true);
  b.SetBit(1001, true);
  b.SetBit(-1, true);
  EXPECT_EQ(b.CountTrueBits(), 1);
  EXPECT_EQ(b.FirstTrueBit(), 1000);
  EXPECT_TRUE(b.GetBit(1000));
  EXPECT_FALSE(b.GetBit(1001));
  b.ToggleBit(1000);
  b.ToggleBit(5);
  EXPECT_EQ(b.FirstTrueBit(), 5);
  EXPECT_EQ(b.Bytes()[0], 1u << 5);  // bit i is bit i mod 8 of byte i div 8
}

TEST(BitFld, InvertAndListStayWithinSize) {
  TBitFld b(nullptr);
  b.SetSize(7);
  TIntArray list;
  b.MakeListOfBits(list, false);
  EXPECT_EQ(list, (TIntArray{0, 1, 2, 3, 4, 5, 6, 7}));
  b.Invert();
  EXPECT_EQ(b.CountTrueBits(), 8);
  b.SetSize(20);  // the storage bits beyond the old size stay clear
  EXPECT_EQ(b.CountTrueBits(), 8);
  b.SetBit(3, false);
  b.MakeListOfBits(list, true);
  EXPECT_EQ(list, (TIntArray{0, 1, 2, 4, 5, 6, 7}));
}

TEST(BitFld, ShrinkingClearsBitsThatCouldReappear) {
  TBitFld b(nullptr);
  b.SetSize(20);
  b.SetBit(18, true);
  b.SetBit(2, true);
  b.SetSize(10);
  EXPECT_EQ(b.CountTrueBits(), 1);
  b.SetSize(20);
  EXPECT_FALSE(b.GetBit(18));
  EXPECT_EQ(b.CountTrueBits(), 1);
  b.SetSize(0);   // ignored
  b.SetSize(-3);  // ignored
  EXPECT_EQ(b.Size(), 20);
}

TEST(BitFld, CombineWithEveryOperation) {
  // Bits 0..3 of a = 0011, of b = 0101 (bit 0 first).
  struct Case {
    TLogicOp op;
    bool expect[4];
  } cases[] = {
      {loAND, {false, false, false, true}},  {loOR, {false, true, true, true}},
      {loXOR, {false, true, true, false}},   {loANDNot, {false, false, true, false}},
      {loORNot, {true, false, true, true}},  {loXORNot, {true, false, false, true}},
  };
  for (const auto& c : cases) {
    TBitFld a(nullptr), b(nullptr);
    a.SetSize(3);
    b.SetSize(3);
    a.SetBit(2, true);
    a.SetBit(3, true);
    b.SetBit(1, true);
    b.SetBit(3, true);
    a.CombineWith(b, c.op);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(a.GetBit(i), c.expect[i]) << int(c.op) << " bit " << i;
    EXPECT_LE(a.CountTrueBits(), 4);  // nothing set above Size
  }
  TBitFld a(nullptr), other(nullptr);
  a.SetBit(1, true);
  other.SetSize(999);
  a.CombineWith(other, loAND);  // different sizes: nothing
  EXPECT_TRUE(a.GetBit(1));
}

TEST(BitFld, RandomFillGivesExactCounts) {
  SetRandSeed(1234);
  TBitFld b(nullptr);
  for (int n : {0, 1, 10, 499, 500, 501, 990, 1000}) {
    b.RandomFill(n);
    EXPECT_EQ(b.CountTrueBits(), n) << n;
  }
  b.RandomFill(-5);
  EXPECT_EQ(b.CountTrueBits(), 0);
  b.RandomFill(5000);
  EXPECT_EQ(b.CountTrueBits(), 1000);
  b.RandomFill(50.0);
  EXPECT_EQ(b.CountTrueBits(), 500);
  b.RandomFill(0.25);  // 2.5 bits: halves to even
  EXPECT_EQ(b.CountTrueBits(), 2);
  b.RandomFill(250.0);
  EXPECT_EQ(b.CountTrueBits(), 1000);
}

TEST(BitFld, CloneAndAssignCopySizeAndBits) {
  TBitFld a(nullptr), b(nullptr);
  a.SetSize(77);
  a.SetBit(77, true);
  b.Clone(&a);
  EXPECT_EQ(b.Size(), 77);
  EXPECT_TRUE(b.GetBit(77));
  b.Clone(nullptr);
  EXPECT_EQ(b.Size(), 77);
  TBitFld c(nullptr);
  c.Assign(&a);
  EXPECT_EQ(c.Bytes(), a.Bytes());
}

}  // namespace
}  // namespace zel
