// The key index's comparison of key bytes (zel/dstruct/internal/keyindex.h),
// whose short-key path reads overlapping words.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "zel/dstruct/internal/keyindex.h"

namespace zel::detail {
namespace {

TEST(KeyIndex, SameBytesSeesADifferenceAtEveryPositionOfEveryLength) {
  for (size_t n = 0; n <= 40; ++n) {
    // Each side at its own allocation with nothing after it, so that a read
    // past the end shows under the address sanitizer.
    std::vector<unsigned char> a(n), b(n);
    for (size_t i = 0; i < n; ++i) a[i] = b[i] = static_cast<unsigned char>(i * 37 + 11);
    EXPECT_TRUE(SameBytes(a.data(), b.data(), n)) << n;
    for (size_t at = 0; at < n; ++at) {
      for (const unsigned char flip : {0x01, 0x80}) {
        b[at] ^= flip;
        EXPECT_FALSE(SameBytes(a.data(), b.data(), n)) << "length " << n << ", byte " << at;
        b[at] ^= flip;
      }
    }
  }
}

TEST(KeyIndex, SameKeyComparesLengthThenText) {
  // Keys as the containers hold them (strings, not literals).
  const String word = u"word9999", shorter = u"word999", capital = u"Word9999";
  EXPECT_TRUE(SameKey(word, String(word), false));
  EXPECT_FALSE(SameKey(word, shorter, false));
  EXPECT_FALSE(SameKey(word, capital, false));
  EXPECT_TRUE(SameKey(word, capital, true));
  EXPECT_TRUE(SameKey(String(), String(), false));
  // A difference in the high byte of a code unit.
  EXPECT_FALSE(SameKey(String(u"\u0161"), String(u"a"), false));
}

TEST(KeyIndex, EqualKeysUnderTheRuleHashAlike) {
  EXPECT_EQ(HashKey(u"Word9999", true), HashKey(u"word9999", true));
  EXPECT_EQ(HashKey(u"Word9999", false), HashKey(u"Word9999", false));
  // Keys that differ only by trailing code 0 units hash apart.
  EXPECT_NE(HashKey(StringView(u"ab\0", 3), false), HashKey(u"ab", false));
}

}  // namespace
}  // namespace zel::detail
