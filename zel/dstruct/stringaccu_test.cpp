#include "zel/dstruct/stringaccu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zel {
namespace {

TEST(StringAccu, CountsInOrderOfFirstAppearance) {
  TStringAccu a(nullptr);
  for (const Char* s : {u"b", u"a", u"b", u"B"}) a.Add(s);
  ASSERT_EQ(a.Size(), 3);
  EXPECT_EQ(a.Elem(1), u"b");
  EXPECT_EQ(a.Count(1), 2);
  EXPECT_EQ(a.Elem(2), u"a");
  EXPECT_EQ(a.Count(2), 1);
  EXPECT_EQ(a.Elem(3), u"B");
  EXPECT_EQ(a.Count(3), 1);
  EXPECT_EQ(a.Elem(0), u"");
  EXPECT_EQ(a.Count(4), 0);
  a.Add(u"");
  EXPECT_EQ(a.Elem(4), u"");
  EXPECT_EQ(a.Count(4), 1);
  a.Clear();
  EXPECT_EQ(a.Size(), 0);
  a.Add(u"a");
  EXPECT_EQ(a.Count(1), 1);
}

TEST(StringAccu, ManyStringsAgreeWithAMap) {
  // Enough strings to grow the index several times.
  TStringAccu a(nullptr);
  std::map<String, int> counts;
  std::vector<String> order;
  uint32_t x = 12345;
  for (int i = 0; i < 20000; ++i) {
    x = x * 1103515245u + 12345u;
    const String s = FromUtf8(std::to_string((x >> 8) % 3000));
    if (counts[s]++ == 0) order.push_back(s);
    a.Add(s);
  }
  ASSERT_EQ(a.Size(), static_cast<int>(order.size()));
  for (int i = 1; i <= a.Size(); ++i) {
    EXPECT_EQ(a.Elem(i), order[static_cast<size_t>(i - 1)]);
    EXPECT_EQ(a.Count(i), counts[order[static_cast<size_t>(i - 1)]]);
  }
  // By key, and by count: a stable sort of the first-appearance order.
  for (const auto& [s, n] : counts) ASSERT_EQ(a.CountOf(s), n) << ToUtf8(s);
  EXPECT_EQ(a.CountOf(u"3000"), 0);
  std::vector<std::pair<String, int32_t>> want;
  for (const String& s : order) want.emplace_back(s, counts[s]);
  std::stable_sort(want.begin(), want.end(), [](const auto& x, const auto& y) { return x.second > y.second; });
  EXPECT_TRUE(a.ByCount() == want);
  for (size_t limit : {size_t{0}, size_t{1}, size_t{25}, want.size() + 1}) {
    const auto top = a.ByCount(limit);
    EXPECT_TRUE(top == std::vector(want.begin(), want.begin() + static_cast<std::ptrdiff_t>(std::min(limit, want.size()))))
        << limit;
  }
}

TEST(StringAccu, CountOfAndByCount) {
  TStringAccu a(nullptr);
  for (const Char* s : {u"a", u"b", u"c", u"b", u"c", u"B", u"d", u"c"}) a.Add(s);
  EXPECT_EQ(a.CountOf(u"c"), 3);
  EXPECT_EQ(a.CountOf(u"b"), 2);
  EXPECT_EQ(a.CountOf(u"B"), 1);  // case-sensitive, like Add
  EXPECT_EQ(a.CountOf(u"x"), 0);
  const std::vector<std::pair<String, int32_t>> want = {{u"c", 3}, {u"b", 2}, {u"a", 1}, {u"B", 1}, {u"d", 1}};
  EXPECT_TRUE(a.ByCount() == want);  // ties in order of first appearance
  EXPECT_TRUE(a.ByCount(2) == std::vector(want.begin(), want.begin() + 2));
  a.Clear();
  EXPECT_TRUE(a.ByCount().empty());
  EXPECT_EQ(a.CountOf(u"c"), 0);
}

}  // namespace
}  // namespace zel
