#include "zel/platform/filename.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace zel {
namespace {

TEST(FileName, NamesComeBackAsTheSameBytes) {
  const std::string cases[] = {
      "plain.txt",
      "caf\xC3\xA9.txt",             // UTF-8 "café.txt"
      "caf\xE9.txt",                 // Latin-1 "café.txt": not UTF-8
      "\xF0\x9F\x98\x80 smile",      // a character beyond U+FFFF
      "\xED\xA0\x80",                // an encoded surrogate is not UTF-8
      "\xC0\xAF",                    // overlong "/"
      "\xC3",                        // a sequence cut short
      "\xE2\x82",                    // the same, three bytes long
      "\xFF\xFE\x80\xBF",
  };
  for (const std::string& bytes : cases) {
    EXPECT_EQ(FileNameToBytes(FileNameFromBytes(bytes)), bytes) << bytes;
  }
}

TEST(FileName, EveryShortByteStringRoundTrips) {
  std::mt19937 gen(7);
  for (int n = 0; n < 20000; ++n) {
    std::string bytes(1 + gen() % 6, '\0');
    for (char& b : bytes) b = static_cast<char>(1 + gen() % 255);
    ASSERT_EQ(FileNameToBytes(FileNameFromBytes(bytes)), bytes);
  }
}

TEST(FileName, InvalidBytesAreNeverTheirWindows1252Characters) {
  // "old\xE9" and "oldé" are two files; their names must stay two names.
  const String latin = FileNameFromBytes("old\xE9");
  const String utf8 = FileNameFromBytes("old\xC3\xA9");
  EXPECT_EQ(latin, String(u"old\xDCE9"));
  EXPECT_EQ(utf8, String(u"old\u00E9"));
  EXPECT_NE(latin, utf8);
  EXPECT_TRUE(HasEscapedBytes(latin));
  EXPECT_FALSE(HasEscapedBytes(utf8));
}

TEST(FileName, TextThatDidNotComeFromTheSystem) {
  EXPECT_EQ(FileNameToBytes(u"Gr\u00FC\u00DFe"), "Gr\xC3\xBC\xC3\x9F" "e");
  // A high surrogate alone, or a low one outside the byte range, is no
  // byte: it becomes U+FFFD as in any UTF-8 output.
  EXPECT_EQ(FileNameToBytes(u"a\xD800" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(FileNameToBytes(u"\xDC10"), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace zel
