#include "zel/dstruct/fifo.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(Fifo, HoldsSizeMinusOneBytes) {
  TFifo f(nullptr);
  EXPECT_EQ(f.Size(), 256);
  for (int i = 0; i < 255; ++i) ASSERT_TRUE(f.PutByte(static_cast<uint8_t>(i)));
  EXPECT_FALSE(f.PutByte(99));
  EXPECT_EQ(f.CountBytes(), 255);
  EXPECT_FALSE(f.LoadBack(7));
  uint8_t b = 0;
  EXPECT_TRUE(f.ForceByte(200));  // drops 0
  EXPECT_TRUE(f.GetByte(b));
  EXPECT_EQ(b, 1);
  EXPECT_FALSE(f.ForceByte(201));  // not full any more
  EXPECT_EQ(f.CountBytes(), 255);
}

TEST(Fifo, OrderAcrossTheWrapAndPeeking) {
  TFifo f(nullptr);
  uint8_t b = 0;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(f.PutByte(static_cast<uint8_t>(i + round)));
    ASSERT_TRUE(f.SenseByte(0, b));
    EXPECT_EQ(b, round);
    ASSERT_TRUE(f.SenseByte(199, b));
    EXPECT_EQ(b, static_cast<uint8_t>(199 + round));
    EXPECT_FALSE(f.SenseByte(200, b));
    EXPECT_FALSE(f.SenseByte(-1, b));
    for (int i = 0; i < 200; ++i) {
      ASSERT_TRUE(f.GetByte(b));
      EXPECT_EQ(b, static_cast<uint8_t>(i + round));
    }
    EXPECT_FALSE(f.GetByte(b));
  }
  EXPECT_TRUE(f.LoadBack(7));
  EXPECT_TRUE(f.PutByte(8));
  EXPECT_TRUE(f.GetByte(b));
  EXPECT_EQ(b, 7);
  f.Clear();
  EXPECT_EQ(f.CountBytes(), 0);
}

TEST(Fifo, ResizeKeepsHeldBytesInOrder) {
  TFifo f(nullptr);
  // Put the content across the wrap first.
  for (int i = 0; i < 250; ++i) f.PutByte(0);
  uint8_t b;
  for (int i = 0; i < 250; ++i) f.GetByte(b);
  for (int i = 1; i <= 10; ++i) f.PutByte(static_cast<uint8_t>(i));
  f.SetSize(64);
  EXPECT_EQ(f.CountBytes(), 10);
  for (int i = 1; i <= 10; ++i) {
    ASSERT_TRUE(f.GetByte(b));
    EXPECT_EQ(b, i);
  }
  for (int i = 1; i <= 10; ++i) f.PutByte(static_cast<uint8_t>(i));
  f.SetSize(5);  // room for 4: the oldest stay
  EXPECT_EQ(f.CountBytes(), 4);
  for (int i = 1; i <= 4; ++i) {
    ASSERT_TRUE(f.GetByte(b));
    EXPECT_EQ(b, i);
  }
  f.SetSize(0);
  EXPECT_EQ(f.Size(), 5);
}

}  // namespace
}  // namespace zel
