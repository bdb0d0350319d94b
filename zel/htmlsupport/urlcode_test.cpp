#include "zel/htmlsupport/urlcode.h"

#include <gtest/gtest.h>

namespace zel {
namespace {

TEST(ExtractHTTPPath, DropsSchemeAndLastSegment) {
  const struct {
    StringView url;
    StringView want;
  } cases[] = {
      {u"http://host/dir/page.htm", u"host/dir/"},
      {u"HTTP://a/b/c", u"a/b/"},
      {u"HtTp://a/b/", u"a/b/"},
      {u"a/b", u"a/"},
      {u"", u""},
      // No '/' after the scheme: the address without its scheme.
      {u"http://host", u"host"},
      {u"host", u"host"},
      {u"http://", u""},
      // Everything up to the first "http://" goes, wherever it stands.
      {u"go?to=http://y/z/w", u"y/z/"},
      {u"http://a/http://b/c", u"a/http://b/"},
      // Only "http://" is taken for a scheme.
      {u"https://h/d/p", u"https://h/d/"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractHTTPPath(c.url), c.want) << ToUtf8(c.url);
  }
}

TEST(URLEncode, EncodesTheReservedCharactersOnly) {
  EXPECT_EQ(URLEncode(u"a b&c"), u"a%20b%26c");
  EXPECT_EQ(URLEncode(u"!*'();:@&=+$,/?%#[] "),
            u"%21%2A%27%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D%20");
  const String kept = u"AZaz09-_.~\"<>\\^`{|}\t\r\n\u00fc\u20ac";
  EXPECT_EQ(URLEncode(kept), kept);
  EXPECT_EQ(URLEncode(u""), u"");
}

TEST(URLDecode, DecodesEscapesTwice) {
  const struct {
    StringView in;
    StringView want;
  } cases[] = {
      {u"a%20b%26c", u"a b&c"},
      {u"%2541", u"A"},        // the second pass decodes what the first made
      {u"%252541", u"%41"},    // but there is no third
      {u"%4a%4A", u"JJ"},
      {u"%FC%fc", u"\u00fc\u00fc"},
      {u"%zz", u"%zz"},
      {u"ab%4", u"ab%4"},
      {u"%", u"%"},
      {u"%%41", u"%A"},
      {u"a+b", u"a+b"},
      {u"%00", StringView(u"\0", 1)},
      {u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(URLDecode(c.in), c.want) << ToUtf8(c.in);
  }
}

TEST(URLDecode, UndoesURLEncodeForTextWithoutPercent) {
  String all;
  for (int c = 1; c < 0x300; ++c) {
    if (c != u'%') all.push_back(static_cast<Char>(c));
  }
  EXPECT_EQ(URLDecode(URLEncode(all)), all);
}

}  // namespace
}  // namespace zel
