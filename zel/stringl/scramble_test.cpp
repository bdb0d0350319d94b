#include "zel/stringl/scramble.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "zel/platform/random.h"

namespace zel {
namespace {

String AllCodes() {
  String s;
  for (int c = 0; c <= 255; ++c) s += static_cast<Char>(c);
  return s;
}

TEST(Scramble, EverySeedGivesAPermutationOf1To255) {
  for (int32_t seed : {5261, 0, 1, -7, 123456789}) {
    InitScramble(seed);
    const String s = Scramble(AllCodes());
    ASSERT_EQ(s.size(), 256u);
    EXPECT_EQ(s[0], 0) << seed;
    std::set<Char> seen(s.begin() + 1, s.end());
    EXPECT_EQ(seen.size(), 255u) << seed;
    EXPECT_EQ(*seen.begin(), 1) << seed;
    EXPECT_EQ(*seen.rbegin(), 255) << seed;
    EXPECT_NE(s, AllCodes()) << seed;
    EXPECT_EQ(DeScramble(s), AllCodes()) << seed;
    EXPECT_EQ(Scramble(DeScramble(AllCodes())), AllCodes()) << seed;
  }
  InitScramble(5261);
}

TEST(Scramble, SameSeedSameTextAndOtherCharactersPass) {
  InitScramble(99);
  const String a = Scramble(u"Hello, world");
  InitScramble(5261);
  EXPECT_NE(Scramble(u"Hello, world"), a);
  InitScramble(99);
  EXPECT_EQ(Scramble(u"Hello, world"), a);
  EXPECT_EQ(RandSeed(), 99u);  // the platform generator carries the seed
  EXPECT_EQ(Scramble(u""), u"");
  // Characters above 255 pass unchanged, both ways.
  const String wide = u"x\u20acy\u0100\uffff";
  const String s = Scramble(wide);
  EXPECT_EQ(s[1], u'\u20ac');
  EXPECT_EQ(s[3], u'\u0100');
  EXPECT_EQ(s[4], u'\uffff');
  EXPECT_EQ(DeScramble(s), wide);
  InitScramble(5261);
}

// The permutation is the one drawn from the shared generator after seeding
// it, and stays so while another thread draws from that generator.
TEST(Scramble, PermutationDependsOnTheSeedAlone) {
  SetRandSeed(42);
  String expected(256, u'\0');
  bool taken[256] = {};
  for (int i = 1; i <= 255; ++i) {
    int r;
    do {
      r = Random(255) + 1;
    } while (taken[r]);
    taken[r] = true;
    expected[static_cast<size_t>(i)] = static_cast<Char>(r);
  }
  std::atomic<bool> stop{false};
  std::thread drawer([&] {
    while (!stop) Random(1000);
  });
  for (int trial = 0; trial < 50; ++trial) {
    InitScramble(42);
    ASSERT_EQ(Scramble(AllCodes()), expected) << "trial " << trial;
  }
  stop = true;
  drawer.join();
  InitScramble(5261);
}

}  // namespace
}  // namespace zel
