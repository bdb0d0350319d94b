#include "zel/stringl/hexescape.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(ProcessHexChars, EscapesAndWhatStays) {
  const struct { const char16_t* in; String out; } cases[] = {
      {u"a\\#41b", u"aAb"},
      {u"\\#41\\#42", u"AB"},
      {u"\\#ff", u"\u00ff"},                   // either case, up to 255
      {u"x\\\\y", u"x\\y"},                    // two backslashes give one
      {u"\\\\#41", u"\\#41"},                  // ... and the result is not rescanned
      {u"\\\\\\\\", u"\\\\"},
      {u"\\n", u"\\n"},                        // other escapes stay
      {u"a\\", u"a\\"},                        // a last backslash stays
      {u"\\#4x!", String(u"\x04") + u"!"},    // code read up to the non-digit
      {u"\\#zz", String(1, u'\0')},           // no digit: code 0
      {u"\\#$4", String(u"\x04")},            // '$' first in the digit pair is skipped
      {u"\\# 4", String(u"\x04")},            // so is a leading blank
      {u"\\#4", String(u"\x04")},             // at the end: what is there
      {u"\\#", String(1, u'\0')},
      {u"", u""},
      {u"\\#123", u"\u00123"},                // only two digits belong to the escape
  };
  for (const auto& c : cases) EXPECT_EQ(ProcessHexChars(c.in), c.out) << ToUtf8(c.in);
}

}  // namespace
}  // namespace zel
