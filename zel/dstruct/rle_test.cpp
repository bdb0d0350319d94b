#include "zel/dstruct/rle.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace zel {
namespace {

using Bytes = std::vector<uint8_t>;

// Encodes `in` in pieces of `piece` bytes, collecting blocks as the calling
// protocol says, then the Finish tail.
Bytes EncodeAll(TRLEncoder& rle, const Bytes& in, size_t piece) {
  Bytes out, block(size_t(rle.BufLeng()));
  rle.Reset();
  for (size_t at = 0; at < in.size(); at += piece) {
    const size_t n = std::min(piece, in.size() - at);
    if (rle.Encode(in.data() + at, static_cast<int>(n))) {
      while (rle.Waiting() >= rle.BufLeng()) {
        rle.GetResult(block.data());
        out.insert(out.end(), block.begin(), block.end());
      }
    }
  }
  int n;
  do {
    n = rle.Finish(block.data());
    out.insert(out.end(), block.begin(), block.begin() + n);
  } while (n == rle.BufLeng());
  return out;
}

Bytes DecodeAll(TRLEncoder& rle, const Bytes& in) {
  Bytes out, block(size_t(rle.BufLeng()));
  rle.Reset();
  for (uint8_t b : in) {
    if (rle.Decode(b)) {
      while (rle.Waiting() >= rle.BufLeng()) {
        rle.GetResult(block.data());
        out.insert(out.end(), block.begin(), block.end());
      }
    }
  }
  int n;
  while ((n = rle.FlushResult(block.data())) > 0) out.insert(out.end(), block.begin(), block.begin() + n);
  return out;
}

// Data with runs of every length, lone 0xA5 bytes and runs of them.
Bytes RunnyData(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b;
  while (b.size() < n) {
    const uint8_t v = rng() % 4 == 0 ? 0xA5 : static_cast<uint8_t>(rng() % 6);
    const size_t len = rng() % 5 == 0 ? rng() % 600 : rng() % 4 + 1;
    b.insert(b.end(), std::min(len, n - b.size()), v);
  }
  return b;
}

TEST(Rle, EncodingExamples) {
  struct Case {
    Bytes in, out;
  };
  const Case cases[] = {
      {{'A', 'B', 'C'}, {0x41, 0x42, 0xA5, 0x01, 0x43}},
      {Bytes(5, 0x78), {0xA5, 0x05, 0x78}},
      {{0x11, 0x11, 0x22}, {0x11, 0x11, 0xA5, 0x01, 0x22}},
      {{0xA5, 0x00}, {0xA5, 0x01, 0xA5, 0xA5, 0x01, 0x00}},
      {Bytes(300, 0x07), {0xA5, 0xFF, 0x07, 0xA5, 0x2D, 0x07}},
      {Bytes(255, 0x07), {0xA5, 0xFF, 0x07, 0xA5, 0x00, 0x07}},
      {{}, {0xA5, 0x00, 0x00}},
  };
  TRLEncoder rle(nullptr);
  for (const auto& c : cases) EXPECT_EQ(EncodeAll(rle, c.in, 1000), c.out);
}

TEST(Rle, FinishOnAFreshEncoderDecodesToNothing) {
  TRLEncoder rle(nullptr);
  uint8_t out[256];
  ASSERT_EQ(rle.Finish(out), 3);
  EXPECT_TRUE(DecodeAll(rle, Bytes(out, out + 3)).empty());
}

TEST(Rle, RepeatedFinishHandsOutTheRestWithoutNewTriples) {
  // With a block of 3 bytes, a triple per Finish call would keep the
  // protocol's Finish loop running for ever.
  TRLEncoder rle(nullptr);
  rle.SetBufLeng(3);
  rle.Reset();
  rle.Encode(Bytes{'A', 'B', 'C'}.data(), 3);
  uint8_t out[3];
  ASSERT_EQ(rle.Finish(out), 3);
  EXPECT_EQ(Bytes(out, out + 3), (Bytes{0x41, 0x42, 0xA5}));
  ASSERT_EQ(rle.Finish(out), 2);
  EXPECT_EQ(Bytes(out, out + 2), (Bytes{0x01, 0x43}));
  EXPECT_EQ(rle.Finish(out), 0);
}

TEST(Rle, RoundTripsForAnyBlockLengthAndPieceSize) {
  const Bytes data = RunnyData(20000, 1);
  TRLEncoder rle(nullptr);
  // Block lengths below 85 and pieces beyond BufLeng were overflows the
  // caller had to avoid; the buffer now grows instead.
  for (int buf_leng : {1, 2, 3, 84, 256, 4096}) {
    rle.SetBufLeng(buf_leng);
    for (size_t piece : {size_t{1}, size_t{7}, size_t{256}, data.size()}) {
      const Bytes enc = EncodeAll(rle, data, piece);
      ASSERT_EQ(DecodeAll(rle, enc), data) << buf_leng << " " << piece;
    }
  }
}

TEST(Rle, BlocksAreHandedOutWholeAndGetResultLeavesShortBuffersAlone) {
  TRLEncoder rle(nullptr);
  rle.SetBufLeng(4);
  Bytes block(4, 0xEE);
  EXPECT_FALSE(rle.Encode(Bytes{1, 2, 3}.data(), 3));  // 1 and 2 written, 3 pending
  rle.GetResult(block.data());
  EXPECT_EQ(block, Bytes(4, 0xEE));
  EXPECT_EQ(rle.Waiting(), 2);
  EXPECT_TRUE(rle.Encode(Bytes{4, 5}.data(), 2));  // 3 and 4 written
  rle.GetResult(block.data());
  EXPECT_EQ(block, (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(rle.Waiting(), 0);
}

TEST(Rle, DecodeTakesTheLastIncompleteBlockWithoutAdditions) {
  TRLEncoder rle(nullptr);
  rle.Reset();
  for (uint8_t b : {0x41, 0xA5, 0x03, 0x42, 0x43}) EXPECT_FALSE(rle.Decode(b));
  uint8_t out[256];
  EXPECT_EQ(rle.FlushResult(out), 5);
  EXPECT_EQ(Bytes(out, out + 5), (Bytes{0x41, 0x42, 0x42, 0x42, 0x43}));
  EXPECT_EQ(rle.FlushResult(out), 0);
  rle.Decode(0xA5);
  EXPECT_EQ(rle.DecodeSt(), rlLeadin);  // a cut triple shows in the state
}

TEST(Rle, SetBufLengKeepsWaitingBytes) {
  TRLEncoder rle(nullptr);
  rle.Reset();
  rle.Encode(Bytes{9, 8, 7, 6, 5, 4}.data(), 6);  // five bytes waiting, 4 pending
  rle.SetBufLeng(2);
  uint8_t out[8];
  rle.GetResult(out);
  EXPECT_EQ(Bytes(out, out + 2), (Bytes{9, 8}));
  rle.SetBufLeng(0);  // ignored
  EXPECT_EQ(rle.BufLeng(), 2);
}

}  // namespace
}  // namespace zel
