#include "zel/dstruct/stringaccu.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

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
}

}  // namespace
}  // namespace zel
