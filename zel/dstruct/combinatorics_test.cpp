#include "zel/dstruct/combinatorics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <vector>

namespace zel {
namespace {

TCombination Make(std::initializer_list<int> values) {
  TCombination c{};
  c[0] = static_cast<uint8_t>(values.size());
  int i = 1;
  for (int v : values) c[static_cast<size_t>(i++)] = static_cast<uint8_t>(v);
  return c;
}

std::vector<int> Values(const TCombination& c) {
  return std::vector<int>(c.begin() + 1, c.begin() + 1 + c[0]);
}

TEST(Combinatorics, PermutationsOfThreeInTheLibrarysOrder) {
  TCombination p = Make({1, 2, 3});
  std::vector<std::vector<int>> seen{Values(p)};
  while (NextPermutation(p)) seen.push_back(Values(p));
  EXPECT_EQ(seen, (std::vector<std::vector<int>>{
                      {1, 2, 3}, {2, 1, 3}, {2, 3, 1}, {1, 3, 2}, {3, 1, 2}, {3, 2, 1}}));
  EXPECT_EQ(Values(p), (std::vector<int>{3, 2, 1}));  // unchanged by the last call
  TCombination one = Make({1});
  EXPECT_FALSE(NextPermutation(one));
}

TEST(Combinatorics, PermutationsVisitEachOrderOnce) {
  for (int n = 1; n <= 6; ++n) {
    TCombination p{};
    p[0] = static_cast<uint8_t>(n);
    for (int i = 1; i <= n; ++i) p[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    std::set<std::vector<int>> seen{Values(p)};
    int count = 1;
    while (NextPermutation(p)) {
      seen.insert(Values(p));
      ++count;
    }
    int factorial = 1;
    for (int i = 2; i <= n; ++i) factorial *= i;
    EXPECT_EQ(count, factorial) << n;
    EXPECT_EQ(static_cast<int>(seen.size()), factorial) << n;
  }
}

TEST(Combinatorics, CombinationsInLexicographicOrder) {
  TCombination c = Make({1, 2});
  std::vector<std::vector<int>> seen{Values(c)};
  while (NextCombination(c, 4)) seen.push_back(Values(c));
  EXPECT_EQ(seen, (std::vector<std::vector<int>>{{1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}}));
  EXPECT_EQ(Values(c), (std::vector<int>{3, 4}));
  TCombination full = Make({1, 2, 3});
  EXPECT_FALSE(NextCombination(full, 3));
  // Values are bytes: the sequence ends at 255 however large MaxNum is.
  TCombination top = Make({254});
  EXPECT_TRUE(NextCombination(top, 100000));
  EXPECT_EQ(top[1], 255);
  EXPECT_FALSE(NextCombination(top, 100000));
  EXPECT_EQ(top[1], 255);
}

TEST(Combinatorics, NearestValue) {
  const double v[] = {1, 2, 3};
  EXPECT_EQ(IndexOfNearestArrayValue(2.5, v), 1);
  EXPECT_EQ(IndexOfNearestArrayValue(10.0, std::span<const double>()), -1);
  const double fives[] = {5, 5};
  EXPECT_EQ(IndexOfNearestArrayValue(-1.0, fives), 0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double with_nan[] = {4, nan, 9, nan};
  EXPECT_EQ(IndexOfNearestArrayValue(8.0, with_nan), 2);
  EXPECT_EQ(IndexOfNearestArrayValue(nan, with_nan), -1);
  const double huge[] = {-1.7e308};
  EXPECT_EQ(IndexOfNearestArrayValue(1e300, huge), -1);  // 1.7E308 or more never counts
  const int32_t ints[] = {-2000000000, 0};
  EXPECT_EQ(IndexOfNearestArrayValue(int32_t{2000000000}, ints), 1);
  const int32_t extremes[] = {INT32_MIN, INT32_MAX};
  EXPECT_EQ(IndexOfNearestArrayValue(int32_t{-1}, extremes), 0);
}

}  // namespace
}  // namespace zel
