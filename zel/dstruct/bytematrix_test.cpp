#include "zel/dstruct/bytematrix.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

struct Counted {
  TByteMatrix m{nullptr};
  int changes = 0;
  Counted() {
    m.SetOnChange([this](TObject*) { ++changes; });
  }
};

TEST(ByteMatrix, OutsideReadsDefaultAndWritesNothing) {
  Counted c;
  TByteMatrix& m = c.m;
  EXPECT_EQ(m.NrOfColumns(), 1);
  EXPECT_EQ(m.GetByte(1, 1), 0);
  m.SetDefaultValue(0xA5);
  EXPECT_EQ(m.GetByte(0, 1), 0xA5);
  EXPECT_EQ(m.GetByte(1, 2), 0xA5);
  EXPECT_TRUE(m.GetBit(2, 1, 0));  // a bit of DefaultValue
  EXPECT_FALSE(m.GetBit(2, 1, 1));
  EXPECT_FALSE(m.GetBit(1, 1, 8));
  m.SetByte(2, 1, 7);
  m.SetBit(1, 1, 8, true);
  m.ToggleBit(1, 1, -1);
  EXPECT_EQ(c.changes, 0);
  m.SetBit(1, 1, 7, true);
  m.ToggleBit(1, 1, 0);
  EXPECT_EQ(m.GetByte(1, 1), 0x81);
  EXPECT_EQ(c.changes, 2);
}

TEST(ByteMatrix, ResizeKeepsBytesAndAddsZeros) {
  Counted c;
  TByteMatrix& m = c.m;
  m.SetDefaultValue(255);
  ASSERT_TRUE(m.Resize(2, 2));
  m.SetByte(1, 1, 11);
  m.SetByte(1, 2, 12);
  m.SetByte(2, 1, 21);
  m.SetByte(2, 2, 22);
  ASSERT_TRUE(m.Resize(3, 3));
  EXPECT_EQ(m.GetByte(1, 1), 11);
  EXPECT_EQ(m.GetByte(1, 2), 12);
  EXPECT_EQ(m.GetByte(2, 1), 21);
  EXPECT_EQ(m.GetByte(2, 2), 22);
  EXPECT_EQ(m.GetByte(3, 3), 0);
  EXPECT_EQ(m.GetByte(1, 3), 0);
  c.changes = 0;
  EXPECT_FALSE(m.Resize(3, 3));
  EXPECT_FALSE(m.Resize(0, 3));
  EXPECT_EQ(c.changes, 0);
  m.SetNrCols(0);
  EXPECT_EQ(m.NrOfColumns(), 1);
  EXPECT_EQ(m.GetByte(1, 2), 12);
  m.SetNrRows(-4);
  EXPECT_EQ(m.NrOfRows(), 1);
}

TEST(ByteMatrix, MirrorFillCombine) {
  TByteMatrix m(nullptr);
  ASSERT_TRUE(m.Resize(1, 3));
  for (int r = 1; r <= 3; ++r) m.SetByte(1, r, static_cast<uint8_t>(r));
  m.MirrorRows();
  EXPECT_EQ(m.GetByte(1, 1), 3);
  EXPECT_EQ(m.GetByte(1, 3), 1);
  ASSERT_TRUE(m.Resize(3, 2));
  m.SetByte(1, 2, 9);
  m.SetByte(3, 1, 7);
  m.MirrorColumns();
  EXPECT_EQ(m.GetByte(3, 2), 9);
  EXPECT_EQ(m.GetByte(1, 1), 7);
  EXPECT_EQ(m.GetByte(2, 1), 0);

  TByteMatrix a(nullptr), b(nullptr);
  ASSERT_TRUE(a.Resize(2, 2));
  ASSERT_TRUE(b.Resize(2, 2));
  a.Fill(0x0F);
  b.Fill(0x3C);
  int changes = 0;
  a.SetOnChange([&](TObject*) { ++changes; });
  a.CombineWith(b, loXORNot);
  EXPECT_EQ(a.GetByte(2, 2), static_cast<uint8_t>(0x0F ^ ~0x3C));
  EXPECT_EQ(changes, 0);
  ASSERT_TRUE(b.Resize(2, 3));
  a.CombineWith(b, loAND);  // different size: nothing
  EXPECT_EQ(a.GetByte(1, 1), static_cast<uint8_t>(0x0F ^ ~0x3C));
}

TEST(ByteMatrix, AssignCopiesEverythingWithoutNotifying) {
  TByteMatrix a(nullptr), b(nullptr);
  int a_changes = 0, b_changes = 0;
  a.SetOnChange([&](TObject*) { ++a_changes; });
  b.SetOnChange([&](TObject*) { ++b_changes; });
  ASSERT_TRUE(a.Resize(2, 3));
  a.SetByte(2, 3, 5);
  a.SetDefaultValue(9);
  a_changes = 0;
  b.Assign(&a);
  EXPECT_EQ(b.NrOfColumns(), 2);
  EXPECT_EQ(b.NrOfRows(), 3);
  EXPECT_EQ(b.GetByte(2, 3), 5);
  EXPECT_EQ(b.DefaultValue(), 9);
  EXPECT_EQ(b_changes, 0);
  b.SetByte(1, 1, 1);  // the handler came along from a
  EXPECT_EQ(a_changes, 1);
  EXPECT_EQ(b_changes, 0);
}

}  // namespace
}  // namespace zel
